#pragma once
#include <string>

namespace moltrix::platform {

// The per-user settings store: text values by application, section and key.
class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    virtual std::string Get(const std::string& app, const std::string& section, const std::string& key,
                            const std::string& defaultValue) = 0;
    virtual void Set(const std::string& app, const std::string& section, const std::string& key,
                     const std::string& value) = 0;
};

}  // namespace moltrix::platform
