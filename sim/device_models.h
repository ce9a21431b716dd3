#pragma once
#include <cstdint>
#include <memory>
#include <span>
#include <string_view>

#include "sim/chip.h"
#include "sim/socket_profile.h"

namespace moltrix::sim {

// The parts the simulator can put in the socket, by their catalogue names.
struct DeviceModel {
    std::string_view name;  // as in the catalogue, e.g. "27C256", "AM29F040", "24C16"
    std::string_view type;  // type code, e.g. "P4", "FM", "SB"
    std::uint8_t maker = 0; // identification codes (flash and AT29C256)
    std::uint8_t device = 0;
};

std::span<const DeviceModel> DeviceModels();

// By name (letter case ignored) or by type code (the first part of that type).
const DeviceModel* FindDeviceModel(std::string_view name_or_type);

// A new chip of that part, erased (all FFh), with datasheet timing.
// `seed` draws the pulses each EPROM cell needs.
std::unique_ptr<Chip> MakeChip(const DeviceModel& model, std::uint64_t seed = 1);

}  // namespace moltrix::sim
