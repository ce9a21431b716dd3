#pragma once
#include <string>

namespace moltrix::platform {

enum class MsgIcon { None, Critical, Question, Exclamation, Information };
enum class MsgButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class MsgResult { Ok, Cancel, Yes, No };
// The button that Return (or an empty answer on a terminal) gives, counted in
// the order of `MsgButtons`: for OkCancel, Second is Cancel. A place the set
// does not have means the first button.
enum class MsgDefault { First, Second, Third };
enum class FileDialogMode { Open, Save };

// Modal dialogs. An empty title means the program's default title.
class Dialogs {
public:
    virtual ~Dialogs() = default;
    // Closing the box without a button gives Cancel (No for YesNo, OK for Ok alone).
    virtual MsgResult MessageBox(const std::string& text, const std::string& title, MsgIcon icon,
                                 MsgButtons buttons, MsgDefault defaultButton = MsgDefault::First) = 0;
    // The answer typed, or empty text when the operator cancels.
    virtual std::string InputBox(const std::string& prompt, const std::string& title,
                                 const std::string& defaultText) = 0;
    // The chosen path, or empty text when the operator cancels. The filter is
    // in the form "All Files (*.*)|*.*", one or more description|patterns
    // pairs; `chosenType`, when given, receives the index of the pair the
    // operator left selected (0 for the first).
    virtual std::string FileDialog(FileDialogMode mode, const std::string& title, const std::string& filter,
                                   int* chosenType = nullptr) = 0;
};

}  // namespace moltrix::platform
