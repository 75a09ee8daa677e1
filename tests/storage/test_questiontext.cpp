#include "storage/questiontext.h"
#include "storage/quizfile.h"
#include "storage/record.h"
#include "test_support.h"

#include <gtest/gtest.h>

using namespace examo;
using examo::testing::rec;
using examo::testing::TempFolder;
using examo::testing::writeBytes;
using Records = std::vector<std::string>;

namespace {

// What a file should give: records written by hand ('|' for the separator) and the counts.
struct Expected {
    Records records = {};
    int unsupportedKind = 0;
    int notFourAnswers = 0;
    int refused = 0;
    int unreadable = 0;
};

struct Case {
    const char* name;
    std::string file;
    Expected expected;
};

void expectImported(const questiontext::Imported& got, const Case& c) {
    Records want;
    for (const auto& r : c.expected.records)
        want.push_back(rec(r));
    EXPECT_EQ(got.records, want) << c.name;
    EXPECT_EQ(got.unsupportedKind, c.expected.unsupportedKind) << c.name;
    EXPECT_EQ(got.notFourAnswers, c.expected.notFourAnswers) << c.name;
    EXPECT_EQ(got.refused, c.expected.refused) << c.name;
    EXPECT_EQ(got.unreadable, c.expected.unreadable) << c.name;
}

const std::string kFarmMc = "m|Which animal gives milk?|Cow|Hen|Pig|Goat|none| 0";

} // namespace

TEST(QuestionText, AikenQuestionsBecomeRecordsOrAreCountedOut) {
    const Case cases[] = {
        {"plain",
         "Which animal gives milk?\nA. Cow\nB. Hen\nC. Pig\nD. Goat\nANSWER: A\n",
         {.records = {kFarmMc}}},
        {"brackets, CR LF, byte order mark, no final line break",
         "\xEF\xBB\xBFWhich animal gives milk?\r\nA) Cow\r\nB) Hen\r\nC) Pig\r\nD) Goat\r\n"
         "ANSWER: C",
         {.records = {"m|Which animal gives milk?|Cow|Hen|Pig|Goat|none| 2"}}},
        {"two questions without a blank line, text over two lines, Windows-1252 letters",
         "Qu'est-ce que\n  \xC3\xA7"
         "a?\nA. un\nB. deux\nC. trois\nD. \xE2\x82\xAC\nANSWER: D\n"
         "2 + 2?\nA. 3\nB. 4\nC. 5\nD. 6\nANSWER: b\n",
         {.records = {"m|Qu'est-ce que \xE7"
                      "a?|un|deux|trois|\x80|none| 3",
                      "m|2 + 2?|3|4|5|6|none| 1"}}},
        {"three answers and five answers",
         "Q?\nA. a\nB. b\nC. c\nANSWER: A\n\nQ?\nA. a\nB. b\nC. c\nD. d\nE. e\nANSWER: E\n",
         {.notFourAnswers = 2}},
        {"the answer names no option",
         "Q?\nA. a\nB. b\nC. c\nD. d\nANSWER: E\n",
         {.notFourAnswers = 1}},
        {"no answer line, then a good question",
         "Lost?\nA. a\nB. b\nC. c\nD. d\n\n"
         "Which animal gives milk?\nA. Cow\nB. Hen\n"
         "C. Pig\nD. Goat\nANSWER: A\n",
         {.records = {kFarmMc}, .unreadable = 1}},
        {"a stray line among the answers",
         "Q?\nA. a\nB. b\nsomething\nC. c\nD. d\nANSWER: A\n",
         {.unreadable = 1}},
        {"the separator, a letter Windows-1252 lacks, a control character",
         "\xC2\xA9 2026?\nA. a\nB. b\nC. c\nD. d\nANSWER: A\n\n"
         "Q?\nA. a\nB. \xC5\x81ukasz\nC. c\nD. d\nANSWER: A\n\n"
         "Q\x07?\nA. a\nB. b\nC. c\nD. d\nANSWER: A\n",
         {.refused = 3}},
    };
    for (const auto& c : cases)
        expectImported(questiontext::ParseAiken(c.file), c);
}

