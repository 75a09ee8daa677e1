// The paper test, call by call on the recording printer.
#include "creatorfixture.h"

#include "creator/modprint.h"

using namespace examo;
using examo::testing::CreatorTest;
using examo::testing::rec;
using Calls = std::vector<std::string>;

namespace {

class PrintTest : public CreatorTest {
protected:
    PrintTest() {
        start();
        form.txtTitle->setText(QStringLiteral("Farm"));
        form.txtTeacher->setText(QStringLiteral("Grade 3"));
        mod.QuizFolder = dir.folder() + "/";
    }

    // The printer's calls, from the first one starting with the given text, at most count.
    Calls calls(const std::string& start = {}, std::size_t count = 1000) const {
        Calls out;
        for (const QString& call : printer.calls)
            if (!out.empty() || call.toStdString().starts_with(start))
                out.push_back(call.toStdString());
        out.resize(std::min(out.size(), count));
        return out;
    }
    bool called(const std::string& start) const { return !calls(start).empty(); }

    modPrint& print = forge.print();
};

// Each failure of the table: its message, its icon, and how much comes out.
TEST_F(PrintTest, EachFailureTellsItsOwnMessageAndPrintsOnlyWhatItMay) {
    addPicture("broken.jpg", 1, 1);
    pictures.pictures.clear(); // on disk, but not a picture
    const struct Row {
        const char* title;
        const char* records; // one a line
        bool printerFails;
        const char* messages; // one a line, after the key question when it is asked
        const char* lastCall;
    } rows[] = {
        {"", "t|Q|none| 0", false,
         "Please fill in all fields before attempting to print this test.", ""},
        {"Farm", "", false, "There are no questions in this test.", ""},
        {"Farm", "t|Q|none| 0", true,
         "Error initializing printer!\nThere has been an error in printing this test.", "KillDoc"},
        // a short question is reported and printing goes on
        {"Farm", "m|Q|A|B|C|D|none\nt|Next|none| 0", false,
         "Cannot print this multiple choice question.", "EndDoc"},
        {"Farm", "t|Q|none\nt|Next|none| 0", false,
         "There was an error printing this true/false question.", "EndDoc"},
        // an unreadable picture stops it
        {"Farm", "t|Q|broken.jpg| 0\nt|Next|none| 0", false,
         "There has been an error in printing this test.", "KillDoc"},
        {"   ", "x|not a question\nt|Q|none| 0", false, "", "EndDoc"}, // blanks are a title
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.title) + ": " + row.records);
        dialogs.messages.clear();
        printer.calls.clear();
        printer.fail = row.printerFails;
        form.txtTitle->setText(QString::fromUtf8(row.title));
        std::vector<std::string> records;
        for (const QString& r : QString::fromUtf8(row.records).split(u'\n', Qt::SkipEmptyParts))
            records.push_back(r.toStdString());
        setQuestions(mod, records);
        print.mnuFilePrint_Click();
        printer.fail = false;
        std::string texts;
        for (const auto& m : dialogs.messages) {
            EXPECT_EQ(m.icon, m.buttons == Dialogs::Buttons::Ok ? Dialogs::Icon::Critical
                                                                : Dialogs::Icon::Question);
            texts += (texts.empty() ? "" : "\n") + m.text;
        }
        std::string expected = row.messages;
        if (*row.title != 0 && *row.records != 0) // the key question comes first
            expected = "Would you like to print a key also?" +
                       std::string(*row.messages ? "\n" : "") + expected;
        EXPECT_EQ(texts, expected);
        EXPECT_EQ(calls().empty() ? std::string() : calls().back(), row.lastCall);
        EXPECT_FALSE(called("Print|2.  Next |1") && row.lastCall == std::string("KillDoc"));
    }
    // A failure in the key throws the document away.
    dialogs.messages.clear();
    printer.calls.clear();
    print.PrintKey = printer.fail = true;
    print.PrintKeyAndFinish();
    EXPECT_EQ(dialogs.texts(), std::vector<std::string>{"Error printing this test."});
    EXPECT_EQ(calls(), Calls{"KillDoc"});
}

// Lines end after the word that takes them past 95 characters; words never split, but one wider
// than the paper goes on as many lines as it needs (102 letters of 2 mm from the margin to the
// edge).
TEST_F(PrintTest, QuestionTextsWrapAfterNinetyFiveCharacters) {
    const auto wordsFrom = [](int first, int last) {
        std::string out;
        for (int i = first; i <= last; ++i)
            out += (i < 10 ? "word0" : "word") + std::to_string(i) + " ";
        return out;
    };
    const std::string fourteen = wordsFrom(1, 14);
    const std::string wide = "1.  " + std::string(300, 'x') + " ";
    const struct Row {
        std::string text;
        std::vector<std::string> lines;
    } rows[] = {
        {wordsFrom(1, 30).substr(0, 209),
         {"1.  " + fourteen, wordsFrom(15, 28), wordsFrom(29, 30)}},
        // the last word fills the line: an empty line follows it
        {fourteen.substr(0, fourteen.size() - 1), {"1.  " + fourteen, ""}},
        // 96 characters are past 95
        {std::string(91, 'y') + " z", {"1.  " + std::string(91, 'y') + " ", "z "}},
        {"a  b", {"1.  a  b "}},
        {"", {"1.  "}},
        {wide.substr(4, 300), {wide.substr(0, 102), wide.substr(102, 102), wide.substr(204), ""}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.text);
        printer.calls.clear();
        print.PrintTrueFalse(rec("t|" + row.text + "|none| 0"), 1);
        std::vector<std::string> printed;
        for (const std::string& call : calls()) {
            if (call.starts_with("Box|"))
                break;
            if (call.starts_with("Print|")) {
                printed.push_back(call.substr(6, call.rfind('|') - 6));
            } else {
                EXPECT_EQ(call, "CurrentX|10"); // every line from the margin
            }
        }
        EXPECT_EQ(printed, row.lines);
    }
}

