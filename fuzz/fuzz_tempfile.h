#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <unistd.h>

namespace examo::fuzz {

// The input as a file of its own under /tmp, for readers that take a path; removed when done.
class TempInput {
public:
    TempInput(const char* prefix, const std::uint8_t* data, std::size_t size) {
        std::string pattern = std::string("/tmp/") + prefix + "-XXXXXX";
        const int fd = ::mkstemp(pattern.data());
        if (fd < 0)
            return;
        m_path = pattern;
        m_written = ::write(fd, data, size) == static_cast<ssize_t>(size);
        ::close(fd);
    }
    ~TempInput() {
        if (!m_path.empty())
            ::unlink(m_path.c_str());
    }
    TempInput(const TempInput&) = delete;
    TempInput& operator=(const TempInput&) = delete;
    // Empty when the file could not be made whole.
    std::string path() const { return m_written ? m_path : std::string(); }

private:
    std::string m_path;
    bool m_written = false;
};

} // namespace examo::fuzz
