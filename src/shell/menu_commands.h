#pragma once
// The menu entries the window answers itself: the two help entries, and the
// two placeholders "&Close" and "&Options...". The help file is the operator's
// manual "moltrix5.hlp" in the program's data folder.
#include <filesystem>

namespace moltrix {
class Programmer;
}

namespace moltrix::shell {

inline constexpr const char* kHelpFileName = "moltrix5.hlp";

class MenuCommands {
public:
    explicit MenuCommands(Programmer& p);

    void mnuFileClose_Click();
    void mnuToolsOptions_Click();
    void mnuHelpContents_Click();
    void mnuHelpSearchForHelpOn_Click();

    // The help file, or an empty path when the program has none.
    std::filesystem::path HelpFile() const;

private:
    void ShowHelp(int command);
    Programmer& p_;
};

}  // namespace moltrix::shell
