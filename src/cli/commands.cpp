#include "commands.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <string>

#include "board/detection.h"
#include "devices/catalog.h"
#include "devices/device_lookup.h"
#include "checksum_report.h"
#include "exit_status.h"
#include "operations/compare.h"
#include "operations/repeat_read.h"
#include "programming/refresh.h"
#include "shell/programmer.h"

namespace moltrix::cli {
namespace {

bool NeedsDevice(const std::string& command) {
    return command == "read" || command == "blank" || command == "verify" || command == "compare" || command == "display" ||
           command == "program" || command == "id" || command == "erase" || command == "refresh";
}

// Whether the operator could click the button now; a button the selected
// device does not offer (disabled) is reported.
template <class Entry>
bool Available(const Entry& button) {
    if (button.enabled && button.visible) return true;
    std::fprintf(stderr, "moltrix-cli: \"%s\" is not available for this device now\n", button.caption.c_str());
    return false;
}

// An operator's click on a command button, when it is available.
template <class Entry>
bool Press(Entry& button) {
    if (!Available(button)) return false;
    button.Click();
    return true;
}

buffers::ImageFormat FileFormat(const Options& o) {
    if (o.format == "ihex") return buffers::ImageFormat::IntelHex;
    if (o.format == "srec") return buffers::ImageFormat::SRecord;
    if (o.format == "raw") return buffers::ImageFormat::Raw;
    return buffers::FormatFromExtension(o.argument);
}

// The bytes a command handled, for their checksums: the device's it read, or
// the file's it loaded.
struct Handled {
    std::string what;
    std::vector<std::uint8_t> bytes;
};

// The code buffer's working bytes.
std::vector<std::uint8_t> WorkingBytes(const Programmer& p) {
    const auto& code = p.buffers.CodeBuffer;
    const auto size = std::clamp<std::int64_t>(p.buffers.CodeSize, 0, static_cast<std::int64_t>(code.size()));
    return {code.begin(), code.begin() + static_cast<std::ptrdiff_t>(size)};
}

bool LoadFile(Programmer& p, const Options& o, std::optional<Handled>& handled) {
    if (!p.buffers.LoadCodeFile(o.argument)) return false;
    handled = Handled{"of the file", WorkingBytes(p)};
    return true;
}

// Every difference between the chip and the file, on standard output.
int Compare(Programmer& p, const Options& o, std::optional<Handled>& handled) {
    if (!LoadFile(p, o, handled)) return kFailed;
    if (!Available(p.form.Read_button)) return kUnsupported;
    const auto comparison = operations::CompareDeviceWithBuffer(p);
    if (!comparison) return StatusOf(p.outcome.Last());
    for (const std::string& line : operations::ComparisonReport(*comparison)) std::printf("%s\n", line.c_str());
    return operations::Matches(*comparison) ? kSuccess : kVerifyMismatch;
}

// The board the operator asked for: the probe of the named port, then the
// forced model. An exit status when the PC has no such port.
std::optional<int> FindBoard(Programmer& p, const Options& o, bool probeAgain) {
    if (o.port == "auto") {
        if (probeAgain) p.detect.TestHardware_button_Click();
    } else {
        const board::NamedPort named = p.detect.PortNamed(o.port);
        if (named.problem != board::NamedPort::None) {
            std::fprintf(stderr, "moltrix-cli: --port %s: %s\n", o.port.c_str(), named.why.c_str());
            return named.problem == board::NamedPort::NotAnAddress ? kUsage : kNoBoard;
        }
        if (probeAgain)
            p.detect.ProbePort(named.base);
        else
            p.detect.UsePort(named.base);
    }
    if (o.model == 4) p.detect.ForceMoltrix4_Click();
    if (o.model == 5) p.detect.ForceMoltrix5_Click();
    if (o.model == 6) p.detect.ForceMoltrix6_Click();
    return std::nullopt;
}

void PrintPage(const std::string& text) {
    std::string out;
    for (char c : text)
        if (c != '\r') out += c;
    std::printf("%s\n", out.c_str());
}

// The Read command, once or --repeat times; the file gets what most reads gave.
int Read(Programmer& p, const Options& o, std::optional<Handled>& handled) {
    if (!Available(p.form.Read_button)) return kUnsupported;
    int status = kSuccess;
    if (o.repeat > 0) {
        const auto reads = operations::ReadRepeatedly(p, o.repeat);
        if (!reads) return StatusOf(p.outcome.Last());
        std::FILE* out = WritesStandardOutput(o) ? stderr : stdout;
        for (const std::string& line : operations::RepeatedReadReport(*reads)) std::fprintf(out, "%s\n", line.c_str());
        status = reads->AnySplit() ? kNoMajority : reads->Agreed() ? kSuccess : kBitsWavered;
    } else {
        p.form.Read_button.Click();
        if (const int failed = StatusOf(p.outcome.Last()); failed != kSuccess) return failed;
    }
    handled = Handled{"read from the device", WorkingBytes(p)};
    return p.buffers.SaveCodeFile(o.argument, FileFormat(o)) ? status : kFailed;
}

int Display(Programmer& p, const Options& o) {
    auto& f = p.form;
    int page = 0;
    if (!o.argument.empty()) {
        const auto [end, ec] = std::from_chars(o.argument.data(), o.argument.data() + o.argument.size(), page);
        if (ec != std::errc() || end != o.argument.data() + o.argument.size() || page < 0 || page > f.VScroll1.max) {
            std::fprintf(stderr, "moltrix-cli: page \"%s\" is not 0 to %d\n", o.argument.c_str(), f.VScroll1.max);
            return kUsage;
        }
    }
    if (!Available(f.Display_button)) return kUnsupported;
    if (!p.display.ChipPageAvailable()) {
        std::fprintf(stderr, "moltrix-cli: display does not apply to the %s: the program shows no page of it\n",
                     p.selection.DeviceName.c_str());
        return kUnsupported;
    }
    f.Display_button.Click();
    if (page > 0) f.VScroll1.SetValue(page);  // the operator scrolls to the page
    PrintPage(f.BufferDisplay.text);
    return kSuccess;
}

}  // namespace

bool ProbesAgain(const Options& o) {
    return o.command == "probe" || o.command == "export-log" || (o.command == "ports" && o.probe);
}

int ListCatalogue() {
    const auto rows = devices::DeviceRows();
    std::printf("row  name                            type     size\n");
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const auto& r = rows[i];
        std::printf("%3zu  %-30s  %c%c  %7d KB%s\n", i + 1, r.name, r.family, r.variant, r.sizeKB,
                    r.supported ? "" : "  (refused)");
    }
    return kSuccess;
}

