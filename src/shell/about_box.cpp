#include "shell/about_box.h"

#include "product.h"
#include "shell/programmer.h"

namespace moltrix::shell {

AboutBox::AboutBox(Programmer& p) : p_(p) {
    form.lblDescription.caption =
        std::string("Eprom, Flash and Eeprom memory programming software to be used with MOLTRIX-4/5/6 Hardware "
                    "board, available at ") +
        kWebAddress;
    form.Label1.caption =
        std::string("WINDOWS BETA VERSION.   Please report any bugs or suggestions via email to ") + kSupportAddress;
    form.lblDisclaimer.caption =
        "Warning: This software should run perfectly under Win98/Win98SE/WinME/Win2000/WinXP/WinNT, but in case "
        "of problems under Win2000/XP it may require download and use of the USERPORT utility.  ";
    form.cmdOK.onClick = [this] { cmdOK_Click(); };
    form.cmdSysInfo.onClick = [this] { cmdSysInfo_Click(); };
    p_.form.mnuHelpAbout.onClick = [this] { Show(); };
}

void AboutBox::Show() {
    Form_Load();
    form.visible = true;
    if (showModal) showModal();
    form.visible = false;
}

void AboutBox::Form_Load() {
    form.lblTitle.caption = kAppTitle;
    form.lblVersion.caption = "Version " + std::to_string(kVersionMajor) + "." + std::to_string(kVersionMinor) + "." +
                              std::to_string(kVersionRevision);
}

void AboutBox::cmdOK_Click() { form.visible = false; }

void AboutBox::cmdSysInfo_Click() { StartSysInfo(); }

void AboutBox::StartSysInfo() {
    for (const auto& viewer : kSystemInfoViewers)
        if (p_.svc.launcher.Launch(viewer)) return;
    p_.svc.dialogs.MessageBox("System Information Is Unavailable At This Time", "", platform::MsgIcon::None,
                              platform::MsgButtons::Ok);
}

}  // namespace moltrix::shell
