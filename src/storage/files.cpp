#include "files.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <random>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace examo::files {

namespace {

class Fd {
public:
    explicit Fd(int fd) : m_fd(fd) {}
    ~Fd() {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return m_fd; }
    // Closes now and tells whether the close succeeded (a full disk may show only here).
    bool close() {
        const int fd = m_fd;
        m_fd = -1;
        return fd >= 0 && ::close(fd) == 0;
    }

private:
    int m_fd;
};

bool writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

// A save in progress writes to a hidden file beside its target named after the target, this
// machine and the saving process, so that a later save can tell a file left by a save that was
// killed (or lost its machine) from one that is still being written.
std::string tempPrefix(const std::string& fileName) {
    return "." + fileName + ".saving-";
}

std::string hostName() {
    char name[256] = {};
    if (::gethostname(name, sizeof name - 1) != 0)
        return "host";
    std::string host(name);
    // The name is part of a file name: no separators.
    for (char& c : host)
        if (c == '/' || c == '-')
            c = '_';
    return host;
}

// Removes what killed saves of this file left: files of processes of this machine that are
// gone, and any left for a day, whoever wrote them.
void removeStaleTemps(const std::filesystem::path& folder, const std::string& fileName) {
    const std::string prefix = tempPrefix(fileName);
    const std::string here = hostName();
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(folder, ec)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind(prefix, 0) != 0)
            continue;
        // The rest is HOST-PID-NUMBER.
        const std::string rest = name.substr(prefix.size());
        const auto firstDash = rest.find('-');
        const auto lastDash = rest.rfind('-');
        if (firstDash == std::string::npos || lastDash == firstDash)
            continue;
        struct stat st {};
        if (::lstat(entry.path().c_str(), &st) != 0 || !S_ISREG(st.st_mode))
            continue;
        const bool old = std::time(nullptr) - st.st_mtime > 24 * 60 * 60;
        const pid_t pid = static_cast<pid_t>(
            std::strtol(rest.substr(firstDash + 1, lastDash - firstDash - 1).c_str(), nullptr, 10));
        const bool ownerGone =
            rest.substr(0, firstDash) == here && pid > 0 && ::kill(pid, 0) != 0 && errno == ESRCH;
        if (old || ownerGone)
            ::unlink(entry.path().c_str());
    }
}

// Makes a rename in the folder survive a power cut: until the folder itself is on disk, the
// old name may come back.
bool syncFolder(const std::filesystem::path& folder) {
    Fd fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    return fd.get() >= 0 && ::fsync(fd.get()) == 0;
}

// Waits for the write lock on the whole file, up to the bound. Locks that the file system does
// not offer (a share without a lock service) leave the append to O_APPEND alone, as before.
bool lockForAppend(int fd, const AppendLocking& locking) {
    const auto deadline = std::chrono::steady_clock::now() + locking.bound;
    bool toldBusy = false;
    while (true) {
        struct flock lock {};
        lock.l_type = F_WRLCK;
        lock.l_whence = SEEK_SET;
        if (::fcntl(fd, F_SETLK, &lock) == 0)
            return true;
        if (errno == EINTR)
            continue;
        if (errno != EACCES && errno != EAGAIN)
            return errno == ENOLCK || errno == EINVAL || errno == EOPNOTSUPP;
        if (!toldBusy && locking.onBusy) {
            toldBusy = true;
            locking.onBusy();
        }
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

} // namespace

ReadResult ReadWholeFile(const std::string& path, std::size_t maxBytes) {
    ReadResult result;
    // Without O_NONBLOCK a named pipe would block here until someone writes to it.
    Fd fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (fd.get() < 0) {
        result.status = errno == ENOENT ? ReadStatus::Missing : ReadStatus::Unreadable;
        return result;
    }
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode)) {
        result.status = ReadStatus::Unreadable;
        return result;
    }
    if (static_cast<std::size_t>(st.st_size) > maxBytes) {
        result.status = ReadStatus::TooLarge;
        return result;
    }
    char buffer[65536];
    while (true) {
        const ssize_t n = ::read(fd.get(), buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            result.status = ReadStatus::Unreadable;
            result.bytes.clear();
            return result;
        }
        if (n == 0)
            break;
        result.bytes.append(buffer, static_cast<std::size_t>(n));
        // The file may have grown since it was measured.
        if (result.bytes.size() > maxBytes) {
            result.status = ReadStatus::TooLarge;
            result.bytes.clear();
            return result;
        }
    }
    return result;
}

std::string ReadHead(const std::string& path, std::size_t bytes) {
    Fd fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    struct stat st {};
    if (fd.get() < 0 || ::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode))
        return {};
    std::string head(bytes, '\0');
    std::size_t got = 0;
    while (got < bytes) {
        const ssize_t n = ::read(fd.get(), head.data() + got, bytes - got);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        got += static_cast<std::size_t>(n);
    }
    head.resize(got);
    return head;
}

bool WriteFileReplacing(const std::string& path, std::string_view bytes) {
    const std::filesystem::path target(path);
    std::filesystem::path folder = target.parent_path();
    if (folder.empty())
        folder = ".";
    const std::string fileName = target.filename().string();
    removeStaleTemps(folder, fileName);
    std::random_device rd;
    const std::filesystem::path temp =
        folder / (tempPrefix(fileName) + hostName() + "-" + std::to_string(::getpid()) + "-" +
                  std::to_string(rd() % 1000000));
    Fd fd(::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644));
    if (fd.get() < 0)
        return false;
    // A replaced file keeps the permissions it had.
    struct stat old {};
    if (::stat(path.c_str(), &old) == 0)
        ::fchmod(fd.get(), old.st_mode & 07777);
    const bool written = writeAll(fd.get(), bytes) && ::fsync(fd.get()) == 0;
    if (!fd.close() || !written || ::rename(temp.c_str(), path.c_str()) != 0) {
        ::unlink(temp.c_str());
        return false;
    }
    return syncFolder(folder);
}

bool AppendToFile(const std::string& path, std::string_view bytes, const AppendLocking& locking) {
    // A named pipe in the log's place must neither block the open nor take the entry.
    Fd fd(::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_NONBLOCK | O_CLOEXEC, 0644));
    if (fd.get() < 0)
        return false;
    struct stat st {};
    if (::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode))
        return false;
    // O_APPEND alone is atomic only on a local disk: on a network share two students finishing
    // at once could write over each other's entry. The lock, which NFS and SMB carry to the
    // server, makes each append see the end the one before it left. Closing releases it.
    if (!lockForAppend(fd.get(), locking))
        return false;
    const bool written = writeAll(fd.get(), bytes);
    return fd.close() && written;
}

std::vector<std::string> SplitCrLfLines(std::string_view bytes) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < bytes.size()) {
        const auto end = bytes.find("\r\n", start);
        if (end == std::string_view::npos) {
            lines.emplace_back(bytes.substr(start));
            break;
        }
        lines.emplace_back(bytes.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

std::string PathNamedOn(std::string_view commandLine) {
    const std::string first(commandLine.substr(0, commandLine.find("\r\n")));
    if (first.empty())
        return {};
    std::error_code ec;
    const std::filesystem::path absolute = std::filesystem::absolute(first, ec);
    return ec ? first : absolute.string();
}

} // namespace examo::files
