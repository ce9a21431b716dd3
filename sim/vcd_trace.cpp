#include "sim/vcd_trace.h"

namespace moltrix::sim {
namespace {

struct SignalInfo {
    const char* name;
    int width;
    char id;
};

constexpr SignalInfo kSignals[VcdTrace::kCount] = {
    {"reg0", 8, '!'}, {"reg1", 8, '"'}, {"reg2", 8, '#'}, {"reg3", 8, '$'},
    {"reg4", 8, '%'}, {"data", 8, '&'}, {"scl", 1, '\''}, {"sda", 1, '('},
};

void WriteValue(std::FILE* f, const SignalInfo& s, std::uint32_t value) {
    if (s.width == 1) {
        std::fprintf(f, "%c%c\n", value ? '1' : '0', s.id);
        return;
    }
    char bits[33];
    for (int i = 0; i < s.width; ++i) bits[i] = ((value >> (s.width - 1 - i)) & 1) ? '1' : '0';
    bits[s.width] = '\0';
    std::fprintf(f, "b%s %c\n", bits, s.id);
}

}  // namespace

VcdTrace::~VcdTrace() { Close(); }

bool VcdTrace::Open(const std::string& path, const Levels& levels, Nanos t,
                    std::string* error) {
    Close();
    file_ = std::fopen(path.c_str(), "w");
    if (!file_) {
        if (error) *error = "cannot create trace file '" + path + "'";
        return false;
    }
    std::fputs("$date simulated bench $end\n$version moltrix sim $end\n$timescale 1ns $end\n",
               file_);
    std::fputs("$scope module board $end\n", file_);
    for (const SignalInfo& s : kSignals) {
        std::fprintf(file_, "$var wire %d %c %s $end\n", s.width, s.id, s.name);
    }
    std::fputs("$upscope $end\n$enddefinitions $end\n", file_);
    last_ = levels;
    std::fprintf(file_, "#%llu\n$dumpvars\n", static_cast<unsigned long long>(t));
    for (int i = 0; i < kCount; ++i) WriteValue(file_, kSignals[i], last_[i]);
    std::fputs("$end\n", file_);
    last_time_ = t;
    return true;
}

void VcdTrace::Close() {
    if (file_) std::fclose(file_);
    file_ = nullptr;
}

void VcdTrace::Write(Signal signal, std::uint32_t value, Nanos t) {
    if (t != last_time_) {
        std::fprintf(file_, "#%llu\n", static_cast<unsigned long long>(t));
        last_time_ = t;
    }
    WriteValue(file_, kSignals[signal], value);
    last_[signal] = value;
}

}  // namespace moltrix::sim
