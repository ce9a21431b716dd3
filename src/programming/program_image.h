#pragma once
// The bytes the programming routines write into a parallel device and the
// verify compares it with: built from the code buffer just before use, with
// the Hi/Low byte option applied (all bytes, the odd ones, or the even ones).
#include <cstdint>
#include <vector>

namespace moltrix {
class Programmer;
}

namespace moltrix::programming {

// Device addresses 0 to 100000h.
inline constexpr std::size_t kImageBytes = 0x100001;

class Image {
public:
    explicit Image(Programmer& p);

    std::vector<std::uint8_t> ProgramImage = std::vector<std::uint8_t>(kImageBytes, 0);
    // How many image bytes the EPROM routines write.
    std::int32_t ImageSize = 0;

    // "Both": image = buffer over the device's size. "Hi Byte" / "Low Byte":
    // image byte k = buffer byte 2k + 1 / 2k, over half the device. The rest of
    // the device's range is FFh, the erased state, so nothing an earlier build
    // left there is ever written or compared.
    void BuildProgramImage();

    // The byte the image holds for `address`, or FFh past its end.
    std::uint8_t At(std::int32_t address) const;

private:
    Programmer& p_;
};

}  // namespace moltrix::programming
