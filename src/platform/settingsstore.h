#pragma once

#include <string>

namespace examo {

// Per-user settings: application, section, key, text value.
class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    virtual std::string getSetting(const std::string& application, const std::string& section,
                                   const std::string& key, const std::string& defaultValue) = 0;
    virtual void saveSetting(const std::string& application, const std::string& section,
                             const std::string& key, const std::string& value) = 0;
};

} // namespace examo
