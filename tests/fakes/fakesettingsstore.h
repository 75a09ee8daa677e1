#pragma once

#include "platform/settingsstore.h"

#include <map>
#include <string>
#include <tuple>

namespace examo::fakes {

class FakeSettingsStore : public SettingsStore {
public:
    using Key = std::tuple<std::string, std::string, std::string>;

    std::string getSetting(const std::string& app, const std::string& section,
                           const std::string& key, const std::string& def) override {
        const auto it = values.find({app, section, key});
        return it == values.end() ? def : it->second;
    }
    void saveSetting(const std::string& app, const std::string& section, const std::string& key,
                     const std::string& value) override {
        values[{app, section, key}] = value;
    }

    std::map<Key, std::string> values;
};

} // namespace examo::fakes
