#pragma once
// The About box (Help > "&About "): the program's title and version, what it
// is for, where to report bugs, and a button that starts the desktop's system
// information viewer.
#include <functional>
#include <string>
#include <vector>

#include "form/about_form.h"

namespace moltrix {
class Programmer;
}

namespace moltrix::shell {

// Programs that show the machine's hardware and system, tried in this order.
inline const std::vector<std::string> kSystemInfoViewers = {"hardinfo2", "hardinfo", "kinfocenter",
                                                            "xfce4-about", "gnome-system-monitor"};

class AboutBox {
public:
    explicit AboutBox(Programmer& p);

    form::AboutForm form;
    // Set by the window: shows `form` modally and returns once it is closed.
    std::function<void()> showModal;

    // Help > "&About ": loads the box and shows it modally.
    void Show();
    void Form_Load();
    void cmdOK_Click();
    void cmdSysInfo_Click();
    // Starts the first system information viewer that can be started; tells
    // the operator when none can.
    void StartSysInfo();

private:
    Programmer& p_;
};

}  // namespace moltrix::shell
