#include "setups/setups.h"

#include "shell/programmer.h"

namespace moltrix::setups {

Setups::Setups(Programmer& p) : p_(p) {}

}  // namespace moltrix::setups
