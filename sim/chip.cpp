#include "sim/chip.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace moltrix::sim {

Chip::Chip(std::string name, std::uint32_t size) : memory_(size, 0xFF), name_(std::move(name)) {}

void Chip::Fill(std::uint8_t value) { std::fill(memory_.begin(), memory_.end(), value); }

void Chip::SetDead(std::uint32_t address) {
    if (address >= memory_.size()) throw std::out_of_range("dead cell outside the chip");
    if (dead_.empty()) dead_.assign(memory_.size(), false);
    dead_[address] = true;
}

bool Chip::LoadImage(const std::string& path, std::string* error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        if (error) *error = "cannot open image file '" + path + "'";
        return false;
    }
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::size_t n = std::min(bytes.size(), memory_.size());
    std::copy_n(bytes.begin(), n, memory_.begin());
    std::ifstream state(StatePath(path), std::ios::binary);
    if (state) ApplyState(std::string((std::istreambuf_iterator<char>(state)), std::istreambuf_iterator<char>()));
    return true;
}

bool Chip::SaveImage(const std::string& path, std::string* error) const {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (out) {
        out.write(reinterpret_cast<const char*>(memory_.data()),
                  static_cast<std::streamsize>(memory_.size()));
    }
    if (!out) {
        if (error) *error = "cannot write image file '" + path + "'";
        return false;
    }
    const std::string state = StateText();
    if (state.empty()) return true;
    std::ofstream stateOut(StatePath(path), std::ios::binary | std::ios::trunc);
    stateOut << state;
    if (!stateOut) {
        if (error) *error = "cannot write chip state file '" + StatePath(path) + "'";
        return false;
    }
    return true;
}

}  // namespace moltrix::sim
