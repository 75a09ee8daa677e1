#include "storage/quizfile.h"
#include "storage/record.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <set>
#include <string>

namespace fs = std::filesystem;
using namespace examo;

namespace {

const fs::path kSamples = EXAMO_SAMPLES_DIR;

quizfile::Contents readSample() {
    const auto result = quizfile::Read((kSamples / "sample.exm").string());
    EXPECT_TRUE(result.ok()) << quizfile::Describe(result.error);
    return result.contents;
}

} // namespace

TEST(SampleQuiz, HasItsTitleAndClass) {
    const auto quiz = readSample();
    EXPECT_EQ(quiz.title, "Animals of the Farm");
    EXPECT_EQ(quiz.className, "Grade 3 - Ms. Rivera");
    EXPECT_GE(quiz.records.size(), 6u);
    EXPECT_LE(quiz.records.size(), 10u);
}

TEST(SampleQuiz, EveryQuestionParsesWithAnAnswerInRange) {
    std::set<record::QuestionKind> kinds;
    for (const auto& text : readSample().records) {
        const auto parsed = record::ParseQuestion(text);
        ASSERT_TRUE(parsed.question.has_value()) << text;
        const auto& q = *parsed.question;
        kinds.insert(q.kind);
        EXPECT_FALSE(q.text.empty());
        const int answers = q.kind == record::QuestionKind::MultipleChoice ? 4 : 2;
        EXPECT_GE(q.correct, 0) << q.text;
        EXPECT_LT(q.correct, answers) << q.text;
        // Exactly the fields of its kind: a stray separator would shift every later field.
        const auto fields = record::SplitFields(text);
        EXPECT_EQ(fields.size(), q.kind == record::QuestionKind::MultipleChoice
                                     ? std::size_t(record::kMultipleChoiceFields)
                                     : std::size_t(record::kTrueFalseFields))
            << text;
    }
    EXPECT_EQ(kinds.size(), 2u);
}

TEST(SampleQuiz, MediaLieBesideTheQuizAndCoverEveryKind) {
    std::set<std::string> extensions;
    for (const auto& text : readSample().records) {
        const auto parsed = record::ParseQuestion(text);
        ASSERT_TRUE(parsed.question.has_value());
        const std::string media = parsed.question->media;
        ASSERT_FALSE(record::IsNoneMedia(media)) << text;
        // A bare name with one full stop: the players take the extension after the first one.
        EXPECT_EQ(fs::path(media).filename().string(), media);
        EXPECT_EQ(std::count(media.begin(), media.end(), '.'), 1) << media;
        std::error_code error;
        EXPECT_GT(fs::file_size(kSamples / media, error), 0u) << media;
        EXPECT_FALSE(error) << media << ": " << error.message();
        extensions.insert(media.substr(media.find('.') + 1));
    }
    const std::set<std::string> expected{"avi", "bmp", "jpg", "mid", "mp3", "mpg", "wav", "wmf"};
    EXPECT_EQ(extensions, expected);
}
