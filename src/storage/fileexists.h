#pragma once

#include <filesystem>
#include <string>
#include <system_error>

namespace examo::files {

// True for an existing regular file; an empty name or one that cannot be looked at is none.
inline bool FileExists(const std::string& path) {
    std::error_code ec;
    return !path.empty() && std::filesystem::is_regular_file(path, ec);
}

} // namespace examo::files
