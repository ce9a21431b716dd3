// The menu tree, its starting states and what each entry starts; the help
// entries, the two placeholders and the About box.
#include <gtest/gtest.h>

#include <fstream>

#include "operations/op_bench.h"
#include "product.h"

namespace moltrix::testing {
namespace {

std::vector<form::MenuItem*> MenuEntries(Programmer& p) {
    std::vector<form::MenuItem*> out;
    const std::function<void(form::MenuItem&)> walk = [&](form::MenuItem& m) {
        out.push_back(&m);
        for (auto* c : m.children) walk(*c);
    };
    for (auto* m : p.form.menuBar) walk(*m);
    return out;
}

// Every entry in menu order: unnamed separators are "-". The states are those
// after start-up, and after selecting an EPROM, a flash part and a serial EEPROM.
struct Entry {
    const char* name;
    const char* caption;
    bool startup, eprom, flash, serial;
};
constexpr Entry kMenus[] = {
    {"mnuFile", "&File", 1, 1, 1, 1},
    {"mnuFileOpenCode", "&Open Code...", 1, 1, 1, 1},
    {"mnuFileSaveCode", "&Save Code", 0, 0, 0, 0},
    {"mnuFileSaveCodeAs", "Save Code &As...", 0, 0, 0, 0},
    {"mnuCommandBar3", "", 1, 1, 1, 1},
    {"mnuFileOpenData", "Open Data...", 0, 0, 0, 0},
    {"mnuFileSaveData", "Save Data", 0, 0, 0, 0},
    {"mnuFileSaveDataAs", "Save Data As...", 0, 0, 0, 0},
    {"mnuCommandBar4", "", 1, 1, 1, 1},
    {"mnuFileClose", "&Close", 1, 1, 1, 1},
    {"mnuFileExit", "E&xit", 1, 1, 1, 1},
    {"mnuTools", "&Tools", 1, 1, 1, 1},
    {"mnuToolsOptions", "&Options...", 1, 1, 1, 1},
    {"mnuToolsDatasheetPulse", "Datasheet Pulse Width", 1, 1, 1, 1},
    {"menuCommand", "&Command", 1, 1, 1, 1},
    {"menuBlankCheck", "Blank Check Device for Erased", 0, 1, 1, 0},
    {"-", "", 1, 1, 1, 1},
    {"menuProgramCode", "Program Device Code", 0, 0, 0, 0},
    {"menuReadCode", "Read Device Code", 0, 1, 1, 1},
    {"menuVerifyCode", "Verify Device Code", 0, 0, 0, 0},
    {"-", "", 1, 1, 1, 1},
    {"menuProgramData", "Program Device Data", 0, 0, 0, 0},
    {"menuReadData", "Read Device Data", 0, 0, 0, 0},
    {"menuVerifyData", "Verify Device Data", 0, 0, 0, 0},
    {"-", "", 1, 1, 1, 1},
    {"menuDisplayCode", "Display Device CODE", 0, 1, 1, 1},
    {"menuDisplayData", "Display Device DATA", 0, 0, 0, 0},
    {"-", "", 1, 1, 1, 1},
    {"menuEraseCode", "Erase CODE Buffer (\"FF\") ", 0, 0, 0, 0},
    {"menuEraseData", "Erase DATA Buffer (\"FF\") ", 0, 0, 0, 0},
    {"menuEraseFlash", "Erase Device Flash Memory", 0, 0, 1, 1},
    {"-", "", 1, 1, 1, 1},
    {"menuTestHardware", "Test LPT Ports", 1, 1, 1, 1},
    {"-", "", 1, 1, 1, 1},
    {"menuFlashShowCodeID", "Show Flash Code ID#", 0, 0, 1, 1},
    {"Setup", "&Setup", 1, 1, 1, 1},
    {"LoadSetup", "&Load Setup", 1, 1, 1, 1},
    {"LoadSetup1", "Load Setup #&1", 0, 0, 0, 0},
    {"LoadSetup2", "Load Setup #&2", 0, 0, 0, 0},
    {"LoadSetup3", "Load Setup #&3", 0, 0, 0, 0},
    {"LoadSetup4", "Load Setup #&4", 0, 0, 0, 0},
    {"-", "", 1, 1, 1, 1},
    {"SaveSetup", "&Save Setup", 1, 1, 1, 1},
    {"SaveSetup1", "Save Setup #&1", 1, 1, 1, 1},
    {"SaveSetup2", "Save Setup #&2", 1, 1, 1, 1},
    {"SaveSetup3", "Save Setup #&3", 1, 1, 1, 1},
    {"SaveSetup4", "Save Setup #&4", 1, 1, 1, 1},
    {"-", "", 1, 1, 1, 1},
    {"ForceMoltrix4", "Force Set MOLTRIX-4", 1, 1, 1, 1},
    {"ForceMoltrix5", "Force Set MOLTRIX-5", 1, 1, 1, 1},
    {"ForceMoltrix6", "Force Set MOLTRIX-6", 1, 1, 1, 1},
    {"-", "", 1, 1, 1, 1},
    {"LoopFlashTest", "LoopFlashTest", 0, 0, 0, 0},
    {"ResetFlash", "ResetFlash", 0, 0, 0, 0},
    {"mnuHelp", "&Help", 1, 1, 1, 1},
    {"mnuHelpContents", "&Contents", 1, 1, 1, 1},
    {"mnuHelpSearchForHelpOn", "&Search For Help On...", 1, 1, 1, 1},
    {"mnuHelpBar0", "", 1, 1, 1, 1},
    {"mnuHelpAbout", "&About ", 1, 1, 1, 1},
};

bool IsSeparator(const Entry& e) { return e.caption[0] == '\0'; }

TEST(Menus, TreeCaptionsSeparatorsAndStates) {
    Rig rig;
    rig.p().Form_Load();
    std::vector<std::vector<form::MenuItem*>> states{MenuEntries(rig.p())};
    std::vector<std::unique_ptr<OpBench>> benches;
    for (const char* part : {"27C256", "AM29F010", "24C08"}) {
        benches.push_back(std::make_unique<OpBench>(6, part));
        states.push_back(MenuEntries(benches.back()->p()));
    }
    ASSERT_EQ(states[0].size(), std::size(kMenus));
    for (std::size_t i = 0; i < std::size(kMenus); ++i) {
        const Entry& e = kMenus[i];
        const form::MenuItem& m = *states[0][i];
        SCOPED_TRACE(e.name);
        EXPECT_EQ(m.separator, IsSeparator(e));
        if (std::string(e.name) != "-") {
            EXPECT_EQ(m.name, e.name);
        }
        if (!m.separator) {
            EXPECT_EQ(m.caption, e.caption);
        }
        const bool want[] = {e.startup, e.eprom, e.flash, e.serial};
        for (std::size_t s = 0; s < states.size(); ++s) EXPECT_EQ(states[s][i]->enabled, want[s]) << "state " << s;
    }
}

// The first dialog an entry shows, or the first line it logs.
TEST(Menus, EachEntryReachesItsHandler) {
    const std::pair<const char*, const char*> kShows[] = {
        {"mnuFileOpenCode", "Open Code File"},
        {"mnuFileSaveCode", "Save CODE BUFFER ..."},
        {"mnuFileSaveCodeAs", "Save CODE BUFFER As..."},
        {"mnuFileOpenData", "Open Data File (eeprom)"},
        {"mnuFileSaveData", "Save DATA Buffer ..."},
        {"mnuFileSaveDataAs", "Save DATA Buffer As..."},
        {"mnuFileClose", "Add 'mnuFileClose_Click' code."},
        {"mnuToolsOptions", "This menu option is not available."},
        {"menuBlankCheck", "Checking Device for BLANK (Erased)... Wait"},
        {"menuProgramCode", "Program the Device?"},
        {"menuReadCode", "32768 bytes Read from Device"},
        {"menuVerifyCode", "Verify Function Started... Wait"},
        {"menuProgramData", "Please Write A90S2313 Program Data Routine"},
        {"menuReadData", "Please Write AT90S2313 Eeprom Read Routine"},
        {"menuVerifyData", "Please Write AT90S2313 VerifyData Routine"},
        {"menuDisplayCode", "Fetching Device Binary Contents to Screen"},
        {"menuDisplayData", "Please Write AT90S2313 Data Display Routine"},
        {"menuEraseCode", "Buffer has been Erased"},
        {"menuEraseData", "Buffer has been Erased"},
        {"menuTestHardware", "Port 278 Not Responding"},
        {"menuFlashShowCodeID", "Reading Flash Code ID_________________ wait"},
        {"LoadSetup2", "Can't read the setup file MXSetup2.INI: file not found"},
        {"SaveSetup3", "Setup Saved as MXSetup3.INI, named:No Name Setup 3"},
        {"ForceMoltrix5", "MOLTRIX-5 Device was FORCED by Operator"},
        {"mnuHelpContents", "Unable to display Help Contents. There is no Help associated with this project."},
    };
    for (const auto& [name, shows] : kShows) {
        SCOPED_TRACE(name);
        OpBench bench(6, "27C256");
        auto& rig = bench.rig;
        form::MenuItem* entry = nullptr;
        for (auto* m : MenuEntries(bench.p()))
            if (m->name == name) entry = m;
        ASSERT_NE(entry, nullptr);
        ASSERT_TRUE(entry->onClick);
        rig.dialogs.messageAnswers = {platform::MsgResult::Cancel};
        const auto lines = rig.LogMessages().size();
        entry->onClick();
        bool seen = false;
        for (const auto& d : rig.dialogs.shown) seen = seen || d.text == shows || d.title == shows;
        for (const auto& l : bench.LogFrom(lines)) seen = seen || l == shows;
        EXPECT_TRUE(seen);
    }

    Rig rig;
    auto& p = rig.p();
    int closed = 0;
    p.closeMainWindow = [&] { ++closed; };
    p.form.mnuFileExit.Click();
    EXPECT_EQ(closed, 1);
    // The toolbar by key; the separator's empty key and any other do nothing.
    std::vector<std::string> titles;
    for (const char* key : {"OpenCode", "SaveCode", "", "OpenData", "SaveData", "opencode"}) {
        const auto before = rig.dialogs.shown.size();
        p.form.tbToolBar.onButtonClick(key);
        titles.push_back(rig.dialogs.shown.size() > before ? rig.dialogs.shown.back().title : "");
    }
    EXPECT_EQ(titles, (std::vector<std::string>{"Open Code File", "Save CODE BUFFER ...", "",
                                                "Open Data File (eeprom)", "Save DATA Buffer ...", ""}));
}

TEST(Menus, HelpOpensTheManualAtItsContentsOrItsIndex) {
    Rig rig;
    auto& p = rig.p();
    p.form.mnuHelpSearchForHelpOn.Click();
    ASSERT_EQ(rig.dialogs.shown.size(), 1u) << "no help file";
    EXPECT_EQ(rig.dialogs.shown[0].text,
              "Unable to display Help Contents. There is no Help associated with this project.");
    EXPECT_EQ(rig.dialogs.shown[0].title, p.form.title);
    EXPECT_EQ(rig.dialogs.shown[0].icon, platform::MsgIcon::Information);
    EXPECT_TRUE(rig.help.calls.empty());

    const auto file = rig.services.paths.programDir / "moltrix5.hlp";
    std::ofstream(file) << "MOLTRIX HELP 1\n# contents Contents\n";
    p.form.mnuHelpContents.Click();
    p.form.mnuHelpSearchForHelpOn.Click();
    ASSERT_EQ(rig.help.calls.size(), 2u);
    EXPECT_EQ(rig.help.calls[0].file, file);
    EXPECT_EQ(rig.help.calls[0].command, 3);
    EXPECT_EQ(rig.help.calls[1].command, 261);
    EXPECT_EQ(rig.help.calls[1].keyword, "");
    EXPECT_EQ(rig.dialogs.shown.size(), 1u);

    rig.help.error = "The help file cannot be read";
    p.form.mnuHelpContents.Click();
    EXPECT_EQ(rig.dialogs.shown.back().text, "The help file cannot be read");
    EXPECT_EQ(rig.dialogs.shown.back().title, "");
}

TEST(About, TextsVersionAndSystemInfo) {
    Rig rig;
    auto& p = rig.p();
    auto& box = p.about.form;
    bool shown = false;
    p.about.showModal = [&] {
        shown = box.visible;
        EXPECT_EQ(box.lblTitle.caption, "MOLTRIX6");
        EXPECT_EQ(box.lblVersion.caption, "Version " MOLTRIX_VERSION);
        box.cmdOK.Click();
        EXPECT_FALSE(box.visible);
    };
    const auto lines = rig.LogMessages();
    p.form.mnuHelpAbout.Click();
    EXPECT_TRUE(shown);
    EXPECT_EQ(rig.LogMessages(), lines) << "closing it changes nothing";
    EXPECT_EQ(box.title, "About VARNOK MOLTRIX PROGRAM");
    EXPECT_EQ(box.lblDescription.caption.rfind("Eprom, Flash and Eeprom memory programming software to be used "
                                               "with MOLTRIX-4/5/6 Hardware board, available at ",
                                               0),
              0u);
    EXPECT_EQ(box.Label1.caption.rfind("WINDOWS BETA VERSION.   Please report", 0), 0u);
    EXPECT_EQ(box.lblDisclaimer.caption.substr(box.lblDisclaimer.caption.size() - 3), ".  ");

    rig.launcher.ok = false;  // none of the viewers is installed
    box.cmdSysInfo.Click();
    EXPECT_EQ(rig.launcher.launched, shell::kSystemInfoViewers);
    EXPECT_EQ(rig.dialogs.shown.back().text, "System Information Is Unavailable At This Time");
    rig.launcher.ok = true;
    rig.launcher.launched.clear();
    const auto boxes = rig.dialogs.shown.size();
    box.cmdSysInfo.Click();
    EXPECT_EQ(rig.launcher.launched, std::vector<std::string>{"hardinfo2"});
    EXPECT_EQ(rig.dialogs.shown.size(), boxes);
}

}  // namespace
}  // namespace moltrix::testing
