#pragma once
// Text between the core's UTF-8 strings and Qt's.
#include <QString>
#include <string>

namespace moltrix::app {

inline QString Q(const std::string& s) { return QString::fromStdString(s); }

// Remembers in `shown` the text a widget was last given. True when `text`
// differs from it, so a sync converts and sets the text only then.
inline bool TextChanged(std::string& shown, const std::string& text) {
    if (shown == text) return false;
    shown = text;
    return true;
}

}  // namespace moltrix::app
