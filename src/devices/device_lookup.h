#pragma once
// Finding a catalogue row from what an operator types: a row number (1 to
// 40; a larger number is taken as a part name, "2716"), or a device name with or without its padding, in any case, with or without its
// family word ("Eprom 27C256" or "27C256"), or a part number that one row's
// name holds ("AM29F010" of "Flash AMD AM29F010").
#include <string>
#include <string_view>
#include <vector>

namespace moltrix::devices {

struct DeviceLookup {
    int row = 0;  // 0 when nothing matched
    bool refused = false;  // the row exists but the program does not handle the part
    std::vector<std::string> closeMatches;  // names that come near, when nothing matched
};

DeviceLookup LookUpDevice(std::string_view query);

}  // namespace moltrix::devices
