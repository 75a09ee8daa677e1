#pragma once

#include "platform/settingsstore.h"

#include <QString>

namespace examo {

// Settings in one INI file per application under the user's config folder, so that
// people can read and edit them by hand: $XDG_CONFIG_HOME/<application>/<application>.conf.
class QtSettingsStore : public SettingsStore {
public:
    std::string getSetting(const std::string& application, const std::string& section,
                           const std::string& key, const std::string& defaultValue) override;
    void saveSetting(const std::string& application, const std::string& section,
                     const std::string& key, const std::string& value) override;

    static QString fileFor(const std::string& application);
};

} // namespace examo
