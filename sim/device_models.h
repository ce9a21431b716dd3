#pragma once
#include <cstdint>
#include <memory>
#include <span>
#include <string_view>

#include "sim/chip.h"
#include "sim/socket_profile.h"

namespace moltrix::sim {

struct EpromProgramming;

// The parts the simulator can put in the socket, by their catalogue names.
// The name matters, not only the type: a 2732A (21 V) and a 2732B (12.5 V)
// are both P1.
struct DeviceModel {
    std::string_view name;  // as in the catalogue, e.g. "27C256", "AM29F040", "24C16"
    std::string_view type;  // type code, e.g. "P4", "FM", "SB"
    const EpromProgramming* eprom = nullptr;  // EPROMs: voltage rating and pulse time
    std::uint8_t maker = 0; // identification codes (flash and AT29C256)
    std::uint8_t device = 0;
};

// Which end of the datasheet's range the chip's timing sits at: typical (the
// default) or the maximum a part may take.
enum class TimingCorner : std::uint8_t { Typical, Maximum };

std::span<const DeviceModel> DeviceModels();

// By name (letter case ignored) or by type code (the first part of that type).
const DeviceModel* FindDeviceModel(std::string_view name_or_type);

// A new chip of that part, erased (all FFh), with datasheet timing at the
// corner asked for. `seed` draws what varies from cell to cell (the charge
// an EPROM cell needs, the slow bytes of a flash) and unreliable reads.
std::unique_ptr<Chip> MakeChip(const DeviceModel& model, std::uint64_t seed = 1,
                               TimingCorner corner = TimingCorner::Typical);

}  // namespace moltrix::sim
