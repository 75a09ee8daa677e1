#include "storage/quizfile.h"
#include "storage/record.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <set>

using namespace examo;
using examo::testing::readBytes;
using examo::testing::rec;
using examo::testing::TempFolder;
using examo::testing::writeBytes;
using examo::testing::xorAll;
using Records = std::vector<std::string>;

namespace {
const std::string kRecord1 = rec("m|Q1|a|b|c|d|none| 2");
const std::string kRecord2 = rec("t|Q2|pic.bmp| 1");
} // namespace

TEST(QuizFile, TwoQuestionsAreFourLinesEndingInTwoLineBreaks) {
    const std::string expected = xorAll(rec("  Math  |Mr. Smith"), 29) + "\r\n" +
                                 xorAll(kRecord1, 29) + "\r\n" + xorAll(kRecord2, 29) + "\r\n\r\n";
    TempFolder dir;
    ASSERT_TRUE(
        quizfile::Write(dir.path("math.exm"), "  Math  ", "Mr. Smith", {kRecord1, kRecord2}));
    EXPECT_EQ(readBytes(dir.path("math.exm")), expected);

    const auto back = quizfile::Read(dir.path("math.exm"));
    ASSERT_TRUE(back.ok());
    EXPECT_EQ(back.contents.title, "Math"); // saved as typed, read back trimmed
    EXPECT_EQ(back.contents.className, "Mr. Smith");
    EXPECT_EQ(back.contents.records, (Records{kRecord1, kRecord2}));
}

TEST(QuizFile, OnlyCrLfPairsEndALineAndEmptyLinesAreSkipped) {
    // Bytes 16 and 23 scramble to CR and LF; alone they belong to the record.
    const std::string odd = rec("t|a\x10") + "b\x17" + rec("c\rd\n|none| 0");
    const std::string bytes = xorAll(rec("T|C"), 29) + "\r\n\r\n" + xorAll(odd, 29) +
                              "\r\n\r\n\r\n" + xorAll(kRecord2, 29); // no final line break
    const auto r = quizfile::Decode(bytes);
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(r.contents.records, (Records{odd, kRecord2}));
}

TEST(QuizFile, FilesThatAreNoQuizGiveAnErrorNotACrash) {
    Records hundred(100, kRecord2);
    EXPECT_EQ(quizfile::Decode(quizfile::Encode("T", "C", hundred)).contents.records.size(), 100u);
    hundred.push_back(kRecord2);
    const std::pair<std::string, quizfile::ReadError> cases[] = {
        {quizfile::Encode("T", "C", hundred), quizfile::ReadError::TooManyQuestions},
        {"", quizfile::ReadError::Empty},
        {"\r\n", quizfile::ReadError::NoSeparator},
        {xorAll("Title only", 29) + "\r\n" + xorAll(kRecord1, 29),
         quizfile::ReadError::NoSeparator},
        {std::string("\x89PNG\r\n\x1a\n\0\0\0", 11), quizfile::ReadError::NotText},
    };
    for (const auto& [bytes, error] : cases) {
        const auto r = quizfile::Decode(bytes);
        EXPECT_EQ(r.error, error);
        EXPECT_TRUE(r.contents.records.empty());
    }
    TempFolder dir;
    EXPECT_EQ(quizfile::Read(dir.path("missing.exm")).error, quizfile::ReadError::Missing);
    EXPECT_EQ(quizfile::Read(dir.folder()).error, quizfile::ReadError::Unreadable);
    // A huge file is refused by its size, without being read.
    writeBytes(dir.path("huge.exm"), "");
    std::filesystem::resize_file(dir.path("huge.exm"), quizfile::kMaxFileBytes + 1);
    EXPECT_EQ(quizfile::Read(dir.path("huge.exm")).error, quizfile::ReadError::TooLarge);
}

TEST(QuizFile, ASavedQuizKeepsItsPermissionsAndAFailedSaveLeavesTheOldOne) {
    namespace fs = std::filesystem;
    TempFolder dir;
    const auto path = dir.path("math.exm");
    const auto mode = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
    writeBytes(path, "old");
    fs::permissions(path, mode);
    ASSERT_TRUE(quizfile::Write(path, "Old", "Class", {kRecord2}));
    EXPECT_EQ(fs::status(path).permissions(), mode); // 0640, not the new file's 0644
    const auto before = readBytes(path);
    {
        examo::testing::FileSizeLimit limit(16);
        EXPECT_FALSE(quizfile::Write(path, "New", "Class", Records(50, kRecord1)));
    }
    EXPECT_EQ(readBytes(path), before);
    // No temporary file is left behind.
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.folder()), fs::directory_iterator()), 1);
    EXPECT_FALSE(quizfile::Write(dir.path("no/such/folder/q.exm"), "T", "C", {}));
}

// The sample quiz shipped with the player, with a medium of every kind beside it.
TEST(SampleQuiz, EveryQuestionIsWholeAndItsMediumLiesBesideTheQuiz) {
    namespace fs = std::filesystem;
    const fs::path samples = EXAMO_SAMPLES_DIR;
    const auto quiz = quizfile::Read((samples / "sample.exm").string());
    ASSERT_TRUE(quiz.ok()) << quizfile::Describe(quiz.error);
    std::set<std::string> extensions;
    for (const auto& text : quiz.contents.records) {
        const auto q = record::ParseQuestion(text).question;
        ASSERT_TRUE(q) << text;
        const bool multiple = q->kind == record::QuestionKind::MultipleChoice;
        EXPECT_LT(q->correct, multiple ? 4 : 2) << text;
        // Exactly the fields of its kind: a stray separator would shift every later field.
        EXPECT_EQ(record::SplitFields(text).size(),
                  std::size_t(multiple ? record::kMultipleChoiceFields : record::kTrueFalseFields));
        // A bare name; a second full stop would show in the extensions below.
        EXPECT_EQ(fs::path(q->media).filename().string(), q->media);
        std::error_code error;
        EXPECT_GT(fs::file_size(samples / q->media, error), 0u) << q->media;
        extensions.insert(q->media.substr(q->media.find('.') + 1));
    }
    EXPECT_EQ(extensions,
              (std::set<std::string>{"avi", "bmp", "jpg", "mid", "mp3", "mpg", "wav", "wmf"}));
}
