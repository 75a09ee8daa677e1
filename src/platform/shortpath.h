#pragma once

#include <cstdint>
#include <string>

namespace examo {

// The blank-free form of an existing file's path.
class ShortPath {
public:
    virtual ~ShortPath() = default;
    // Writes the short form into buffer (at most capacity characters) and returns its length,
    // or 0 when the path names no file.
    virtual std::uint32_t getShortPathName(const std::string& longPath, std::string& buffer,
                                           std::uint32_t capacity) = 0;
};

} // namespace examo
