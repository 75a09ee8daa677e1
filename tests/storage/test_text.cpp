#include "storage/datetimeformat.h"
#include "storage/record.h"
#include "storage/textrules.h"
#include "test_support.h"

#include <gtest/gtest.h>

using namespace examo::record;
using namespace examo::text;
using examo::testing::rec;

namespace {
const std::string kMultiple = rec("m|What is 2+2?|One|Two|Four|Five|none| 2");
const std::string kTrueFalse = rec("t|The sky is green.|sky.bmp| 1");
} // namespace

TEST(Questions, BothKindsParseAndBuildTheRecordLayout) {
    EXPECT_EQ(SplitFields(rec("a||b")), (std::vector<std::string>{"a", "", "b"}));
    const auto m = ParseQuestion(kMultiple);
    ASSERT_TRUE(m.question);
    EXPECT_EQ(m.question->kind, QuestionKind::MultipleChoice);
    EXPECT_EQ(m.question->answers[2], "Four");
    EXPECT_EQ(m.question->correct, 2);
    const auto t = ParseQuestion(kTrueFalse + rec("|extra|more")); // surplus fields are ignored
    ASSERT_TRUE(t.question);
    EXPECT_EQ(t.question->kind, QuestionKind::TrueFalse);
    EXPECT_EQ(t.question->media, "sky.bmp");
    EXPECT_EQ(BuildMultipleChoice("m", "What is 2+2?", {"One", "Two", "Four", "Five"}, "none", 2),
              kMultiple);
    EXPECT_EQ(BuildTrueFalse("t", "The sky is green.", "sky.bmp", 1), kTrueFalse);
    // The kind is the first letter in either case, whatever follows.
    const auto edited = ParseQuestion(rec("M  4|Q|a|b|c|d|none| 3"));
    ASSERT_TRUE(edited.question);
    EXPECT_EQ(edited.question->kindField, "M  4");
    EXPECT_TRUE(ParseQuestion(rec("True|Q|none| 0")).question);
}

TEST(Questions, BrokenRecordsNameTheirFault) {
    const std::pair<std::string, ParseError> cases[] = {
        {rec("x|Q|none| 0"), ParseError::NotAQuestion},
        {"", ParseError::NotAQuestion},
        {rec("t  7|Q|none"), ParseError::TooFewFields},
        {rec("m|Q|a|b|c|d|none"), ParseError::TooFewFields}, // long enough for true/false only
        {rec("t|Q|none|99999"), ParseError::BadAnswer},
        // An answer that is not wholly a number that fits is corrupt, never read as A.
        {rec("t|Q|none|1e400"), ParseError::BadAnswer},
        {rec("m|Q|a|b|c|d|none|-1e999"), ParseError::BadAnswer},
        {rec("t|Q|none|abc"), ParseError::BadAnswer},
        {rec("t|Q|none|"), ParseError::BadAnswer},
        {rec("t|Q|none|  "), ParseError::BadAnswer},
        {rec("t|Q|none| 1x"), ParseError::BadAnswer},
        {rec("t|Q|none|1e"), ParseError::BadAnswer},
        // A separator inside the text shifts every later field: "none" lands on the answer.
        {rec("t|A|B|none| 1"), ParseError::BadAnswer},
    };
    for (const auto& [text, error] : cases) {
        EXPECT_FALSE(ParseQuestion(text).question) << text;
        EXPECT_EQ(ParseQuestion(text).error, error) << text;
    }
    EXPECT_EQ(ParseHeaderLine(rec("  Math  | Mr. Smith |surplus"))->className, "Mr. Smith");
    EXPECT_FALSE(ParseHeaderLine("Math only"));
}

TEST(NumberText, WritingReadingAndRounding) {
    EXPECT_EQ(Str(100), " 100");
    EXPECT_EQ(Str(-2), "-2");
    // Reading stops at the first character that cannot continue a number; answers round.
    const std::pair<const char*, double> cases[] = {
        {"2.5", 2.5},  {"1x", 1}, {"abc", 0}, {"  -4", -4}, {"1.2.3", 1.2},
        {"1e3", 1000}, {"1e", 1}, {"2 3", 2}, {"", 0},      {"1e999999", 0}, // no infinity
    };
    for (const auto& [text, value] : cases)
        EXPECT_EQ(Val(text), value) << '"' << text << '"';
    const std::pair<const char*, int> answers[] = {{"2.5", 2}, {"3.5", 4}, {" 1", 1},
                                                   {" 0", 0},  {"  3", 3}, {"2 ", 2},
                                                   {"+1", 1},  {"1e0", 1}, {"-0", 0}};
    for (const auto& [field, correct] : answers)
        EXPECT_EQ(ParseQuestion(rec("t|Q|none|") + field).question->correct, correct) << field;
    EXPECT_EQ(RoundHalfEven(-2.5), -2.0);
    EXPECT_FALSE(ToInt16(32768.0));
    EXPECT_EQ(WholePart(-0.5), -1);
}

TEST(MessageText, QuotedTextIsCutAfterTwoHundredCharacters) {
    const std::string e = "\u00e9"; // two bytes: the cut counts characters, not bytes
    const std::string twoHundred(200, 'x');
    const std::pair<std::string, std::string> cases[] = {
        {"", ""},
        {twoHundred, twoHundred},
        {twoHundred + "y", twoHundred + "\u2026"},
        {std::string(7 * 1024 * 1024, 'm'), std::string(200, 'm') + "\u2026"},
        {std::string(199, 'x') + e + e, std::string(199, 'x') + e + "\u2026"},
    };
    for (const auto& [text, quoted] : cases)
        EXPECT_EQ(QuoteInMessage(text), quoted) << text.size();
}

TEST(PathText, TheExtensionStartsAtTheFirstDotOfTheFileName) {
    // Dotted folders above the file never count; the file name's first dot does.
    const std::pair<const char*, const char*> cases[] = {
        {"quiz.exm.bak", "exm.bak"},
        {"/home/class.7/pic.bmp", "bmp"},
        {"/tmp/x/a.b/c/quiz.exm", "exm"},
        {"/home/anne.smith/my.quiz.exm", "quiz.exm"},
        {"/home/anne.smith/noext", "noext"},
        {"a.b/c", "c"},
        {"trailing.", ""}};
    for (const auto& [path, extension] : cases)
        EXPECT_EQ(ExtensionOf(path), extension) << path;
    EXPECT_EQ(FolderOf("/home/ann/math.exm"), "/home/ann/");
    EXPECT_EQ(BareName("/home/ann/dog.bmp"), "dog.bmp");
    EXPECT_EQ(Trim("\t x \t"), "\t x \t"); // blanks only
}

TEST(DateTimePatterns, TwelveHourTime) {
    examo::LocalDateTime t; // January 1, 2000
    t.day = 24;
    EXPECT_EQ(FormatDateTime("mm/dd/yyyy", t), "01/24/2000");
    const std::tuple<int, int, const char*> times[] = {
        {0, 5, "12:05 AM"}, {12, 5, "12:05 PM"}, {23, 59, "11:59 PM"}};
    for (const auto& [hour, minute, text] : times) {
        t.hour = hour;
        t.minute = minute;
        EXPECT_EQ(FormatDateTime("hh:mm AMPM", t), text);
    }
}
