// The programming image: all bytes, the odd ones or the even ones of the
// buffer, and erased above what the chosen bytes fill.
#include <gtest/gtest.h>

#include "support/rig.h"

namespace moltrix::testing {
namespace {

TEST(ProgramImage, BothHiAndLowOverTheDeviceSize) {
    Rig rig;
    auto& p = rig.p();
    p.Form_Load();
    p.form.Device.SetListIndex(DeviceListIndex(p, "27C256"));
    auto& code = p.buffers.CodeBuffer;
    for (std::size_t i = 0; i < 0x10000; ++i) code[i] = static_cast<std::uint8_t>(i ^ (i >> 8));
    auto& image = p.image;

    image.BuildProgramImage();  // "Both"
    EXPECT_EQ(image.ImageSize, 0x8000);
    EXPECT_TRUE(std::equal(code.begin(), code.begin() + 0x8000, image.ProgramImage.begin()));
    image.ProgramImage[0x8000] = 0x11;  // past the device: never touched

    for (int option : {1, 2}) {
        p.form.HiLow_button.SetValue(option, true);
        image.BuildProgramImage();
        EXPECT_EQ(image.ImageSize, 0x4000);
        for (std::size_t k = 0; k < 0x4000; ++k)
            ASSERT_EQ(image.ProgramImage[k], code[2 * k + (option == 1 ? 1 : 0)]) << k;
        // The "Both" build's bytes do not linger in the upper half.
        for (std::size_t k = 0x4000; k < 0x8000; ++k) ASSERT_EQ(image.ProgramImage[k], 0xFF) << k;
        EXPECT_EQ(image.ProgramImage[0x8000], 0x11);
    }
}

}  // namespace
}  // namespace moltrix::testing
