#pragma once
// The code and data buffers, their working sizes, file names and flags, and the
// file commands that load image files into them and save them again. A raw
// image has no header: byte n of the file is buffer address n. The code buffer
// also takes Intel HEX and S-record files (see image_formats.h).
#include <cstdint>
#include <string>
#include <vector>

#include "buffers/image_formats.h"
#include "form/controls.h"

namespace moltrix {
class Programmer;
}

namespace moltrix::buffers {

inline constexpr std::size_t kCodeBufferBytes = 2'100'001;
inline constexpr std::size_t kDataBufferBytes = 8'292;
// Erase fills addresses 0 to these, inclusive.
inline constexpr std::size_t kCodeEraseLast = 0x100000;
inline constexpr std::size_t kDataEraseLast = 0x2000;
// The largest data file the data area takes.
inline constexpr std::size_t kDataFileMax = 8'192;
inline constexpr const char* kAllFiles = "All Files (*.*)|*.*";  // the file dialogs' filter
// The file types Save Code As offers, in the order of ImageFormat: raw first.
inline constexpr const char* kCodeSaveTypes =
    "Raw Binary (*.*)|*.*|Intel HEX (*.hex;*.ihx)|*.hex;*.ihx|"
    "Motorola S-Record (*.s19;*.s28;*.s37;*.srec;*.mot)|*.s19;*.s28;*.s37;*.srec;*.mot";
// The largest record file read; its image must still fit the code buffer.
inline constexpr std::size_t kRecordFileMax = 64u << 20;

// The 16-bit byte sum of an image, as four upper-case hex digits.
std::string FileChecksumText(const std::vector<std::uint8_t>& bytes);

class Buffers {
public:
    explicit Buffers(Programmer& p);

    // The code buffer starts erased (FFh, the blank state of every supported
    // chip): a file shorter than the device leaves the rest of the chip blank
    // instead of burning 00h into it.
    std::vector<std::uint8_t> CodeBuffer = std::vector<std::uint8_t>(kCodeBufferBytes, 0xFF);
    std::vector<std::uint8_t> DataBuffer = std::vector<std::uint8_t>(kDataBufferBytes, 0);
    std::int32_t CodeSize = 0, DataSize = 0;
    std::string CodeFileName, DataFileName, FileChecksum;
    // The format of the file CodeFileName names: Save Code writes it back so.
    ImageFormat CodeFileFormat = ImageFormat::Raw;
    std::int16_t CodeLoaded = 0, DataLoaded = 0;

    // Commands.
    void Erase_button_Click();
    void mnuFileOpenCode_Click();
    void mnuFileOpenData_Click();
    void mnuFileSaveCode_Click();
    void mnuFileSaveCodeAs_Click();
    void mnuFileSaveData_Click();
    void mnuFileSaveDataAs_Click();
    void FileNameCodeText_Click();
    // The toolbar keys this folder answers; returns false for any other key.
    void tbToolBar_ButtonClick(const std::string& key);

    // Operations other subsystems call.
    void EraseCodeBuffer();
    void EraseDataBuffer();
    // Loads CodeFileName into the code buffer.
    void ReadBinaryFile();
    // Loads DataFileName into the data buffer.
    void ReadBinaryFileData();
    // Loads the named file into the code buffer. On success CodeFileName becomes
    // the name; a file that cannot be used leaves buffer, sizes, names and flags
    // as they were and tells the operator why. Returns whether it loaded.
    bool LoadCodeFile(const std::string& name);
    bool LoadDataFile(const std::string& name);
    // Writes CodeSize bytes of the code buffer to the named file in the given
    // format, as Save Code As does with that name and type chosen. Returns
    // whether it was written.
    bool SaveCodeFile(const std::string& name, ImageFormat format = ImageFormat::Raw);

private:
    void AfterErase(bool code);
    void RefusedFile(const std::string& name, const std::string& reason);
    void SaveCode(bool alwaysAsk, const std::string& title);
    void SaveData(bool alwaysAsk, const std::string& title);
    void SaveBuffer(std::string& fileName, form::Label& nameLabel, const std::vector<std::uint8_t>& buffer,
                    std::int32_t size, const std::string& statusPrefix, bool alwaysAsk, const std::string& title,
                    ImageFormat* format);
    bool WriteImage(const std::string& name, const std::vector<std::uint8_t>& buffer, std::int32_t size,
                    const std::string& statusPrefix, ImageFormat format = ImageFormat::Raw);
    void SetToolButtonEnabled(const std::string& key, bool enabled);
    Programmer& p_;
};

}  // namespace moltrix::buffers