TEST_F(PrintTest, PicturesAreFoundBesideTheQuizByTheirOwnNames) {
    for (const char* name : {"cow.bmp", "old.files/cow", "old.files/pig.JPG", "bell.wav"})
        addPicture(name, 10, 10);
    const std::string here = dir.folder() + "/";
    const struct Row {
        std::string media, quizFolder;
        bool printed;
    } rows[] = {
        {"cow.bmp", here, true},
        {dir.path("cow.bmp"), "/elsewhere/", true},
        {"old.files/cow", here, false}, // the dot of the folder is no extension
        {"old.files/pig.JPG", here, true},
        {"bell.wav", here, false},
        {"none", here, false},
        // the current folder holds cow.bmp, but the quiz is elsewhere
        {"cow.bmp", here + "quiz/", false},
        {"cow.bmp", "", false},
    };
    ASSERT_EQ(std::filesystem::current_path(), dir.folder());
    for (const Row& row : rows) {
        SCOPED_TRACE(row.media + " in " + row.quizFolder);
        mod.QuizFolder = row.quizFolder;
        printer.calls.clear();
        print.PrintMultipleChoice(rec("m|Q|A|B|C|D|" + row.media + "| 0"), 1);
        EXPECT_EQ(called("PaintPicture"), row.printed);
    }
}

// Page 279.4 mm high; 96 pixels are 25.4 mm.
TEST_F(PrintTest, PicturesAndTrueFalseBoxesNeverRunPastTheFootOfThePage) {
    addPicture("tall.bmp", 96, 960);    // 254 mm
    addPicture("huge.bmp", 1920, 3840); // 1016 mm: more than a page
    addPicture("small.bmp", 96, 96);    // 25.4 mm
    const struct Row {
        const char* record;
        double y;
        const char* calls; // from the first one on, a comma between them
    } rows[] = {
        {"m|Q|A|B|C|D|tall.bmp| 0", 30, "NewPage, PaintPicture|96x960|10|0|25.4|254, CurrentY|256"},
        {"m|Q|A|B|C|D|tall.bmp| 0", 25, "PaintPicture|96x960|10|25|25.4|254, CurrentY|281"},
        // true/false pictures are drawn 5 lower
        {"t|Q|small.bmp| 0", 250, "NewPage, PaintPicture|96x96|10|5|25.4|25.4, CurrentY|35.4"},
        // taller than a page: as large as the page holds, in its own proportions
        {"m|Q|A|B|C|D|huge.bmp| 0", 0, "PaintPicture|1920x3840|10|0|139.7|279.4"},
        // the printer would carry the words over by themselves and leave their boxes behind
        {"t|Q|none| 0", 272,
         "Print|1.  Q |1, NewPage, Box|13|1|15|3, CurrentX|17, CurrentY|0, Print|True|1, "
         "Box|28|1|30|3"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.record);
        printer.setCurrentY(row.y);
        printer.calls.clear();
        if (row.record[0] == 'm')
            print.PrintMultipleChoice(rec(row.record), 1);
        else
            print.PrintTrueFalse(rec(row.record), 1);
        Calls expected;
        for (const QString& call : QString::fromUtf8(row.calls).split(QStringLiteral(", ")))
            expected.push_back(call.toStdString());
        EXPECT_EQ(calls(expected[0], expected.size()), expected);
    }
}

TEST_F(PrintTest, KeyLinesTakeTheAnswerOrTheBareValue) {
    setQuestions(mod, {"m|Q|Cow|Hen|Pig|Goat|none| 0", "m|Q|Cow|Hen|Pig|Goat|none| 3",
                       "m|Q|Cow|Hen|Pig|Goat|none| 4", "t|Q|none| 0", "t|Q|none|  7 ", "x|Q|odd"});
    print.PrintKey = true;
    print.PrintKeyAndFinish();
    Calls keyLines;
    for (const std::string& call : calls())
        if (call.starts_with("Print| "))
            keyLines.push_back(call);
    EXPECT_EQ(keyLines,
              (Calls{"Print| 1.      A.  Cow|1", "Print| 2.      D.  Goat|1", "Print| 3.      4|1",
                     "Print| 4.      True|1", "Print| 5.      7|1", "Print| 6.      |1"}));
}

} // namespace
