#pragma once
// The program's pictures, drawn here: its icon (a chip in a socket) and the
// toolbar's open and save images.
#include <QIcon>

namespace moltrix::app {

QIcon ProgramIcon();
QIcon OpenFileIcon();
QIcon SaveFileIcon();

}  // namespace moltrix::app
