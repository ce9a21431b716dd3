// Writes the program's five cue sounds as short 16-bit PCM mono WAV files:
//   make_cues OUTPUT_FOLDER
// Each cue is a few tones or a sweep, with soft edges so it does not click.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace {

constexpr int kRate = 22050;
constexpr double kPi = 3.14159265358979323846;

// One piece of a cue: a tone sweeping from `from` to `to` Hz, or silence at 0 Hz.
struct Segment {
    double from, to, seconds;
    bool square = false;  // a harsher timbre, for the error cue
};

std::vector<std::int16_t> Render(const std::vector<Segment>& segments) {
    std::vector<std::int16_t> samples;
    for (const Segment& s : segments) {
        const int n = static_cast<int>(s.seconds * kRate);
        const int fade = std::min(n / 4, kRate / 200);  // 5 ms edges
        double phase = 0;
        for (int i = 0; i < n; ++i) {
            const double f = s.from + (s.to - s.from) * i / n;
            phase += 2 * kPi * f / kRate;
            double v = 0;
            if (s.from > 0) {
                v = std::sin(phase);
                if (s.square) v = v >= 0 ? 0.6 : -0.6;
            }
            double gain = 0.5;
            if (i < fade) gain *= static_cast<double>(i) / fade;
            if (n - i < fade) gain *= static_cast<double>(n - i) / fade;
            samples.push_back(static_cast<std::int16_t>(v * gain * 32767));
        }
    }
    return samples;
}

void Put16(std::ofstream& out, std::uint16_t v) {
    const char b[2] = {static_cast<char>(v & 0xFF), static_cast<char>(v >> 8)};
    out.write(b, 2);
}

void Put32(std::ofstream& out, std::uint32_t v) {
    Put16(out, static_cast<std::uint16_t>(v & 0xFFFF));
    Put16(out, static_cast<std::uint16_t>(v >> 16));
}

bool WriteWav(const std::string& path, const std::vector<std::int16_t>& samples) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) return false;
    const auto dataBytes = static_cast<std::uint32_t>(samples.size() * 2);
    out.write("RIFF", 4);
    Put32(out, 36 + dataBytes);
    out.write("WAVEfmt ", 8);
    Put32(out, 16);         // format chunk size
    Put16(out, 1);          // PCM
    Put16(out, 1);          // mono
    Put32(out, kRate);
    Put32(out, kRate * 2);  // bytes per second
    Put16(out, 2);          // bytes per frame
    Put16(out, 16);         // bits per sample
    out.write("data", 4);
    Put32(out, dataBytes);
    for (std::int16_t s : samples) Put16(out, static_cast<std::uint16_t>(s));
    return static_cast<bool>(out);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_cues OUTPUT_FOLDER\n");
        return 2;
    }
    const std::string dir = argv[1];
    const struct {
        const char* file;
        std::vector<Segment> segments;
    } cues[] = {
        // Start-up: a rising major triad.
        {"init.wav", {{523, 523, 0.10}, {659, 659, 0.10}, {784, 784, 0.18}}},
        // Error: two low, harsh buzzes.
        {"error.wav", {{220, 220, 0.16, true}, {0, 0, 0.06}, {196, 196, 0.22, true}}},
        // Done: a falling pair.
        {"done.wav", {{988, 988, 0.10}, {659, 659, 0.16}}},
        // Slide: a quick upward sweep.
        {"slide.wav", {{500, 1400, 0.12}}},
        // OK: a bright rising pair.
        {"ok.wav", {{880, 880, 0.08}, {1320, 1320, 0.14}}},
    };
    for (const auto& cue : cues) {
        const std::string path = dir + "/" + cue.file;
        if (!WriteWav(path, Render(cue.segments))) {
            std::fprintf(stderr, "make_cues: cannot write %s\n", path.c_str());
            return 1;
        }
    }
    return 0;
}