TEST(QuestionText, GiftQuestionsBecomeRecordsOrAreCountedOut) {
    const Case cases[] = {
        {"multiple choice: the right answer where it stands, title, comments, category",
         "$CATEGORY: $course$/Farm\n\n// animals\n::Milk::Which animal gives milk? {\n"
         "  ~Hen\n  =Cow\n  ~Pig  # not really\n  ~Goat\n}\n",
         {.records = {"m|Which animal gives milk?|Hen|Cow|Pig|Goat|none| 1"}}},
        {"true and false in each spelling, feedback dropped, CR LF between",
         "Cows moo. {T}\r\n\r\nHens moo. {FALSE#They cluck.#Right.}\r\n\r\n"
         "Pigs fly. {F}\r\n\r\nThe sun is hot. {TRUE}\r\n",
         {.records = {"t|Cows moo.|none| 0", "t|Hens moo.|none| 1", "t|Pigs fly.|none| 1",
                      "t|The sun is hot.|none| 0"}}},
        {"escapes in text and answers, a backslash kept, one line per record",
         "What is 1\\=1 \\{really\\}\\: \\~ \\# a\\b\\\\c\nover two lines? "
         "{=yes \\= no ~no\\#1 ~a\\~b ~c\\:d}",
         {.records = {"m|What is 1=1 {really}: ~ # a\\b\\c over two lines?|yes = no|no#1|a~b|"
                      "c:d|none| 0"}}},
        {"a gap where the answer goes, weights",
         "Moodle costs {~%0%200 ~300 =%100%0 ~100} dollars.\n\n"
         "Pick {~%100%right ~%50%half ~wrong ~%-50%bad}",
         {.records = {"m|Moodle costs _____ dollars.|200|300|0|100|none| 2",
                      "m|Pick|right|half|wrong|bad|none| 0"}}},
        {"kinds a test does not have",
         "Write an essay. {}\n\nPi? {#3.14:0.01}\n\nCapital of France? {=Paris =paris}\n\n"
         "Match. {=cat -> meow =dog -> woof}\n\nJust a description.\n\n"
         "Two right. {~%50%a ~%50%b ~%-100%c ~%-100%d}\n",
         {.unsupportedKind = 6}},
        {"not four answers with one right",
         "Three? {=a ~b ~c}\n\nFive? {=a ~b ~c ~d ~e}\n\nTwo right? {=a =b ~c ~d}\n\n"
         "None right? {~a ~b ~c ~d}\n\nAn empty answer? {=a ~ ~c ~d}\n",
         {.notFourAnswers = 5}},
        {"refused characters",
         "\xC2\xA9? {T}\n\nWhich? {=\xE2\x9C\x93 ~b ~c ~d}\n",
         {.refused = 2}},
        {"unreadable",
         "::No end of title { T }\n\nOpen {=a ~b\n\n{T}\n\n"
         "Text first. {x ~a =b ~c ~d}\n",
         {.unreadable = 4}},
    };
    for (const auto& c : cases)
        expectImported(questiontext::ParseGift(c.file), c);
}

TEST(QuestionText, TheFormatIsToldByItsAnswerLines) {
    const std::string aiken = "Q?\nA. a\nB. b\nANSWER: A\n";
    EXPECT_EQ(questiontext::DetectFormat("/a/q.txt", aiken), questiontext::Format::Aiken);
    EXPECT_EQ(questiontext::DetectFormat("/a/q.txt", "Q? {T}\n"), questiontext::Format::Gift);
    EXPECT_EQ(questiontext::DetectFormat("/a.b/q.GIFT", aiken), questiontext::Format::Gift);
    // A folder's dots say nothing about the file.
    EXPECT_EQ(questiontext::DetectFormat("/a.gift/q.txt", aiken), questiontext::Format::Aiken);
}

TEST(QuestionText, FilesThatHoldNoQuestionTextAreRefused) {
    TempFolder dir;
    writeBytes(dir.path("latin1.txt"), "Caf\xE9? {T}\n");
    writeBytes(dir.path("binary.txt"), std::string("Q? {T}\0\0", 9));
    writeBytes(dir.path("aiken.txt"),
               "\xEF\xBB\xBFQ?\r\nA. a\r\nB. b\r\nC. c\r\nD. d\r\nANSWER: D\r\n");
    EXPECT_EQ(questiontext::Read(dir.path("latin1.txt")).error, questiontext::ReadError::NotUtf8);
    EXPECT_EQ(questiontext::Read(dir.path("binary.txt")).error, questiontext::ReadError::NotText);
    EXPECT_EQ(questiontext::Read(dir.path("none.txt")).error, questiontext::ReadError::Missing);
    EXPECT_EQ(questiontext::Read(dir.folder()).error, questiontext::ReadError::Unreadable);
    const auto aiken = questiontext::Read(dir.path("aiken.txt"));
    ASSERT_TRUE(aiken.ok());
    EXPECT_EQ(aiken.questions.records, Records{rec("m|Q?|a|b|c|d|none| 3")});
}

