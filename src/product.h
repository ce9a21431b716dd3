#pragma once
// Names and addresses the program shows about itself.

namespace moltrix {

inline constexpr const char* kAppTitle = "MOLTRIX6";  // settings store application, default box title
inline constexpr const char* kWebAddress = "www.varnok.example";
inline constexpr const char* kSupportAddress = "support@varnok.example";
inline constexpr int kVersionMajor = 1, kVersionMinor = 0, kVersionRevision = 67;
inline constexpr const char* kMainWindowTitle =
    "MOLTRIX-6 Eprom Programmer - Varnok - www.varnok.example (Version 1.0.67)";

}  // namespace moltrix
