#pragma once

#include "storage/scorelog.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include <signal.h>
#include <sys/resource.h>

namespace examo::testing {

// A fresh folder for one test, removed afterwards.
class TempFolder {
public:
    TempFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "examo-XXXXXX").string();
        m_path = ::mkdtemp(pattern.data());
    }
    ~TempFolder() {
        std::error_code ec;
        std::filesystem::remove_all(m_path, ec);
    }
    std::string path(const std::string& name) const { return m_path + "/" + name; }
    const std::string& folder() const { return m_path; }

private:
    std::string m_path;
};

// Gives the process its current folder back at the end of a test; dialogs and tests move it.
class KeepCurrentFolder {
public:
    KeepCurrentFolder() : m_folder(std::filesystem::current_path()) {}
    ~KeepCurrentFolder() {
        std::error_code ec;
        std::filesystem::current_path(m_folder, ec);
    }
    KeepCurrentFolder(const KeepCurrentFolder&) = delete;
    KeepCurrentFolder& operator=(const KeepCurrentFolder&) = delete;

private:
    std::filesystem::path m_folder;
};

inline std::string readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

inline void writeBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

// Each byte combined with the key, written out independently of the code under test.
inline std::string xorAll(const std::string& s, unsigned char key) {
    std::string out;
    for (unsigned char c : s)
        out += static_cast<char>(c ^ key);
    return out;
}

// A record written with '|' for the field separator, the byte A9.
inline std::string rec(std::string s) {
    std::replace(s.begin(), s.end(), '|', '\xA9');
    return s;
}

// While alive, no file may grow beyond maxBytes: writes past it fail as on a full disk.
// (Permissions cannot make writes fail for root, who runs CI.)
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t maxBytes) {
        m_oldHandler = ::signal(SIGXFSZ, SIG_IGN);
        ::getrlimit(RLIMIT_FSIZE, &m_old);
        rlimit limit = m_old;
        limit.rlim_cur = maxBytes;
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &m_old);
        ::signal(SIGXFSZ, m_oldHandler);
    }

private:
    rlimit m_old{};
    sighandler_t m_oldHandler;
};

// A score-log entry of a student of this (Windows-1252) name: 7 of 9 in 75 seconds.
inline scorelog::ScoreLogRecord logEntryOf(const std::string& name) {
    return {.studentName = name,
            .score = 7,
            .questionCount = 9,
            .percentText = "77",
            .timeText = "75 seconds",
            .finishedAt = {}};
}

} // namespace examo::testing
