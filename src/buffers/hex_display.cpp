#include "buffers/hex_display.h"

#include <algorithm>
#include <vector>

#include "buffers/hex_page.h"
#include "platform/file_io.h"
#include "product.h"
#include "shell/programmer.h"

namespace moltrix::buffers {
namespace {

constexpr const char* kDataCaption = "Data Buffer Hex/Ascii Display";
constexpr const char* kDeviceCaption = "Device Memory Hex/Ascii Display";
constexpr int kDeviceSettleMs = 500;
constexpr int kAddressSettlePasses = 100;

// `count` bytes of a buffer from `start`; addresses past its end are never read
// and show as 00h.
std::vector<std::uint8_t> Slice(const std::vector<std::uint8_t>& buffer, std::int64_t start, std::size_t count) {
    std::vector<std::uint8_t> out(count, 0);
    for (std::size_t i = 0; i < count; ++i) {
        std::int64_t a = start + static_cast<std::int64_t>(i);
        if (a >= 0 && a < static_cast<std::int64_t>(buffer.size())) out[i] = buffer[static_cast<std::size_t>(a)];
    }
    return out;
}

}  // namespace

HexDisplay::HexDisplay(Programmer& p) : p_(p) {
    auto& f = p_.form;
    f.VScroll1.onChange = [this] { VScroll1_Change(); };
    f.Display_button.onClick = [this] { Display_button_Click(); };
    f.menuDisplayCode.onClick = [this] { Display_button_Click(); };
    f.menuDisplayData.onClick = [this] { DisplayDataArea(); };
    f.Show_button.onClick = [this] { Show_button_Click(); };
    f.Command1.onClick = [this] { Command1_Click(); };
    f.BufferDisplay.onDblClick = [this] { BufferDisplay_DblClick(); };
}

bool HexDisplay::DataViewShown() const {
    return p_.selection.DeviceType == "MJ" && p_.form.Show_button.caption == "Show Code";
}

bool HexDisplay::CodeViewShown() const { return DisplaySource == "Read" && !DataViewShown(); }

void HexDisplay::ShowCodeView() {
    DisplaySource = "Read";
    DisplayPageMemory();
}

// A maximum below the position pulls the position down. Over a buffer the
// scroll handler then draws the new page; over the chip the position only
// moves, since a chip read (half a second and 256 accesses) is for the
// operator's own scrolling, never a side effect of a new range.
void HexDisplay::SetScrollMax(int max) {
    auto& bar = p_.form.VScroll1;
    if (DisplaySource == "DisplayEprom" && bar.value > max) bar.value = std::max(bar.min, max);
    bar.SetMax(max);
}

// Every byte of the working size can be shown: a last partial page (a
// 1,000-byte file's bytes 300h to 3E7h) is a page of its own.
void HexDisplay::SetCodeScrollMax() {
    const std::int64_t pages = (std::int64_t{p_.buffers.CodeSize} + kCodePageBytes - 1) / kCodePageBytes;
    SetScrollMax(static_cast<int>(std::max<std::int64_t>(0, pages - 1)));
}

void HexDisplay::AdjustScrollAfterLoad() {
    if (DataViewShown())
        SetScrollMax(kDataViewLastPage);
    else
        SetCodeScrollMax();
}

void HexDisplay::DisplayPageMemory() {
    if (DataViewShown())
        DisplayDataMemory();
    else
        DisplayCodeMemory();
}

void HexDisplay::DrawCodePage(std::int32_t start) {
    p_.addr.Address = start;
    p_.addr.Endereco2Adr();
    auto bytes = Slice(p_.buffers.CodeBuffer, start, kCodePageBytes);
    p_.form.BufferDisplay.SetText(FormatLines(static_cast<std::uint32_t>(start), bytes, 16,
                                              PrintRule::FromSet(p_.tables.PrintableChars)));
}

void HexDisplay::DisplayCodeMemory() { DrawCodePage(std::max(0, p_.form.VScroll1.value) * kCodePageBytes); }

void HexDisplay::DisplayDataMemory() {
    const std::int32_t start = std::max(0, p_.form.VScroll1.value) * kDataPageBytes;
    p_.addr.Address = start;
    p_.addr.Endereco2Adr();
    auto bytes = Slice(p_.buffers.DataBuffer, start, kDataPageBytes);
    std::string text = std::string(13, ' ') + "*** BUFFER DATA ***\r\n\r\n";
    text += FormatLines(static_cast<std::uint32_t>(start), bytes, 8, PrintRule::FromSet(p_.tables.PrintableChars));
    p_.form.BufferDisplay.SetText(std::move(text));
}

// Loads the address counter into the board the way the selected device is wired.
void HexDisplay::LoadDeviceAddress() {
    const auto& sel = p_.selection;
    if (sel.DeviceFamily == "P") p_.addr.SETADR();
    if (sel.DeviceType == "EN") p_.addr.SETADR_XICOR();
    if (sel.DeviceFamily == "F") p_.addr.SETADR_FLASH();
}

void HexDisplay::DisplayEprom() {
    p_.lamps.DataFlowLampOn();
    p_.regs.Reset();
    LoadDeviceAddress();
    p_.svc.clock.Sleep(kDeviceSettleMs);
    p_.regs.REG4OFF();
    const std::int32_t start = std::max(0, p_.form.VScroll1.value) * kCodePageBytes;
    p_.addr.Address = start;
    p_.addr.Endereco2Adr();
    p_.svc.clock.Spin(kAddressSettlePasses);
    for (int j = 0; j < kCodePageBytes; ++j) {
        LoadDeviceAddress();
        p_.addr.OEON();
        p_.addr.CEON();
        p_.addr.GetNibbles();
        p_.addr.CEOFF();
        p_.addr.OEOFF();
        PageBuffer[static_cast<std::size_t>(j)] = p_.addr.DataIn;
        p_.addr.IncADR();
    }
    p_.form.BufferDisplay.SetText(FormatLines(static_cast<std::uint32_t>(start),
                                              std::span<const std::uint8_t>(PageBuffer.data(), kCodePageBytes), 16,
                                              PrintRule::BlankToLowerZ()));
    p_.lamps.DataFlowLampOff();
}

void HexDisplay::VScroll1_Change() {
    if (DisplaySource == "Read")
        DisplayPageMemory();
    else if (DisplaySource == "DisplayEprom")
        ShowChipPage();
}

// A part without a page view (a serial EEPROM) shows nothing under the
// device caption rather than the buffer's page, or its bus read as a parallel chip.
void HexDisplay::ShowChipPage() {
    if (ChipPageAvailable())
        DisplayEprom();
    else
        p_.form.BufferDisplay.SetText({});
}

// The program's own scroll resets below set the position without running the
// scroll handler; the command then draws the page itself, so a chip is read once.
void HexDisplay::Display_button_Click() {
    auto& f = p_.form;
    if (f.CheckCode.value != 1) return;
    DisplaySource = "DisplayEprom";
    f.VScroll1.value = 0;
    p_.log.AddLogLine("Fetching Device Binary Contents to Screen");
    f.Frame3.caption = kDeviceCaption;
    ShowChipPage();
    if (p_.selection.DeviceFamily == "M")
        p_.svc.dialogs.MessageBox("Please Write AT90S2313 Code Display ROutine", "Routine Not Ready",
                                  platform::MsgIcon::None, platform::MsgButtons::Ok);
}

bool HexDisplay::ChipPageAvailable() const {
    const auto& sel = p_.selection;
    const auto& t = sel.DeviceType;
    return sel.DeviceFamily == "P" || t == "EN" || t == "FL" || t == "FM" || t == "FR" || t == "FA" || t == "FS";
}

void HexDisplay::DisplayDataArea() {
    p_.svc.dialogs.MessageBox("Please Write AT90S2313 Data Display Routine", "Routine Not Ready",
                              platform::MsgIcon::None, platform::MsgButtons::Ok);
}

void HexDisplay::Show_button_Click() {
    auto& f = p_.form;
    // Back to page 0 first, so a smaller range below cannot pull the position.
    f.VScroll1.value = 0;
    if (p_.selection.DeviceType != "MJ") {
        f.Frame3.caption = kCodeCaption;
        DisplaySource = "Read";
    } else if (f.Show_button.caption == "Show Code") {
        f.Show_button.caption = "Show Data";
        SetCodeScrollMax();
        f.Frame3.caption = kCodeCaption;
    } else if (f.Show_button.caption == "Show Data") {
        f.Show_button.caption = "Show Code";
        SetScrollMax(kDataViewLastPage);
        f.Frame3.caption = kDataCaption;
    }
    DisplayPageMemory();
}

void HexDisplay::Command1_Click() { DrawCodePage(0); }

void HexDisplay::BufferDisplay_DblClick() {
    std::string error = feedback::WriteExportFile(
        p_, "MOLTRIX.BUF", std::string("MOLTRIX BUFFER DISPLAY FILE - VARNOK ") + kWebAddress,
        "The following contents are the contents from Buffer DIsplay", p_.form.BufferDisplay.text);
    if (!error.empty()) {
        auto file = p_.svc.paths.workDir / "MOLTRIX.BUF";
        p_.log.AddLogLine("MOLTRIX.BUF could not be written: " + error);
        p_.svc.dialogs.MessageBox("Can't write " + file.string() + ": " + error, "Buffer Display Not Saved",
                                  platform::MsgIcon::Exclamation, platform::MsgButtons::Ok);
        return;
    }
    p_.log.AddLogLine("Buffer DIsplay was Saved to MOLTRIX.BUF file");
    p_.cues.PlayCue("OK");
}

}  // namespace moltrix::buffers
