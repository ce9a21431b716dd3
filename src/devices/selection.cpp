#include "devices/selection.h"

#include "shell/programmer.h"

namespace moltrix::devices {

Selection::Selection(Programmer& p) : p_(p) {}

// Not built yet: device selection lands with its own change.
void Selection::ResetDeviceControls() {}

}  // namespace moltrix::devices
