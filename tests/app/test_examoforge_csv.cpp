#include "../storage/test_support.h"
#include "storage/scorelog.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <cstring>
#include <string>
#include <vector>

extern char** environ;

using examo::testing::readBytes;
using examo::testing::TempFolder;

namespace {

struct Outcome {
    int status = -1; // the exit status, or -1 when the program did not exit by itself
    std::string errors;
};

// Runs the real program with no display of any kind, its standard error into a file.
Outcome runExamoForge(const std::vector<std::string>& args, const TempFolder& dir) {
    std::vector<std::string> env;
    for (char** e = environ; *e != nullptr; ++e) {
        const std::string var = *e;
        if (!var.starts_with("DISPLAY=") && !var.starts_with("WAYLAND_DISPLAY=") &&
            !var.starts_with("QT_QPA_PLATFORM="))
            env.push_back(var);
    }
    std::vector<char*> envp;
    for (auto& var : env)
        envp.push_back(var.data());
    envp.push_back(nullptr);
    std::vector<std::string> all = {EXAMO_FORGE_PROGRAM};
    all.insert(all.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (auto& arg : all)
        argv.push_back(arg.data());
    argv.push_back(nullptr);

    const std::string errFile = dir.path("stderr.txt");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 2, errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0600);
    pid_t pid = 0;
    Outcome outcome;
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data()) == 0) {
        int status = 0;
        if (waitpid(pid, &status, 0) == pid && WIFEXITED(status))
            outcome.status = WEXITSTATUS(status);
    }
    posix_spawn_file_actions_destroy(&actions);
    outcome.errors = readBytes(errFile);
    return outcome;
}

} // namespace

TEST(ExamoForgeCsvExport, ExportsWithNoDisplayAndTellsByItsExitStatus) {
    TempFolder dir;
    examo::scorelog::ScoreLogRecord r{.studentName = "Ann",
                                      .score = 7,
                                      .questionCount = 9,
                                      .percentText = "77",
                                      .timeText = "45 seconds",
                                      .finishedAt = {}};
    r.finishedAt.weekdayName = "Saturday";
    r.finishedAt.monthShortName = "Jan";
    r.finishedAt.hour = 14;
    r.finishedAt.minute = 5;
    ASSERT_TRUE(examo::scorelog::AppendEntry(dir.path("math.log"), r));
    const std::string out = dir.path("scores.csv");

    Outcome done = runExamoForge({"--export-csv", out, dir.path("math.log")}, dir);
    EXPECT_EQ(done.status, 0) << done.errors;
    EXPECT_EQ(done.errors, "");
    EXPECT_EQ(readBytes(out), "\xEF\xBB\xBFLog,Name,Score,Questions,Percent,Seconds,Date,Time\r\n"
                              "math,Ann,7,9,77,45,2000-01-01,14:05\r\n");

    const Outcome missing =
        runExamoForge({"--export-csv", out, dir.path("math.log"), dir.path("gone.log")}, dir);
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.errors,
              "ExamoForge: The score log " + dir.path("gone.log") + " cannot be found.\n");

    const Outcome usage = runExamoForge({"--export-csv", out}, dir);
    EXPECT_EQ(usage.status, 2);
    EXPECT_EQ(usage.errors, "Usage: ExamoForge --export-csv OUT.csv LOG...\n");
}
