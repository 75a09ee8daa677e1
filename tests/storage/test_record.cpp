#include "storage/record.h"

#include <gtest/gtest.h>

using namespace examo::record;

namespace {
// Records written out by hand: © is the byte A9.
const std::string kMultiple = "m\xA9What is 2+2?\xA9One\xA9Two\xA9"
                              "Four\xA9"
                              "Five\xA9none\xA9 2";
const std::string kTrueFalse = "t\xA9The sky is green.\xA9sky.bmp\xA9 1";
} // namespace

TEST(Fields, SplitAtEverySeparator) {
    EXPECT_EQ(SplitFields(kMultiple).size(), 8u);
    EXPECT_EQ(SplitFields("a\xA9\xA9"
                          "b"),
              (std::vector<std::string>{"a", "", "b"}));
    EXPECT_EQ(SplitFields("\xA9"), (std::vector<std::string>{"", ""}));
    EXPECT_TRUE(SplitFields("").empty());
    EXPECT_EQ(JoinFields(SplitFields(kMultiple)), kMultiple);
}

TEST(Questions, MultipleChoiceWithAnswerC) {
    const auto r = ParseQuestion(kMultiple);
    ASSERT_TRUE(r.question);
    EXPECT_EQ(r.question->kind, QuestionKind::MultipleChoice);
    EXPECT_EQ(r.question->text, "What is 2+2?");
    EXPECT_EQ(r.question->answers[2], "Four");
    EXPECT_EQ(r.question->media, "none");
    EXPECT_EQ(r.question->correct, 2);
    EXPECT_TRUE(IsNoneMedia(r.question->media));
    EXPECT_TRUE(IsNoneMedia("NoNe"));
    EXPECT_FALSE(IsNoneMedia("none.bmp"));
}

TEST(Questions, TrueFalseAnsweredFalse) {
    const auto r = ParseQuestion(kTrueFalse);
    ASSERT_TRUE(r.question);
    EXPECT_EQ(r.question->kind, QuestionKind::TrueFalse);
    EXPECT_EQ(r.question->media, "sky.bmp");
    EXPECT_EQ(r.question->correct, 1);
}

TEST(Questions, BuildersWriteTheRecordLayout) {
    EXPECT_EQ(BuildMultipleChoice("m", "What is 2+2?", {"One", "Two", "Four", "Five"}, "none", 2),
              kMultiple);
    EXPECT_EQ(BuildTrueFalse("t", "The sky is green.", "sky.bmp", 1), kTrueFalse);
}

TEST(Questions, KindIsTheFirstLetterInEitherCaseWhateverFollows) {
    const auto edited = ParseQuestion("M  4\xA9Q\xA9"
                                      "a\xA9"
                                      "b\xA9"
                                      "c\xA9"
                                      "d\xA9none\xA9 3");
    ASSERT_TRUE(edited.question);
    EXPECT_EQ(edited.question->kindField, "M  4");
    EXPECT_EQ(edited.question->correct, 3);
    EXPECT_TRUE(ParseQuestion("True\xA9Q\xA9none\xA9 0").question);
    EXPECT_EQ(ParseQuestion("x\xA9Q\xA9none\xA9 0").error, ParseError::NotAQuestion);
    EXPECT_EQ(ParseQuestion("").error, ParseError::NotAQuestion);
}

TEST(Questions, SurplusFieldsAreIgnoredMissingOnesCorruptTheRecord) {
    const auto surplus = ParseQuestion(kTrueFalse + "\xA9"
                                                    "extra\xA9more");
    ASSERT_TRUE(surplus.question);
    EXPECT_EQ(surplus.question->correct, 1);

    const auto shortTf = ParseQuestion("t  7\xA9Q\xA9none");
    EXPECT_FALSE(shortTf.question);
    EXPECT_EQ(shortTf.error, ParseError::TooFewFields);
    EXPECT_EQ(shortTf.kindField, "t  7");

    // A true/false record is long enough to be a multiple-choice one's start only.
    EXPECT_EQ(ParseQuestion("m\xA9Q\xA9"
                            "a\xA9"
                            "b\xA9"
                            "c\xA9"
                            "d\xA9none")
                  .error,
              ParseError::TooFewFields);
}

TEST(Questions, TheSeparatorInsideATextShiftsEveryLaterField) {
    // The question text "A©B" splits: the record gains a field and the media field
    // now holds the tail of the text.
    const auto r = ParseQuestion("t\xA9"
                                 "A\xA9"
                                 "B\xA9none\xA9 1");
    ASSERT_TRUE(r.question);
    EXPECT_EQ(r.question->text, "A");
    EXPECT_EQ(r.question->media, "B");
    EXPECT_EQ(r.question->correct, 0); // "none" read as a number
}

TEST(Questions, TheAnswerFieldIsReadAsARoundedNumber) {
    auto correctOf = [](const std::string& field) {
        return ParseQuestion("t\xA9Q\xA9none\xA9" + field).question->correct;
    };
    EXPECT_EQ(correctOf(" 1"), 1);
    EXPECT_EQ(correctOf("  0"), 0);
    EXPECT_EQ(correctOf("2.5"), 2);
    EXPECT_EQ(correctOf("3.5"), 4);
    EXPECT_EQ(correctOf("1x"), 1);
    EXPECT_EQ(correctOf(""), 0);
    EXPECT_EQ(ParseQuestion("t\xA9Q\xA9none\xA9"
                            "99999")
                  .error,
              ParseError::BadAnswer);
}

TEST(Header, FieldsAreTrimmedAndTheSeparatorIsRequired) {
    EXPECT_EQ(BuildHeaderLine("  Math  ", "Mr. Smith"), "  Math  \xA9Mr. Smith");
    const auto h = ParseHeaderLine("  Math  \xA9 Mr. Smith \xA9surplus");
    ASSERT_TRUE(h);
    EXPECT_EQ(h->title, "Math");
    EXPECT_EQ(h->className, "Mr. Smith");
    EXPECT_FALSE(ParseHeaderLine("Math only"));
    EXPECT_FALSE(ParseHeaderLine(""));
}
