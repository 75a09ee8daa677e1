#include "storage/modcrypt.h"
#include "storage/quizfile.h"
#include "test_support.h"

#include <gtest/gtest.h>

using namespace examo;
using examo::testing::readBytes;
using examo::testing::TempFolder;
using examo::testing::writeBytes;
using examo::testing::xorAll;

namespace {

const std::string kRecord1 = "m\xA9Q1\xA9"
                             "a\xA9"
                             "b\xA9"
                             "c\xA9"
                             "d\xA9none\xA9 2";
const std::string kRecord2 = "t\xA9Q2\xA9pic.bmp\xA9 1";

} // namespace

TEST(Scrambling, EveryByteComesBackThroughBothTransforms) {
    std::string all;
    for (int i = 0; i < 256; ++i)
        all += static_cast<char>(i);
    const auto quiz = modCrypt::ScrambleQuizText(all);
    const auto log = modCrypt::ScrambleLogText(all);
    ASSERT_EQ(quiz.size(), 256u);
    ASSERT_EQ(log.size(), 256u);
    EXPECT_EQ(modCrypt::ScrambleQuizText(quiz), all);
    EXPECT_EQ(modCrypt::ScrambleLogText(log), all);
    for (int i = 0; i < 256; ++i) {
        EXPECT_EQ(static_cast<unsigned char>(quiz[i]), i ^ 29);
        EXPECT_EQ(static_cast<unsigned char>(log[i]), i ^ 197);
    }
}

TEST(QuizFile, TwoQuestionsAreFourLinesEndingInTwoLineBreaks) {
    const std::string expected = xorAll("  Math  \xA9Mr. Smith", 29) + "\r\n" +
                                 xorAll(kRecord1, 29) + "\r\n" + xorAll(kRecord2, 29) + "\r\n\r\n";
    EXPECT_EQ(quizfile::Encode("  Math  ", "Mr. Smith", {kRecord1, kRecord2}), expected);

    TempFolder dir;
    ASSERT_TRUE(
        quizfile::Write(dir.path("math.exm"), "  Math  ", "Mr. Smith", {kRecord1, kRecord2}));
    EXPECT_EQ(readBytes(dir.path("math.exm")), expected);

    const auto back = quizfile::Read(dir.path("math.exm"));
    ASSERT_TRUE(back.ok());
    EXPECT_EQ(back.contents.title, "Math"); // saved as typed, read back trimmed
    EXPECT_EQ(back.contents.className, "Mr. Smith");
    EXPECT_EQ(back.contents.records, (std::vector<std::string>{kRecord1, kRecord2}));
}

TEST(QuizFile, EmptyLinesAnywhereAfterTheHeaderAreSkipped) {
    const std::string bytes = xorAll("T\xA9"
                                     "C",
                                     29) +
                              "\r\n\r\n" + xorAll(kRecord1, 29) + "\r\n\r\n\r\n" +
                              xorAll(kRecord2, 29); // no final line break either
    const auto r = quizfile::Decode(bytes);
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(r.contents.records, (std::vector<std::string>{kRecord1, kRecord2}));
}

TEST(QuizFile, OnlyCrLfPairsEndALine) {
    // Bytes 16 and 23 scramble to CR and LF; alone they belong to the record.
    const std::string odd = "t\xA9"
                            "a\x10"
                            "b\x17"
                            "c\r"
                            "d\n\xA9none\xA9 0";
    TempFolder dir;
    ASSERT_TRUE(quizfile::Write(dir.path("q.exm"), "T", "C", {odd}));
    const auto r = quizfile::Read(dir.path("q.exm"));
    ASSERT_TRUE(r.ok());
    ASSERT_EQ(r.contents.records.size(), 1u);
    EXPECT_EQ(r.contents.records[0], odd);
}

TEST(QuizFile, AHundredQuestionsLoadAHundredAndOneAreRefused) {
    std::vector<std::string> records(100, kRecord2);
    auto r = quizfile::Decode(quizfile::Encode("T", "C", records));
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(r.contents.records.size(), 100u);
    records.push_back(kRecord2);
    r = quizfile::Decode(quizfile::Encode("T", "C", records));
    EXPECT_EQ(r.error, quizfile::ReadError::TooManyQuestions);
    EXPECT_TRUE(r.contents.records.empty());
}

TEST(QuizFile, FilesThatAreNoQuizGiveAnErrorNotACrash) {
    EXPECT_EQ(quizfile::Decode("").error, quizfile::ReadError::Empty);
    EXPECT_EQ(quizfile::Decode("\r\n").error, quizfile::ReadError::NoSeparator);
    EXPECT_EQ(quizfile::Decode(xorAll("Title only", 29) + "\r\n" + xorAll(kRecord1, 29)).error,
              quizfile::ReadError::NoSeparator);
    EXPECT_EQ(quizfile::Decode(std::string("\x89PNG\r\n\x1a\n\0\0\0", 11)).error,
              quizfile::ReadError::NotText);

    TempFolder dir;
    EXPECT_EQ(quizfile::Read(dir.path("missing.exm")).error, quizfile::ReadError::Missing);
    EXPECT_EQ(quizfile::Read(dir.folder()).error, quizfile::ReadError::Unreadable);

    // A huge file is refused by its size, without being read.
    const auto huge = dir.path("huge.exm");
    writeBytes(huge, "");
    std::filesystem::resize_file(huge, quizfile::kMaxFileBytes + 1);
    EXPECT_EQ(quizfile::Read(huge).error, quizfile::ReadError::TooLarge);
    EXPECT_FALSE(quizfile::Describe(quizfile::ReadError::TooLarge).empty());
}

TEST(QuizFile, ASavedQuizKeepsItsPermissionsAndAFailedSaveLeavesTheOldOne) {
    TempFolder dir;
    const auto path = dir.path("math.exm");
    namespace fs = std::filesystem;
    writeBytes(path, "old");
    fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    ASSERT_TRUE(quizfile::Write(path, "Old", "Class", {kRecord2}));
    EXPECT_EQ(fs::status(path).permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read); // 0640
    const auto before = readBytes(path);
    {
        examo::testing::FileSizeLimit limit(16);
        EXPECT_FALSE(quizfile::Write(path, "New", "Class", std::vector<std::string>(50, kRecord1)));
    }
    EXPECT_EQ(readBytes(path), before);
    // No temporary file is left behind.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.folder()),
                            std::filesystem::directory_iterator()),
              1);
    EXPECT_FALSE(quizfile::Write(dir.path("no/such/folder/q.exm"), "T", "C", {}));
}
