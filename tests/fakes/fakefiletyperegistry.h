#pragma once

#include "platform/filetyperegistry.h"

#include <string>
#include <vector>

namespace examo::fakes {

class FakeFileTypeRegistry : public FileTypeRegistry {
public:
    struct Value {
        std::string key, subKey, value;
    };
    bool setValue(const std::string& key, const std::string& subKey,
                  const std::string& value) override {
        values.push_back({key, subKey, value});
        return accept;
    }
    std::vector<Value> values;
    bool accept = true;
};

} // namespace examo::fakes
