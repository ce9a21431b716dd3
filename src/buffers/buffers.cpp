#include "buffers/buffers.h"

#include "shell/programmer.h"

namespace moltrix::buffers {

Buffers::Buffers(Programmer& p) : p_(p) {}

}  // namespace moltrix::buffers
