#include "fakes/fakeclock.h"
#include "storage/files.h"
#include "storage/quizfile.h"
#include "storage/scorelog.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

using namespace examo;
using examo::testing::readBytes;
using examo::testing::TempFolder;
using examo::testing::xorAll;

namespace {

scorelog::ScoreLogRecord quiz(const std::string& name, int score, int count, long long seconds) {
    return {.studentName = name,
            .score = score,
            .questionCount = count,
            .percentText = scorelog::PercentText(score, count),
            .timeText = scorelog::TimeSpentText(seconds),
            .finishedAt = fakes::FakeClock().now()}; // Sunday, Dec 6 2026, 09:41
}

const std::string kDate = "  Test date:  Sunday, Dec 6 2026  09:41 AM\r\n";
const std::string kAnn =
    "Ann.    Score 7 of 9.  77%   Time spent 1 minutes and 15 seconds." + kDate;
const std::string kBob = "Bob.    Score 29 of 50.  58%   Time spent 45 seconds." + kDate;

} // namespace

TEST(ScoreLog, PercentAndTimeTexts) {
    const std::tuple<int, int, const char*> percents[] = {
        {2, 3, "66"}, {29, 50, "58"}, {0, 5, "0"}, {5, 5, "100"}, {0, 0, "0"}};
    for (const auto& [score, count, text] : percents)
        EXPECT_EQ(scorelog::PercentText(score, count), text) << score << " of " << count;
    EXPECT_EQ(scorelog::TimeSpentText(60), "60 seconds");
    EXPECT_EQ(scorelog::TimeSpentText(61), "1 minutes and 1 seconds");
    EXPECT_EQ(scorelog::TimeSpentText(3725), "62 minutes and 5 seconds");
}

TEST(ScoreLog, TheLogLiesBesideTheQuizNamedUpToTheFileNamesFirstDot) {
    const std::pair<const char*, const char*> cases[] = {
        {"/q/MATH.EXM", "/q/MATH.log"},
        {"/tmp/x/a.b/c/quiz.exm", "/tmp/x/a.b/c/quiz.log"},
        {"/home/anne.smith/my.quiz.exm", "/home/anne.smith/my.log"},
        {"my.quiz.exm", "my.log"},
        {"/a.b/noext", "/a.b/log"}};
    for (const auto& [quiz, log] : cases)
        EXPECT_EQ(scorelog::ScoreLogPath(quiz), log) << quiz;
}

TEST(ScoreLog, TheCommandLinesPathIsMadeAbsoluteBeforeAnyRuleReadsIt) {
    const auto here = std::filesystem::current_path().string();
    EXPECT_EQ(files::PathNamedOn("math.exm\r\nsecond"), here + "/math.exm");
    EXPECT_EQ(files::PathNamedOn("/a.b/math.exm"), "/a.b/math.exm");
    EXPECT_EQ(files::PathNamedOn(""), "");
}

TEST(ScoreLog, EntriesAreAppendedScrambledOneLineEachInOrder) {
    TempFolder dir;
    const auto log = dir.path("math.log");
    EXPECT_EQ(scorelog::Read(log).error, scorelog::ReadError::Missing);
    ASSERT_TRUE(scorelog::AppendEntry(log, quiz("Ann", 7, 9, 75)));
    ASSERT_TRUE(scorelog::AppendEntry(log, quiz("Bob", 29, 50, 45)));
    // È and Ï scramble to CR and LF: the entry must still come back whole, even when the
    // pair scrambles into a real line break, at the start of the entry or inside it.
    ASSERT_TRUE(scorelog::AppendEntry(log, quiz("\xC8ric \xCFsa", 7, 9, 75)));
    ASSERT_TRUE(scorelog::AppendEntry(log, quiz("\xC8\xCF", 7, 9, 75)));
    ASSERT_TRUE(scorelog::AppendEntry(log, quiz("M\xC8\xCF\xC8\xCFo", 7, 9, 75)));
    // The entry's own CR LF is scrambled with it; the real line break follows unscrambled.
    const std::string kEric = "\xC8ric \xCFsa" + kAnn.substr(3);
    const std::string kPair = "\xC8\xCF" + kAnn.substr(3);
    const std::string kPairs = "M\xC8\xCF\xC8\xCFo" + kAnn.substr(3);
    EXPECT_EQ(readBytes(log), xorAll(kAnn, 197) + "\r\n" + xorAll(kBob, 197) + "\r\n" +
                                  xorAll(kEric, 197) + "\r\n" + xorAll(kPair, 197) + "\r\n" +
                                  xorAll(kPairs, 197) + "\r\n");

    const auto back = scorelog::Read(log);
    ASSERT_EQ(back.error, scorelog::ReadError::Ok);
    EXPECT_EQ(back.entries, (std::vector<std::string>{kAnn, kBob, kEric, kPair, kPairs}));
}

TEST(ScoreLog, AFailedAppendIsReported) {
    TempFolder dir;
    EXPECT_FALSE(scorelog::AppendEntry(dir.path("no/such/folder/q.log"), quiz("Ann", 7, 9, 75)));
    examo::testing::FileSizeLimit limit(10);
    EXPECT_FALSE(scorelog::AppendEntry(dir.path("full.log"), quiz("Ann", 7, 9, 75)));
}

// A named pipe or a device where a quiz or a log is expected must be refused at once: an
// open that waited for a writer would freeze the window for good.
TEST(NonFiles, PipesAndDevicesAreRefusedWithoutBlocking) {
    TempFolder dir;
    const std::string lonely = dir.path("lonely.exm");
    const std::string listened = dir.path("listened.log");
    ASSERT_EQ(::mkfifo(lonely.c_str(), 0600), 0);
    ASSERT_EQ(::mkfifo(listened.c_str(), 0600), 0);
    // Someone reads this pipe, so an append could open it and would be taken by the reader.
    const int reader = ::open(listened.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    for (const std::string& path : {lonely, listened, std::string("/dev/null")}) {
        EXPECT_EQ(quizfile::Read(path).error, quizfile::ReadError::Unreadable) << path;
        EXPECT_EQ(scorelog::Read(path).error, scorelog::ReadError::Unreadable) << path;
        EXPECT_FALSE(scorelog::AppendEntry(path, quiz("Ann", 7, 9, 75))) << path;
    }
    char byte;
    EXPECT_LE(::read(reader, &byte, 1), 0) << "an entry went into a pipe";
    ::close(reader);
}
