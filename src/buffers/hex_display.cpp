#include "buffers/hex_display.h"

#include "shell/programmer.h"

namespace moltrix::buffers {

HexDisplay::HexDisplay(Programmer& p) : p_(p) {}

}  // namespace moltrix::buffers
