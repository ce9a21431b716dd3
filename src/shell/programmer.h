#pragma once
// The core of the program: all program state, grouped by the subsystem that owns
// it, and the window's event handlers. No Qt here: the window is a projection of
// `form` and calls the handlers; tests do the same with fakes.
#include <functional>

#include "board/address_bus.h"
#include "board/detection.h"
#include "board/registers.h"
#include "buffers/buffers.h"
#include "buffers/hex_display.h"
#include "devices/catalog.h"
#include "devices/selection.h"
#include "devices/startup_tables.h"
#include "feedback/cues.h"
#include "feedback/lamps.h"
#include "feedback/log.h"
#include "feedback/outcome.h"
#include "feedback/progress.h"
#include "form/main_form.h"
#include "operations/device_checks.h"
#include "platform/services.h"
#include "programming/eprom_routines.h"
#include "programming/pulse_width.h"
#include "programming/erase_command.h"
#include "programming/flash_commands.h"
#include "programming/flash_id.h"
#include "programming/flash_program.h"
#include "programming/page_write.h"
#include "programming/program_command.h"
#include "programming/program_image.h"
#include "programming/serial_bus.h"
#include "programming/serial_eeprom.h"
#include "setups/setups.h"
#include "shell/about_box.h"
#include "shell/menu_commands.h"

namespace moltrix {

class Programmer {
public:
    explicit Programmer(platform::Services& services);
    Programmer(const Programmer&) = delete;
    Programmer& operator=(const Programmer&) = delete;

    platform::Services& svc;
    form::MainForm form;

    feedback::OperatorLog log{*this};
    feedback::Lamps lamps{*this};
    feedback::Progress progress{*this};
    feedback::Cues cues{*this};
    feedback::Outcomes outcome;
    board::Registers regs{*this};
    board::AddressBus addr{*this};
    feedback::ErrorAlert alert{*this};
    devices::StartupTables tables{*this};
    board::Detection detect{*this};
    devices::Catalog catalog{*this};
    devices::Selection selection{*this};
    buffers::Buffers buffers{*this};
    buffers::HexDisplay display{*this};
    setups::Setups setups{*this};
    programming::Image image{*this};
    operations::DeviceChecks checks{*this};
    programming::ProgramCommand program{*this};
    programming::PulseWidth pulse{*this};
    programming::EpromRoutines eprom{*this};
    programming::FlashCommands flashBus{*this};
    programming::FlashIdentity flashId{*this};
    programming::FlashRoutines flash{*this};
    programming::PageWriteRoutines pages{*this};
    programming::EraseCommand erase{*this};
    programming::SerialBus serialBus{*this};
    programming::SerialEepromRoutines serial{*this};
    shell::AboutBox about{*this};
    shell::MenuCommands menus{*this};

    const char* CrLf = "";

    // Start-up, before the window is first shown.
    void Form_Load();
    // The window closes: board to idle, geometry stored.
    void Form_Unload();
    // Set by the window: closes the program's other windows, newest first.
    std::function<void()> closeOtherWindows;
    // Set by the window: closes the main window (File > Exit).
    std::function<void()> closeMainWindow;

private:
    void LoadGeometry();
    void StoreGeometry();
};

}  // namespace moltrix
