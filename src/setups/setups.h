#pragma once
// The four saved setup slots: "MXSetup1.INI" to "MXSetup4.INI" in the working
// folder. Saving records the controls; restoring sets each control through the
// form model, so its own handler runs as if the operator had set it.
#include <string>

#include "form/controls.h"
#include "setups/setup_file.h"

namespace moltrix {
class Programmer;
}

namespace moltrix::setups {

// The slot's file name, "MXSetup" + digit + ".INI" (1 to 4); the Setup menu's
// check uses the same spelling, so it works on case-sensitive file systems too.
std::string SlotFileName(int slot);

class Setups {
public:
    explicit Setups(Programmer& p);

    // The Setup menu opens: each Load entry shows its setup's name, or stays
    // disabled when the slot has no file.
    void Setup_Click();
    // Asks for a name and writes the setup file `fname` in the working folder.
    void SaveSetupRot(const std::string& fname);
    // Puts the setup of `fname` back into the controls and reloads its code file.
    void RestoreSetup(const std::string& fname);

    void SaveSetup1_Click() { SaveSetupRot(SlotFileName(1)); }
    void SaveSetup2_Click() { SaveSetupRot(SlotFileName(2)); }
    void SaveSetup3_Click() { SaveSetupRot(SlotFileName(3)); }
    void SaveSetup4_Click() { SaveSetupRot(SlotFileName(4)); }
    void LoadSetup1_Click() { RestoreSetup(SlotFileName(1)); }
    void LoadSetup2_Click() { RestoreSetup(SlotFileName(2)); }
    void LoadSetup3_Click() { RestoreSetup(SlotFileName(3)); }
    void LoadSetup4_Click() { RestoreSetup(SlotFileName(4)); }

private:
    form::MenuItem& LoadEntry(int slot);
    form::CheckBox& CheckBoxFor(SetupKey key);
    Programmer& p_;
};

}  // namespace moltrix::setups
