#pragma once
// The hex/ASCII page display of the buffers and of the chip, and its export to
// "MOLTRIX.BUF". A page is built as one text and set into BufferDisplay once.
#include <array>
#include <cstdint>
#include <string>

namespace moltrix {
class Programmer;
}

namespace moltrix::buffers {

inline constexpr int kCodePageBytes = 256;
inline constexpr int kDataPageBytes = 128;
inline constexpr int kDataViewLastPage = 63;  // 64 pages of 128 bytes: the 8,192 bytes of a data file

inline constexpr const char* kCodeCaption = "Code Buffer Hex/Ascii Display";

class HexDisplay {
public:
    explicit HexDisplay(Programmer& p);

    // "Read": the scroll bar pages through a buffer; "DisplayEprom": through the chip.
    std::string DisplaySource = "Read";
    // The page last read from the chip (positions 0 to 255 are used).
    std::array<std::uint8_t, 257> PageBuffer{};

    void DisplayPageMemory();
    void DisplayCodeMemory();
    void DisplayDataMemory();
    void DisplayEprom();

    void VScroll1_Change();
    void Display_button_Click();
    // Whether the Display command reads a page of the selected part: the
    // EPROMs and the parallel flash and EEPROM parts (not the serial ones).
    bool ChipPageAvailable() const;
    // The chip's page at the scroll position, or an empty display for a part
    // that has none.
    void ShowChipPage();
    // "Display Device DATA": the chip's data area, which no part of the
    // catalogue has a routine for yet.
    void DisplayDataArea();
    void Show_button_Click();
    void Command1_Click();
    void BufferDisplay_DblClick();

    // True while the data buffer is shown (only the "MJ" device has that view).
    bool DataViewShown() const;
    // True while a page of the code buffer is shown.
    bool CodeViewShown() const;
    // Back to the code buffer at the current position, after showing the chip
    // or the data buffer (a device selection does this).
    void ShowCodeView();
    // After a file load: the code view's range, or 63 while the data view shows.
    void AdjustScrollAfterLoad();
    // The code view's range: one page for every started 256 bytes of
    // CodeSize, never below page 0.
    void SetCodeScrollMax();
    // Every range the program sets goes through here.
    void SetScrollMax(int max);

private:
    void DrawCodePage(std::int32_t start);
    void LoadDeviceAddress();
    Programmer& p_;
};

}  // namespace moltrix::buffers
