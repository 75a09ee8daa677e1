#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace examo {

// Data compiled into the program, by type and number ("CUSTOM", 101).
class Resources {
public:
    virtual ~Resources() = default;
    virtual std::optional<std::vector<std::uint8_t>> load(const std::string& type, int number) = 0;
};

} // namespace examo
