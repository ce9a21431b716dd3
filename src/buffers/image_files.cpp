// Loading raw image files into the buffers and saving the buffers again.
#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>

#include "buffers/buffers.h"
#include "buffers/image_formats.h"
#include "platform/file_io.h"
#include "shell/programmer.h"

namespace moltrix::buffers {
namespace {


std::string Upper(std::string s) {
    for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

// An image file's bytes, or why it cannot be loaded: a file, or a pipe read
// to its end, of at most `maxBytes` and not empty.
platform::ReadResult ReadImageFile(const std::string& name, const std::filesystem::path& path, std::uintmax_t maxBytes) {
    platform::ReadResult read;
    if (name.empty())
        read.error = "no file name was given";
    else
        read = platform::ReadFileOrStream(path, maxBytes);
    if (read.ok && read.bytes.empty()) {
        read.ok = false;
        read.error = "the file is empty";
    }
    return read;
}

// The load's line for a record file: its format, record count and the
// addresses its data covers.
std::string RecordsLine(const RecordImage& r) {
    char range[48];
    std::snprintf(range, sizeof range, "addresses %04Xh to %04Xh", static_cast<unsigned>(r.lowest),
                  static_cast<unsigned>(r.highest));
    return std::string(FormatName(r.format)) + " file: " + std::to_string(r.records) + " records, " + range;
}

}  // namespace

std::string FileChecksumText(const std::vector<std::uint8_t>& bytes) {
    std::uint16_t sum = 0;
    for (std::uint8_t b : bytes) sum = static_cast<std::uint16_t>(sum + b);
    char text[8];
    std::snprintf(text, sizeof text, "%04X", static_cast<unsigned>(sum));
    return text;
}

// A name without a folder is taken relative to the program's working folder,
// as the process's current directory would take it.
static std::filesystem::path Resolve(const Programmer& p, const std::string& name) {
    std::filesystem::path path(name);
    return path.is_relative() ? p.svc.paths.workDir / path : path;
}

void Buffers::RefusedFile(const std::string& name, const std::string& reason) {
    p_.log.AddLogLine("File " + name + " - was not read: " + reason);
    p_.svc.dialogs.MessageBox("Can't read the file " + name + ": " + reason, "File Not Read",
                              platform::MsgIcon::Exclamation, platform::MsgButtons::Ok);
}

bool Buffers::LoadCodeFile(const std::string& name) {
    auto& f = p_.form;
    const std::string oldCaption = f.FileNameCodeText.caption;
    const std::string oldDisplay = f.BufferDisplay.text;

    f.FileNameCodeText.caption = Upper(name);
    std::string waiting;
    for (int i = 0; i < 6; ++i) waiting += "\r\n";
    f.BufferDisplay.SetText(waiting + std::string(22, ' ') + "READING FILE ... WAIT");
    p_.lamps.DataFlowLampOn();
    f.sbStatusBar.statusText = "Reading Code File " + name + " into Buffer... Wait";
    p_.svc.refresh.Refresh();

    // Everything that can go wrong is found out before the buffer is touched.
    auto giveUp = [&] {
        f.FileNameCodeText.caption = oldCaption;
        f.BufferDisplay.SetText(oldDisplay);
        p_.lamps.DataFlowLampOff();
        f.sbStatusBar.statusText.clear();
    };
    const auto path = Resolve(p_, name);
    // A record file holds its image as text, some three times the bytes; a
    // raw file must fit the buffer as it is.
    auto tooBig = [&](std::uintmax_t bytes) {
        giveUp();
        p_.log.AddLogLine("Code File Size is " + std::to_string(bytes) + " bytes, bigger than the " +
                          std::to_string(kCodeBufferBytes) + " allowed - Will Not Open");
        p_.svc.dialogs.MessageBox("Can't Open Code File Bigger than " + std::to_string(kCodeBufferBytes) + " Bytes",
                                  "Code File Too Big", platform::MsgIcon::Exclamation, platform::MsgButtons::Ok);
        return false;
    };
    const auto read = ReadImageFile(name, path, kRecordFileMax);
    if (read.tooLong > 0) return tooBig(read.tooLong);
    if (!read.ok) {
        giveUp();
        RefusedFile(name, read.error);
        return false;
    }
    // The name and the bytes together say whether this is a raw image or records.
    const RecordImage records = ReadRecordImage(
        std::string_view(reinterpret_cast<const char*>(read.bytes.data()), read.bytes.size()), kCodeBufferBytes, name);
    if (records.format == ImageFormat::Raw && read.bytes.size() > kCodeBufferBytes) return tooBig(read.bytes.size());
    if (!records.ok()) {
        giveUp();
        RefusedFile(name, records.error);
        return false;
    }
    const std::vector<std::uint8_t>& image = records.format == ImageFormat::Raw ? read.bytes : records.bytes;

    CodeFileName = name;
    CodeFileFormat = records.format;
    CodeSize = static_cast<std::int32_t>(image.size());
    std::copy(image.begin(), image.end(), CodeBuffer.begin());
    FileChecksum = FileChecksumText(image);
    p_.lamps.DataFlowLampOff();
    p_.log.AddLogLine("File " + CodeFileName + " - was read into Buffer. " + std::to_string(CodeSize) +
                      " bytes long.");
    if (records.format != ImageFormat::Raw) p_.log.AddLogLine(RecordsLine(records));
    p_.log.AddLogLine("Read File CRC = $" + FileChecksum);
    p_.log.AddLogLine("You can Install a Blank Eprom for Programming");

    p_.display.DisplayPageMemory();
    p_.display.AdjustScrollAfterLoad();
    p_.progress.SetValue(0);
    f.sbStatusBar.statusText.clear();
    if (!p_.selection.DeviceType.empty()) {
        f.Verify_button.enabled = true;
        f.menuVerifyCode.enabled = true;
        f.Program_button.enabled = true;
        f.menuProgramCode.enabled = true;
    }
    f.FileNameCodeSize.caption = "(" + std::to_string(CodeSize) + ")";
    SetToolButtonEnabled("SaveCode", true);
    f.mnuFileSaveCode.enabled = true;
    f.mnuFileSaveCodeAs.enabled = true;
    f.menuEraseCode.enabled = true;
    f.Erase_button.enabled = true;
    const bool mj = p_.selection.DeviceType == "MJ";
    f.CheckCode.enabled = mj;
    f.CheckData.enabled = mj;
    f.CheckCode.SetValue(1);
    f.CheckData.SetValue(0);
    CodeLoaded = 1;
    p_.cues.PlayCue("DONE");
    return true;
}

bool Buffers::LoadDataFile(const std::string& name) {
    auto& f = p_.form;
    const std::string oldCaption = f.FileNameDataText.caption;
    f.FileNameDataText.caption = name;
    p_.lamps.DataFlowLampOn();
    // A refused file leaves the old name too: Save Data must never write the
    // old buffer over the file that was refused.
    auto giveUp = [&] {
        f.FileNameDataText.caption = oldCaption;
        p_.lamps.DataFlowLampOff();
    };

    const auto read = ReadImageFile(name, Resolve(p_, name), kDataFileMax);
    if (read.tooLong > 0) {
        f.FileNameDataText.caption = oldCaption;
        p_.log.AddLogLine("Data File Size is " + std::to_string(read.tooLong) + " bytes, bigger than the 8192 allowed - Will Not Open");
        p_.lamps.DataFlowLampOff();
        p_.svc.dialogs.MessageBox("Can't Open Data File Bigger than 8192 Bytes", "Data File to Big",
                                  platform::MsgIcon::Exclamation, platform::MsgButtons::Ok);
        return false;
    }
    if (!read.ok) {
        giveUp();
        RefusedFile(name, read.error);
        return false;
    }

    DataFileName = name;
    DataSize = static_cast<std::int32_t>(read.bytes.size());
    std::copy(read.bytes.begin(), read.bytes.end(), DataBuffer.begin());
    p_.lamps.DataFlowLampOff();
    p_.log.AddLogLine("File " + DataFileName + " - was read into DataBuffer. " + std::to_string(DataSize) +
                      " bytes long.");
    p_.log.AddLogLine("You can Install a Blank Eprom for Programming");

    p_.display.DisplayPageMemory();
    p_.display.AdjustScrollAfterLoad();
    p_.progress.SetValue(0);
    f.sbStatusBar.statusText.clear();
    SetToolButtonEnabled("SaveData", true);
    for (auto* b : {&f.Verify_button, &f.Program_button, &f.Erase_button}) b->enabled = true;
    for (auto* m : {&f.menuVerifyData, &f.menuProgramData, &f.mnuFileSaveData, &f.mnuFileSaveDataAs,
                    &f.menuEraseData})
        m->enabled = true;
    DataLoaded = 1;
    return true;
}

// Asks for a name when there is none (or always, for "Save As"), then writes the
// buffer. A name the operator chose becomes the file's name only once the file
// is written, so a failed save leaves nothing pointing at it. With `format`
// (the code buffer) the dialog offers the three image types and the file is
// written in the type chosen; without it, as raw bytes.
void Buffers::SaveBuffer(std::string& fileName, form::Label& nameLabel, const std::vector<std::uint8_t>& buffer,
                         std::int32_t size, const std::string& statusPrefix, bool alwaysAsk,
                         const std::string& title, ImageFormat* format) {
    std::string name = fileName;
    ImageFormat chosen = format ? *format : ImageFormat::Raw;
    const bool ask = alwaysAsk || name.empty();
    if (ask) {
        int type = 0;
        name = p_.svc.dialogs.FileDialog(platform::FileDialogMode::Save, title, format ? kCodeSaveTypes : kAllFiles,
                                         &type);
        if (name.empty()) return;
        chosen = format && type == 1 ? ImageFormat::IntelHex : format && type == 2 ? ImageFormat::SRecord
                                                                                   : ImageFormat::Raw;
    }
    if (WriteImage(name, buffer, size, statusPrefix, chosen) && ask) {
        fileName = name;
        nameLabel.caption = name;
        if (format) *format = chosen;
    }
}

void Buffers::SaveCode(bool alwaysAsk, const std::string& title) {
    SaveBuffer(CodeFileName, p_.form.FileNameCodeText, CodeBuffer, CodeSize, "Writing Binary File ", alwaysAsk,
               title, &CodeFileFormat);
}

bool Buffers::SaveCodeFile(const std::string& name, ImageFormat format) {
    if (!WriteImage(name, CodeBuffer, CodeSize, "Writing Binary File ", format)) return false;
    CodeFileName = name;
    CodeFileFormat = format;
    p_.form.FileNameCodeText.caption = name;
    return true;
}

void Buffers::SaveData(bool alwaysAsk, const std::string& title) {
    SaveBuffer(DataFileName, p_.form.FileNameDataText, DataBuffer, DataSize, "Writing Data Binary File ", alwaysAsk,
               title, nullptr);
}

bool Buffers::WriteImage(const std::string& name, const std::vector<std::uint8_t>& buffer, std::int32_t size,
                         const std::string& statusPrefix, ImageFormat format) {
    auto& status = p_.form.sbStatusBar.statusText;
    status = (format == ImageFormat::Raw ? statusPrefix : "Writing " + std::string(FormatName(format)) + " File ") +
             name + " ... Wait";
    p_.svc.refresh.Refresh();
    const auto count = static_cast<std::size_t>(std::clamp<std::int64_t>(size, 0, static_cast<std::int64_t>(buffer.size())));
    const std::span<const std::uint8_t> image(buffer.data(), count);
    const auto path = Resolve(p_, name);
    std::string error =
        format == ImageFormat::IntelHex ? platform::WriteFileReplacing(path, WriteIntelHex(image))
        : format == ImageFormat::SRecord ? platform::WriteFileReplacing(path, WriteSRecords(image, path.filename().string()))
                                         : platform::WriteFileReplacing(path, buffer.data(), count);
    if (!error.empty()) {
        status.clear();
        p_.log.AddLogLine("File " + name + " - was not saved: " + error);
        p_.svc.dialogs.MessageBox("Can't save the file " + name + ": " + error, "File Not Saved",
                                  platform::MsgIcon::Exclamation, platform::MsgButtons::Ok);
        return false;
    }
    p_.log.AddLogLine("File Sucessfully Saved as " + name);
    status.clear();
    return true;
}

}  // namespace moltrix::buffers