TEST(QuestionText, TheSummarySaysWhatWasAddedAndWhyTheRestWasNot) {
    questiontext::Imported all;
    all.unsupportedKind = 2;
    all.notFourAnswers = 1;
    all.refused = 1;
    all.firstRefused = U'\u00A9';
    all.unreadable = 1;
    questiontext::Imported control;
    control.refused = 2;
    control.firstRefused = U'\u0007';
    const struct {
        int added;
        questiontext::Imported imported;
        int overLimit;
        const char* text;
    } cases[] = {
        {0, {}, 0, "No questions were found in the file."},
        {1, {}, 0, "1 question was added to the test."},
        {3, all, 1,
         "3 questions were added to the test.  6 were skipped:\n"
         "2 of a kind ExamoMe tests do not have (they have multiple choice with one right "
         "answer, and true/false)\n"
         "1 without exactly four answers, one of them right\n"
         "1 over the limit of 100 questions\n"
         "1 with a character a test cannot keep (the first is \xC2\xA9)\n"
         "1 that could not be read as a question"},
        {0, control, 0,
         "No questions were added to the test.  2 were skipped:\n"
         "2 with a character a test cannot keep (the first is U+0007)"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(questiontext::Summary(c.added, c.imported, c.overLimit), c.text);
}

TEST(QuestionText, GiftIsWrittenWithEscapesAndMediaAsComments) {
    const Records records = {rec("m|1+1=2: {yes} ~ #1 a\\b|Cow|Hen|Pig|Goat|cow.bmp| 1"),
                             rec("t  2|Caf\xE9?|None| 1"), rec("x|not a question"),
                             rec("t|Line\nbreak|/media/b\xE9ll.wav| 0")};
    const auto gift = questiontext::WriteGift("Farm\nquiz", "Grade 3", records);
    EXPECT_EQ(gift.utf8, "// Farm quiz\n"
                         "// Grade 3\n"
                         "\n"
                         "// media: cow.bmp\n"
                         "::Question 1::1+1\\=2\\: \\{yes\\} \\~ \\#1 a\\\\b {\n"
                         "~Cow\n"
                         "=Hen\n"
                         "~Pig\n"
                         "~Goat\n"
                         "}\n"
                         "\n"
                         "::Question 2::Caf\xC3\xA9? {FALSE}\n"
                         "\n"
                         "// media: /media/b\xC3\xA9ll.wav\n"
                         "::Question 4::Line\\nbreak {TRUE}\n");
    EXPECT_EQ(gift.unreadable, std::vector<int>{3});
}

// The promise of the export: a quiz taken to a learning platform as GIFT and brought back gives
// the same questions and answers (media stay behind, as comments). The sample, and a question
// full of GIFT's own characters: escapes, a text that starts like a comment, answers that start
// like a weight or end in a backslash.
TEST(QuestionText, QuestionsComeBackFromGiftWithTheSameTextsAndAnswers) {
    const auto sample = quizfile::Read(EXAMO_SAMPLES_DIR "/sample.exm");
    ASSERT_TRUE(sample.ok());
    Records records = sample.contents.records;
    ASSERT_EQ(records.size(), 8u);
    records.push_back(rec("m|// not a comment {T} ::x:: \\n $CATEGORY: \x80 \xE7 \\|%50% =a"
                          "|~b #c {d} c: d::|%|% -1 a\\|none| 2"));
    const auto gift =
        questiontext::WriteGift(sample.contents.title, sample.contents.className, records);
    EXPECT_TRUE(gift.unreadable.empty());
    const auto back = questiontext::ParseGift(gift.utf8);
    EXPECT_EQ(back.skipped(), 0);
    ASSERT_EQ(back.records.size(), records.size());
    for (std::size_t i = 0; i < records.size(); ++i) {
        auto fields = record::SplitFields(records[i]);
        fields[fields.size() == 8 ? 6 : 2] = "none";
        EXPECT_EQ(back.records[i], record::JoinFields(fields)) << "question " << i + 1;
    }
}
