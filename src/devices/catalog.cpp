#include "devices/catalog.h"

#include "shell/programmer.h"

namespace moltrix::devices {

Catalog::Catalog(Programmer& p) : p_(p) {}

// Not built yet: the device catalogue lands with its own change.
void Catalog::BuildDeviceCatalog() {}
void Catalog::FillDeviceList() {}

}  // namespace moltrix::devices
