#pragma once
// The device catalogue: one table of data, one row per device.
#include <array>
#include <string>

namespace moltrix {
class Programmer;
}

namespace moltrix::devices {

class Catalog {
public:
    explicit Catalog(Programmer& p);
    void BuildDeviceCatalog();
    void FillDeviceList();

private:
    Programmer& p_;
};

}  // namespace moltrix::devices
