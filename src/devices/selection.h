#pragma once
// The selected device and the programming options it allows: what choosing a
// list item sets (type code, size, line maps, timing factors, voltage options,
// enabled controls), the programming-voltage options and the speed slider.
#include <cstdint>
#include <functional>
#include <initializer_list>
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
    std::int16_t VppClass = 0;
    std::int16_t VppVolts = 0;  // 12 stands for 12.5 V, else 21 or 25

    // Identification probe of the AT29C256, run when that part is chosen. It
    // belongs to the flash routines, which set it; until then choosing the part
    // probes nothing.
    std::function<void()> probeFlashId;

    // Whether the selected type code is one of `codes`.
    bool TypeIs(std::initializer_list<const char*> codes) const;

    void Device_Click();
    void Voltage_button_Click(int index);
    void Slider1_Change();
    void ResetDeviceControls();
    void ComputeSpeedDelays();

private:
    void CopyRow(int row);
    void SetLineMaps();
    void SetTimingFactors();
    void EnableDeviceControls();
    void OfferVoltages();
    Programmer& p_;
};

}  // namespace moltrix::devices
