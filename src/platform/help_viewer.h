#pragma once
#include <filesystem>
#include <string>

namespace moltrix::platform {

inline constexpr int kHelpContents = 3;
inline constexpr int kHelpPartialKey = 261;

// Opens the help file. Returns an empty text on success, else the platform's
// description of why the help call could not be made.
class HelpViewer {
public:
    virtual ~HelpViewer() = default;
    virtual std::string Show(const std::filesystem::path& helpFile, int command, const std::string& keyword) = 0;
};

// Starts another program (the system information tool of the About box).
class Launcher {
public:
    virtual ~Launcher() = default;
    virtual bool Launch(const std::string& program) = 0;
};

}  // namespace moltrix::platform
