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

// True when anything is there under the name: a folder, a pipe or a device too. A reader that
// is handed one of those refuses it with its own message rather than ignoring it.
inline bool AnythingAt(const std::string& path) {
    std::error_code ec;
    return !path.empty() && std::filesystem::exists(path, ec);
}

} // namespace examo::files
