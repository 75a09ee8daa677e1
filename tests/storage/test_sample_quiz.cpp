#include "storage/quizfile.h"
#include "storage/record.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <set>

namespace fs = std::filesystem;
using namespace examo;

// The sample quiz shipped with the player, with a medium of every kind beside it.
TEST(SampleQuiz, EveryQuestionIsWholeAndItsMediumLiesBesideTheQuiz) {
    const fs::path samples = EXAMO_SAMPLES_DIR;
    const auto quiz = quizfile::Read((samples / "sample.exm").string());
    ASSERT_TRUE(quiz.ok()) << quizfile::Describe(quiz.error);
    EXPECT_EQ(quiz.contents.title, "Animals of the Farm");
    EXPECT_EQ(quiz.contents.className, "Grade 3 - Ms. Rivera");
    std::set<std::string> extensions;
    for (const auto& text : quiz.contents.records) {
        const auto parsed = record::ParseQuestion(text);
        ASSERT_TRUE(parsed.question) << text;
        const auto& q = *parsed.question;
        const bool multiple = q.kind == record::QuestionKind::MultipleChoice;
        EXPECT_LT(q.correct, multiple ? 4 : 2) << text;
        // Exactly the fields of its kind: a stray separator would shift every later field.
        EXPECT_EQ(record::SplitFields(text).size(),
                  std::size_t(multiple ? record::kMultipleChoiceFields : record::kTrueFalseFields));
        // A bare name with one full stop: the players take the extension after the first one.
        EXPECT_EQ(fs::path(q.media).filename().string(), q.media);
        EXPECT_EQ(std::count(q.media.begin(), q.media.end(), '.'), 1) << q.media;
        std::error_code error;
        EXPECT_GT(fs::file_size(samples / q.media, error), 0u) << q.media;
        extensions.insert(q.media.substr(q.media.find('.') + 1));
    }
    EXPECT_EQ(extensions,
              (std::set<std::string>{"avi", "bmp", "jpg", "mid", "mp3", "mpg", "wav", "wmf"}));
}
