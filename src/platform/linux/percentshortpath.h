#pragma once

#include "platform/shortpath.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace examo {

// The form of a path that a command text can carry: every blank, tab, line break and other
// control character, and '%', written as %XX. A command text splits its words at blanks and
// tabs, so a file name goes into it in this form and the media command service turns it back.
std::string encodeShortPath(const std::string& path);
// Every %XX (two hex digits) back to its byte; a '%' without two hex digits stays as it is.
std::string decodeShortPath(const std::string& text);

// The short form of an existing file is the encoded form of its absolute path. A path whose
// encoded form would not fit the caller's buffer gets a token instead ("path#1", ...) that
// stands for it for the life of this object, so any path the file system allows stays usable.
class PercentShortPath : public ShortPath {
public:
    // Writes the short form and a terminating NUL into buffer when both fit into capacity;
    // returns the short form's length, or 0 when the path names nothing.
    std::uint32_t getShortPathName(const std::string& longPath, std::string& buffer,
                                   std::uint32_t capacity) override;

    // The absolute path a short form stands for; empty for a token this object never gave.
    std::string longPathOf(const std::string& shortForm) const;

private:
    std::string tokenFor(const std::string& path);

    std::map<std::string, std::size_t> m_tokenOfPath;
    std::vector<std::string> m_pathOfToken;
};

} // namespace examo
