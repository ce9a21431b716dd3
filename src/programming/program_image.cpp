#include "programming/program_image.h"

#include <algorithm>

#include "shell/programmer.h"

namespace moltrix::programming {

Image::Image(Programmer& p) : p_(p) {}

void Image::BuildProgramImage() {
    const auto& code = p_.buffers.CodeBuffer;
    const auto& hiLow = p_.form.HiLow_button;
    const std::int32_t n =
        std::clamp<std::int32_t>(p_.selection.DeviceSize, 0, static_cast<std::int32_t>(kImageBytes));
    auto out = ProgramImage.begin();
    if (hiLow.Value(0)) {
        std::copy(code.begin(), code.begin() + n, out);
        ImageSize = n;
    } else {
        const int odd = hiLow.Value(1) ? 1 : 0;  // "Hi Byte" takes the odd addresses, "Low Byte" the even
        for (std::int32_t i = 0; i < n; i += 2)
            ProgramImage[static_cast<std::size_t>(i / 2)] = code[static_cast<std::size_t>(i + odd)];
        ImageSize = n / 2;
    }
    std::fill(out + ImageSize, out + n, std::uint8_t{0xFF});
}

std::uint8_t Image::At(std::int32_t address) const {
    if (address < 0 || address >= static_cast<std::int32_t>(ProgramImage.size())) return 0xFF;
    return ProgramImage[static_cast<std::size_t>(address)];
}

}  // namespace moltrix::programming
