// The Qt side's own pieces that need no window: the file dialog filter and
// the cue sounds the build makes.
#include <gtest/gtest.h>

#include <QString>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "qt_platform.h"

namespace moltrix::app {
namespace {

TEST(FileFilter, BecomesQtsDescriptionAndPatternForm) {
    EXPECT_EQ(QtFileFilter("All Files (*.*)|*.*"), QStringLiteral("All Files (*)"));
    EXPECT_EQ(QtFileFilter("Binary Files (*.bin)|*.bin|All Files (*.*)|*.*"),
              QStringLiteral("Binary Files (*.bin);;All Files (*)"));
    EXPECT_EQ(QtFileFilter("Images (*.bin;*.hex)|*.bin;*.hex"), QStringLiteral("Images (*.bin *.hex)"));
}

std::vector<std::uint8_t> ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::uint32_t Le(const std::vector<std::uint8_t>& b, std::size_t at, int bytes) {
    std::uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | b.at(at + static_cast<std::size_t>(i));
    return v;
}

TEST(CueSounds, FiveDistinctShortPcmFilesLieNextToTheProgram) {
    std::set<std::vector<std::uint8_t>> distinct;
    for (const char* name : {"init.wav", "error.wav", "done.wav", "slide.wav", "ok.wav"}) {
        SCOPED_TRACE(name);
        const auto wav = ReadAll(std::string(MOLTRIX_PROGRAM_DIR) + "/" + name);
        ASSERT_GT(wav.size(), 44u);
        EXPECT_EQ(std::string(wav.begin(), wav.begin() + 4), "RIFF");
        EXPECT_EQ(Le(wav, 4, 4), wav.size() - 8);
        EXPECT_EQ(std::string(wav.begin() + 8, wav.begin() + 16), "WAVEfmt ");
        EXPECT_EQ(Le(wav, 20, 2), 1u);   // PCM
        EXPECT_EQ(Le(wav, 22, 2), 1u);   // mono
        EXPECT_EQ(Le(wav, 34, 2), 16u);  // bits per sample
        const std::uint32_t rate = Le(wav, 24, 4);
        const std::uint32_t data = Le(wav, 40, 4);
        EXPECT_EQ(data, wav.size() - 44);
        const double seconds = data / 2.0 / rate;
        EXPECT_GT(seconds, 0.05);
        EXPECT_LT(seconds, 1.0);
        // Not silence: some sample reaches a tenth of full scale.
        bool audible = false;
        for (std::size_t i = 44; i + 1 < wav.size(); i += 2)
            if (static_cast<std::int16_t>(Le(wav, i, 2)) > 3276) audible = true;
        EXPECT_TRUE(audible);
        distinct.insert(wav);
    }
    EXPECT_EQ(distinct.size(), 5u);
}

}  // namespace
}  // namespace moltrix::app
