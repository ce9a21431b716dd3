#include "shell/menu_commands.h"

#include <system_error>

#include "shell/programmer.h"

namespace moltrix::shell {

MenuCommands::MenuCommands(Programmer& p) : p_(p) {
    auto& f = p_.form;
    f.mnuFileClose.onClick = [this] { mnuFileClose_Click(); };
    f.mnuToolsOptions.onClick = [this] { mnuToolsOptions_Click(); };
    f.mnuHelpContents.onClick = [this] { mnuHelpContents_Click(); };
    f.mnuHelpSearchForHelpOn.onClick = [this] { mnuHelpSearchForHelpOn_Click(); };
}

void MenuCommands::mnuFileClose_Click() {
    p_.svc.dialogs.MessageBox("Add 'mnuFileClose_Click' code.", "", platform::MsgIcon::None,
                              platform::MsgButtons::Ok);
}

void MenuCommands::mnuToolsOptions_Click() {
    p_.svc.dialogs.MessageBox("This menu option is not available.", "", platform::MsgIcon::None,
                              platform::MsgButtons::Ok);
}

void MenuCommands::mnuHelpContents_Click() { ShowHelp(platform::kHelpContents); }

void MenuCommands::mnuHelpSearchForHelpOn_Click() { ShowHelp(platform::kHelpPartialKey); }

std::filesystem::path MenuCommands::HelpFile() const {
    const auto file = p_.svc.paths.DataDir() / kHelpFileName;
    std::error_code ec;
    return std::filesystem::is_regular_file(file, ec) ? file : std::filesystem::path{};
}

void MenuCommands::ShowHelp(int command) {
    const auto file = HelpFile();
    if (file.empty()) {
        p_.svc.dialogs.MessageBox(
            "Unable to display Help Contents. There is no Help associated with this project.", p_.form.title,
            platform::MsgIcon::Information, platform::MsgButtons::Ok);
        return;
    }
    const std::string error = p_.svc.help.Show(file, command, "");
    if (!error.empty())
        p_.svc.dialogs.MessageBox(error, "", platform::MsgIcon::None, platform::MsgButtons::Ok);
}

}  // namespace moltrix::shell
