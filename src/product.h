#pragma once
// Names and addresses the program shows about itself.

namespace moltrix {

inline constexpr const char* kAppTitle = "MOLTRIX6";  // settings store application, default box title
inline constexpr const char* kWebAddress = "www.varnok.example";
inline constexpr const char* kSupportAddress = "support@varnok.example";
// The program's version comes from the build (the project version).
inline constexpr int kVersionMajor = MOLTRIX_VERSION_MAJOR, kVersionMinor = MOLTRIX_VERSION_MINOR,
                     kVersionRevision = MOLTRIX_VERSION_PATCH;
inline constexpr const char* kMainWindowTitle =
    "MOLTRIX-6 Eprom Programmer - Varnok - www.varnok.example (Version " MOLTRIX_VERSION ")";

}  // namespace moltrix