std::optional<int> CheckDevice(const Options& o) {
    if (o.device.empty()) {
        if (!NeedsDevice(o.command)) return 0;
        std::fprintf(stderr, "moltrix-cli: %s needs --device NAME|ROW (see \"moltrix-cli list\")\n", o.command.c_str());
        return std::nullopt;
    }
    const devices::DeviceLookup found = devices::LookUpDevice(o.device);
    if (found.row == 0) {
        std::fprintf(stderr, "moltrix-cli: no device \"%s\" in the catalogue\n", o.device.c_str());
        if (!found.closeMatches.empty()) {
            std::fprintf(stderr, "close matches:\n");
            for (const auto& name : found.closeMatches) std::fprintf(stderr, "  %s\n", name.c_str());
        }
        return std::nullopt;
    }
    if (found.refused) {
        std::fprintf(stderr, "moltrix-cli: \"%s\" (row %d) is listed but refused: the program does not handle it\n",
                     devices::DeviceRows()[static_cast<std::size_t>(found.row - 1)].name, found.row);
        return std::nullopt;
    }
    return found.row;
}

namespace {

int RunOnDevice(Programmer& p, const Options& o, int deviceRow, std::optional<Handled>& handled) {
    auto& f = p.form;
    if (auto status = FindBoard(p, o, ProbesAgain(o))) return *status;
    if (o.command == "export-log") {
        const std::string error = p.log.Export(o.argument);
        if (!error.empty()) {
            std::fprintf(stderr, "moltrix-cli: %s not written: %s\n", o.argument.c_str(), error.c_str());
            return kFailed;
        }
        return kSuccess;
    }
    if (p.regs.BoardModel == 0) {
        std::fprintf(stderr, "moltrix-cli: no board found\n");
        return kNoBoard;
    }
    if (o.command == "probe" || o.command == "ports") return kSuccess;

    if (deviceRow > 0) f.Device.SetListIndex(deviceRow);
    if (o.byte == "hi") f.HiLow_button.SetValue(1, true);
    if (o.byte == "low") f.HiLow_button.SetValue(2, true);
    if (o.speed > 0) f.Slider1.SetValue(o.speed);
    if (!o.pulse.empty())
        p.pulse.Set(o.pulse == "datasheet" ? programming::PulseWidth::kDatasheet : std::stoi(o.pulse));

    if (!o.vpp.empty()) {
        const int option = o.vpp == "5" ? 0 : o.vpp == "12.5" ? 1 : o.vpp == "21" ? 2 : 3;
        if (!f.Voltage_button[option].enabled) {
            std::fprintf(stderr, "moltrix-cli: %s does not take %s V\n", p.selection.DeviceName.c_str(), o.vpp.c_str());
            return kUsage;
        }
        f.Voltage_button.Click(option);
    }
    if (o.blankCheck) f.CheckBlankPriorProgramming.SetValue(1);
    if (o.verify) f.VerifyAfterProgramming.SetValue(1);

    if (o.command == "display") return Display(p, o);
    if (o.command == "compare") return Compare(p, o, handled);
    if (o.command == "read") return Read(p, o, handled);
    if (o.command == "blank") {
        if (!Press(f.Blank_button)) return kUnsupported;
        return StatusOf(p.outcome.Last());
    }
    if (o.command == "verify") {
        if (!LoadFile(p, o, handled)) return kFailed;
        if (!Press(f.Verify_button)) return kUnsupported;
        return StatusOf(p.outcome.Last());
    }
    if (o.command == "id") {
        if (!Press(f.menuFlashShowCodeID)) return kUnsupported;
        // A code of the table, or a maker whose parts the program erases and programs.
        const auto& id = p.flashId;
        const bool known = !programming::FlashIdentity::KnownChipName(id.FlashId).empty();
        return known || (!id.FlashId.empty() && id.MakerAccepted()) ? kSuccess : kUnsupported;
    }
    if (o.command == "erase") {
        if (!Press(f.EraseFlash_button)) return kUnsupported;
        return StatusOf(p.outcome.Last());
    }
    if (o.command == "program") {
        if (!LoadFile(p, o, handled)) return kFailed;
        if (!Press(f.Program_button)) return kUnsupported;
        return StatusOf(p.outcome.Last());
    }
    if (o.command == "refresh") {
        if (!LoadFile(p, o, handled)) return kFailed;
        programming::RefreshDevice(p, std::max(1, o.repeat));
        return StatusOf(p.outcome.Last());
    }
    return kUsage;
}

}  // namespace

int RunCommand(Programmer& p, const Options& o, int deviceRow) {
    std::optional<Handled> handled;
    const int status = RunOnDevice(p, o, deviceRow, handled);
    if (!handled) return status;
    // After the log lines; on standard error when the file went to standard output.
    PrintChecksums(WritesStandardOutput(o) ? stderr : stdout, handled->what, handled->bytes);
    return CheckExpected(handled->bytes, o.expect, status);
}

}  // namespace moltrix::cli
