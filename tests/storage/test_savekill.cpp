#include "savevictim.h"
#include "storage/quizfile.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <spawn.h>
#include <string>
#include <sys/wait.h>

extern char** environ;

using namespace examo;
using examo::testing::bigQuiz;
using examo::testing::readBytes;
using examo::testing::TempFolder;

namespace {

struct VictimRun {
    int status = 0;
    std::string output;
};

// Runs the victim saving `version` into `path`, killed at its Nth moment (0: never).
VictimRun saveIn(const std::string& path, int version, long n) {
    const std::string out = path + ".out";
    const std::string version_ = std::to_string(version), n_ = std::to_string(n);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    char* argv[] = {const_cast<char*>(EXAMO_SAVE_VICTIM), const_cast<char*>(path.c_str()),
                    const_cast<char*>(version_.c_str()), const_cast<char*>(n_.c_str()), nullptr};
    pid_t pid = 0;
    VictimRun run;
    EXPECT_EQ(posix_spawn(&pid, EXAMO_SAVE_VICTIM, &actions, nullptr, argv, environ), 0);
    posix_spawn_file_actions_destroy(&actions);
    EXPECT_EQ(::waitpid(pid, &run.status, 0), pid);
    run.output = readBytes(out);
    std::filesystem::remove(out);
    return run;
}

std::string bytesOf(int version) {
    return quizfile::Encode("Farm", "Grade 3", bigQuiz(version));
}

} // namespace

// A save killed at any moment (before, inside and after its write, its fsync and its rename)
// leaves the complete old quiz or the complete new one, never a mix or nothing; what it left
// beside the quiz never hinders the next save, which clears it away.
TEST(SaveUnderKill, TheQuizIsAlwaysWholeAndTheNextSaveClearsWhatAKilledOneLeft) {
    TempFolder dir;
    const std::string quiz = dir.path("farm.exm");
    const VictimRun whole = saveIn(quiz, 2, 0);
    ASSERT_TRUE(WIFEXITED(whole.status) && WEXITSTATUS(whole.status) == 0);
    ASSERT_EQ(readBytes(quiz), bytesOf(2));
    const long moments = std::stol(whole.output);
    ASSERT_GE(moments, 60) << "the save should make many calls to kill it in";

    const std::string oldQuiz = bytesOf(1), newQuiz = bytesOf(2), nextQuiz = bytesOf(3);
    int keptOld = 0, gotNew = 0;
    for (int i = 0; i < 100; ++i) {
        // Spread over every moment, the first and the last included, and once past the end.
        const long n = 1 + i * moments / 99;
        ASSERT_TRUE(quizfile::Write(quiz, "Farm", "Grade 3", bigQuiz(1)));
        const VictimRun killed = saveIn(quiz, 2, n);
        if (n <= moments) {
            EXPECT_TRUE(WIFSIGNALED(killed.status) && WTERMSIG(killed.status) == SIGKILL) << n;
        }
        const std::string after = readBytes(quiz);
        EXPECT_TRUE(after == oldQuiz || after == newQuiz) << "killed at moment " << n;
        (after == oldQuiz ? keptOld : gotNew)++;

        ASSERT_TRUE(quizfile::Write(quiz, "Farm", "Grade 3", bigQuiz(3))) << n;
        EXPECT_EQ(readBytes(quiz), nextQuiz) << n;
        std::vector<std::string> left;
        for (const auto& entry : std::filesystem::directory_iterator(dir.folder()))
            left.push_back(entry.path().filename().string());
        EXPECT_EQ(left, std::vector<std::string>{"farm.exm"}) << "after moment " << n;
    }
    EXPECT_GT(keptOld, 50);
    EXPECT_GT(gotNew, 0);
}
