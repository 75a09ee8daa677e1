#pragma once

#include "platform/shortpath.h"

#include <cstdint>
#include <string>

namespace examo {

// The blank-free form of a path: every blank and '%' written as %20 and %25. A command text
// splits its words at blanks, so a file name goes into it in this form and the media command
// service turns it back with decodeShortPath.
std::string encodeShortPath(const std::string& path);
// Every %XX (two hex digits) back to its byte; a '%' without two hex digits stays as it is.
std::string decodeShortPath(const std::string& text);

// The short form of an existing file is the encoded form of its absolute path.
class PercentShortPath : public ShortPath {
public:
    // Writes the short form and a terminating NUL into buffer when both fit into capacity;
    // returns the short form's length, or 0 when the path names nothing or it does not fit.
    std::uint32_t getShortPathName(const std::string& longPath, std::string& buffer,
                                   std::uint32_t capacity) override;
};

} // namespace examo
