#pragma once
// The About box: its texts and two buttons, as plain data. The box loads its
// title and version label; the window shows it modally.
#include <string>

#include "form/controls.h"

namespace moltrix::form {

struct AboutForm {
    std::string title = "About VARNOK MOLTRIX PROGRAM";
    Label picIcon{"picIcon", Kind::Label};
    Label lblTitle{"lblTitle", Kind::Label};
    Label lblVersion{"lblVersion", Kind::Label};
    Label lblDescription{"lblDescription", Kind::Label};
    Label Label1{"Label1", Kind::Label};
    Label lblDisclaimer{"lblDisclaimer", Kind::Label};
    Button cmdOK{"cmdOK", Kind::Button, "", "OK"};  // the default and the cancel button
    Button cmdSysInfo{"cmdSysInfo", Kind::Button, "", "&System Info..."};
    // True while the box is open; OK closes it.
    bool visible = false;
};

}  // namespace moltrix::form
