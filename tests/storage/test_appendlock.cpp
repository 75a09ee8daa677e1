#include "storage/files.h"
#include "storage/scorelog.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <set>
#include <sys/wait.h>
#include <unistd.h>

using namespace examo;
using examo::testing::readBytes;
using examo::testing::TempFolder;

namespace {

// Another process holding the log's lock until it is told to let go (by a byte on `release`).
class LockHolder {
public:
    explicit LockHolder(const std::string& path) {
        int locked[2];
        EXPECT_EQ(::pipe(locked), 0);
        EXPECT_EQ(::pipe(m_release), 0);
        m_pid = ::fork();
        if (m_pid == 0) {
            const int fd = ::open(path.c_str(), O_RDWR | O_CREAT, 0644);
            struct flock lock {};
            lock.l_type = F_WRLCK;
            lock.l_whence = SEEK_SET;
            const char ok = ::fcntl(fd, F_SETLKW, &lock) == 0 ? 'y' : 'n';
            (void)!::write(locked[1], &ok, 1);
            char byte;
            (void)!::read(m_release[0], &byte, 1);
            ::_exit(0);
        }
        char ok = 'n';
        EXPECT_EQ(::read(locked[0], &ok, 1), 1);
        EXPECT_EQ(ok, 'y');
        ::close(locked[0]);
        ::close(locked[1]);
    }
    void release() {
        if (m_pid <= 0)
            return;
        (void)!::write(m_release[1], "x", 1);
        ::waitpid(m_pid, nullptr, 0);
        m_pid = 0;
    }
    ~LockHolder() {
        release();
        ::close(m_release[0]);
        ::close(m_release[1]);
    }

private:
    pid_t m_pid = 0;
    int m_release[2] = {-1, -1};
};

} // namespace

// A class finishing at the same moment: every entry arrives whole, exactly once.
TEST(ScoreLogLock, EightStudentsAppendingAtOnceLoseNoEntry) {
    TempFolder dir;
    const std::string log = dir.path("quiz.log");
    std::vector<pid_t> students;
    for (int s = 0; s < 8; ++s) {
        const pid_t pid = ::fork();
        if (pid == 0) {
            bool all = true;
            for (int i = 0; i < 500; ++i)
                all = scorelog::AppendEntry(log,
                                            examo::testing::logEntryOf("S" + std::to_string(s) +
                                                                       "-" + std::to_string(i))) &&
                      all;
            ::_exit(all ? 0 : 1);
        }
        students.push_back(pid);
    }
    for (const pid_t pid : students) {
        int status = 0;
        ASSERT_EQ(::waitpid(pid, &status, 0), pid);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    const auto back = scorelog::Read(log);
    ASSERT_EQ(back.error, scorelog::ReadError::Ok);
    std::set<std::string> seen;
    for (const std::string& entry : back.entries) {
        const std::string name = entry.substr(0, entry.find('.'));
        EXPECT_EQ(entry, scorelog::BuildEntry(examo::testing::logEntryOf(name)))
            << "a broken entry";
        EXPECT_TRUE(seen.insert(name).second) << name << " twice";
    }
    EXPECT_EQ(back.entries.size(), 4000u);
    EXPECT_EQ(seen.size(), 4000u);
}

// An append waits for another process's lock and then goes through; a lock held past the
// bound gives a failure the student is told of, and nothing is written.
TEST(ScoreLogLock, AnAppendWaitsForTheLockWithinItsBoundAndOtherwiseFails) {
    TempFolder dir;
    const std::string log = dir.path("quiz.log");
    {
        LockHolder holder(log);
        bool waited = false;
        const files::AppendLocking letGoWhenWaited{.bound = std::chrono::minutes(1), .onBusy = [&] {
                                                       waited = true;
                                                       holder.release();
                                                   }};
        EXPECT_TRUE(files::AppendToFile(log, "first\r\n", letGoWhenWaited));
        EXPECT_TRUE(waited);
    }
    LockHolder holder(log);
    bool waited = false;
    const files::AppendLocking shortBound{.bound = std::chrono::milliseconds(50),
                                          .onBusy = [&] { waited = true; }};
    EXPECT_FALSE(files::AppendToFile(log, "second\r\n", shortBound));
    EXPECT_TRUE(waited);
    EXPECT_EQ(readBytes(log), "first\r\n");
}
