#include "board/detection.h"

#include "shell/programmer.h"

namespace moltrix::board {

Detection::Detection(Programmer& p) : p_(p) {}

// Not built yet: detection lands with its own change.
void Detection::ReadBoardIni() {}
void Detection::TestHardware_button_Click() {}

}  // namespace moltrix::board
