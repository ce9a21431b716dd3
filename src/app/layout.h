#pragma once
// Where each control of the main window sits: Qt layouts in the areas of the
// window design. Left column: the file names, the hex display, the system log,
// the progress bar and the lamps; right column: device, port and hardware
// frames, the operation buttons, the programming options and the speed slider;
// the toolbar along the top, the status bar along the bottom. The hex display
// and the log take the room a larger window gives; the right column keeps its
// controls together at the top.
#include <map>
#include <string>

#include "buffers/hex_page.h"

class QWidget;

namespace moltrix::app {

// The hex display's page, in characters of its fixed-pitch font.
inline constexpr int kPageColumns = static_cast<int>(buffers::kLineChars);
inline constexpr int kPageLines = 16;

// Lays out `client`. `controls` holds every control's widget by the program's
// name for it (frames too: their children go into layouts of their own);
// widgets the arrangement does not name are left where they are.
void ArrangeMainWindow(QWidget* client, QWidget* toolbar, QWidget* statusBar,
                       const std::map<std::string, QWidget*>& controls);

// True for the control shown as a page of fixed-pitch text (the hex display).
bool IsFixedPitchPage(const std::string& controlName);

}  // namespace moltrix::app
