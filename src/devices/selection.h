#pragma once
// The selected device and the programming options it allows.
#include <cstdint>
#include <string>

namespace moltrix {
class Programmer;
}

namespace moltrix::devices {

class Selection {
public:
    explicit Selection(Programmer& p);

    std::string DeviceName, DeviceFamily, DeviceVariant, DeviceType;
    std::int32_t DeviceSizeKB = 0, DeviceSize = 0;
    std::int16_t VppClass = 0, VppVolts = 0;

    void ResetDeviceControls();

private:
    Programmer& p_;
};

}  // namespace moltrix::devices
