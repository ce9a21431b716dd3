#pragma once
#include <filesystem>
#include <vector>

#include "platform/clock.h"
#include "platform/dialogs.h"
#include "platform/help_viewer.h"
#include "platform/port_io.h"
#include "platform/settings_store.h"
#include "platform/sound.h"
#include "platform/ui_refresh.h"

namespace moltrix::platform {

struct Paths {
    std::filesystem::path programDir;  // the executable's folder: sounds, help, "moltrix6.ini"
    std::filesystem::path workDir;     // the current directory: "MOLTRIX.LOG", "MOLTRIX.BUF", setups
    std::filesystem::path configDir;   // the user's configuration folder for this program
    // The bench mode's own folder for "moltrix6.ini", so that a simulated
    // board never stands in for the real one at the next start; empty on the
    // real ports.
    std::filesystem::path benchDir;
    // The sounds and the help file; empty: they lie in the program's folder
    // (a build tree). An installed program has them in share/moltrix.
    std::filesystem::path dataDir;
    std::filesystem::path DataDir() const { return dataDir.empty() ? programDir : dataDir; }

    // Where "moltrix6.ini" may lie, in the order a new one is tried: the
    // program's folder, else the configuration folder; only the bench's own
    // folder in bench mode.
    std::vector<std::filesystem::path> BoardIniDirs() const {
        if (!benchDir.empty()) return {benchDir};
        return {programDir, configDir};
    }
};

// Everything the outside world gives the core, handed in by whoever builds it.
struct Services {
    PortIo& port;
    Clock& clock;
    SoundPlayer& sound;
    SettingsStore& settings;
    Dialogs& dialogs;
    HelpViewer& help;
    Launcher& launcher;
    UiRefresh& refresh;
    Paths paths;
};

}  // namespace moltrix::platform
