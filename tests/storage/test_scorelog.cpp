#include "fakes/fakeclock.h"
#include "storage/scorelog.h"
#include "test_support.h"

#include <gtest/gtest.h>

using namespace examo;
using examo::testing::readBytes;
using examo::testing::TempFolder;
using examo::testing::xorAll;

namespace {

scorelog::ScoreLogRecord annsQuiz() {
    scorelog::ScoreLogRecord r;
    r.studentName = "Ann";
    r.score = 7;
    r.questionCount = 9;
    r.percentText = scorelog::PercentText(7, 9);
    r.timeText = scorelog::TimeSpentText(75);
    r.finishedAt = fakes::FakeClock().now(); // Sunday, Dec 6 2026, 09:41
    return r;
}

const std::string kAnnsEntry = "Ann.    Score 7 of 9.  77%   Time spent 1 minutes and 15 seconds."
                               "  Test date:  Sunday, Dec 6 2026  09:41 AM\r\n";

} // namespace

TEST(ScoreLog, TheEntryIsBuiltFromItsPiecesInOrder) {
    EXPECT_EQ(scorelog::BuildEntry(annsQuiz()), kAnnsEntry);

    auto all = annsQuiz();
    all.score = 3;
    all.questionCount = 3;
    all.percentText = scorelog::PercentText(3, 3);
    all.timeText = scorelog::TimeSpentText(45);
    EXPECT_NE(scorelog::BuildEntry(all).find("100%   Time spent 45 seconds."), std::string::npos);
}

TEST(ScoreLog, PercentAndTimeTexts) {
    EXPECT_EQ(scorelog::PercentText(2, 3), "66");
    EXPECT_EQ(scorelog::PercentText(29, 50), "58"); // 57.999... in floating point
    EXPECT_EQ(scorelog::PercentText(0, 5), "0");
    EXPECT_EQ(scorelog::PercentText(5, 5), "100");
    EXPECT_EQ(scorelog::PercentText(0, 0), "0");
    EXPECT_EQ(scorelog::TimeSpentText(45), "45 seconds");
    EXPECT_EQ(scorelog::TimeSpentText(60), "60 seconds");
    EXPECT_EQ(scorelog::TimeSpentText(61), "1 minutes and 1 seconds");
    EXPECT_EQ(scorelog::TimeSpentText(3725), "62 minutes and 5 seconds");
}

TEST(ScoreLog, TheLogLiesBesideTheQuizWithItsName) {
    EXPECT_EQ(scorelog::ScoreLogPath("/home/ann/Quizzes/math.exm"), "/home/ann/Quizzes/math.log");
    EXPECT_EQ(scorelog::ScoreLogPath("/q/MATH.EXM"), "/q/MATH.log");
}

TEST(ScoreLog, EntriesAreAppendedScrambledOneLineEachInOrder) {
    TempFolder dir;
    const auto log = dir.path("math.log");
    auto ben = annsQuiz();
    ben.studentName = "Ben";
    ASSERT_TRUE(scorelog::AppendEntry(log, annsQuiz()));
    ASSERT_TRUE(scorelog::AppendEntry(log, ben));

    std::string bensEntry = kAnnsEntry;
    bensEntry.replace(0, 3, "Ben");
    // The entry's own CR LF is scrambled with it; the real line break follows unscrambled.
    EXPECT_EQ(readBytes(log), xorAll(kAnnsEntry, 197) + "\r\n" + xorAll(bensEntry, 197) + "\r\n");

    const auto back = scorelog::Read(log);
    ASSERT_EQ(back.error, scorelog::ReadError::Ok);
    EXPECT_EQ(back.entries, (std::vector<std::string>{kAnnsEntry, bensEntry}));
}

TEST(ScoreLog, NamesWhoseLettersScrambleToLineBreaksComeBackIntact) {
    TempFolder dir;
    const auto log = dir.path("q.log");
    for (const std::string name : {"\xC8ric", "\xCFsabel", "abc"}) { // Èric, Ïsabel
        auto r = annsQuiz();
        r.studentName = name;
        ASSERT_TRUE(scorelog::AppendEntry(log, r));
    }
    const auto back = scorelog::Read(log);
    ASSERT_EQ(back.entries.size(), 3u);
    EXPECT_EQ(back.entries[0].substr(0, 5), "\xC8ric.");
    EXPECT_EQ(back.entries[1].substr(0, 7), "\xCFsabel.");
    EXPECT_EQ(back.entries[2].substr(0, 4), "abc.");
}

TEST(ScoreLog, AFailedAppendIsReported) {
    TempFolder dir;
    EXPECT_FALSE(scorelog::AppendEntry(dir.path("no/such/folder/q.log"), annsQuiz()));
    EXPECT_FALSE(scorelog::AppendEntry(dir.folder(), annsQuiz()));
    examo::testing::FileSizeLimit limit(10);
    EXPECT_FALSE(scorelog::AppendEntry(dir.path("full.log"), annsQuiz()));
}

TEST(ScoreLog, ReadingMissingAndEmptyLogs) {
    TempFolder dir;
    EXPECT_EQ(scorelog::Read(dir.path("none.log")).error, scorelog::ReadError::Missing);
    examo::testing::writeBytes(dir.path("empty.log"), "");
    const auto empty = scorelog::Read(dir.path("empty.log"));
    EXPECT_EQ(empty.error, scorelog::ReadError::Ok);
    EXPECT_TRUE(empty.entries.empty());
}
