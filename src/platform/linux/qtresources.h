#pragma once

#include "platform/resources.h"

namespace examo {

// Data compiled in through Qt's resource system, each item at ":/<type>/<number>".
class QtResources : public Resources {
public:
    std::optional<std::vector<std::uint8_t>> load(const std::string& type, int number) override;
};

} // namespace examo
