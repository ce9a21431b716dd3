#pragma once
// The main window's position and size in the per-user settings store:
// application "MOLTRIX6", section "Settings", values in twips as the decimal
// text of a single-precision number.
#include <string>

#include "platform/settings_store.h"

namespace moltrix {

// A stored value that is missing or not a number gives the default.
double ReadTwips(platform::SettingsStore& store, const std::string& key, double defaultValue);
void WriteTwips(platform::SettingsStore& store, const std::string& key, double value);
// Shortest decimal text that reads back as the same single-precision value.
std::string SingleText(double value);

}  // namespace moltrix
