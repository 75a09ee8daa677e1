// The paper test, call by call on the recording printer.
#include "creatorfixture.h"

#include "creator/modprint.h"

using namespace examo;
using examo::testing::CreatorTest;
using examo::testing::rec;
using Icon = Dialogs::Icon;
using Answer = Dialogs::Answer;
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

    void setQuestions(const std::vector<std::string>& records) {
        for (std::size_t i = 0; i < records.size(); ++i)
            mod.QuestionRecords[i + 1] = rec(records[i]);
        mod.QuestionCounter = static_cast<std::int16_t>(records.size() + 1);
    }

    // A picture file beside the quiz that the loader reads as w by h pixels.
    void addPicture(const std::string& name, int w, int h) {
        std::filesystem::create_directories(std::filesystem::path(dir.path(name)).parent_path());
        examo::testing::writeBytes(dir.path(name), "picture");
        QImage picture(w, h, QImage::Format_RGB32);
        picture.fill(Qt::red);
        pictures.pictures.insert(QString::fromStdString(dir.path(name)), picture);
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
    bool called(const std::string& call) const {
        const Calls all = calls();
        return std::ranges::find(all, call) != all.end();
    }
    bool calledStartingWith(const std::string& start) const { return !calls(start).empty(); }

    modPrint& print = forge.print();
};

// 240 by 120 pixels at 96 dpi: 63.5 by 31.75 mm.
TEST_F(PrintTest, TheTestIsPrintedHeaderQuestionsAndKeyInTheirPlaces) {
    addPicture("cow.bmp", 240, 120);
    setQuestions({"m|Which animal?|Cow|Hen|Pig|Goat|cow.bmp| 2", "t|Cows moo.|none| 1"});
    print.mnuFilePrint_Click();
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, "Would you like to print a key also?");
    EXPECT_EQ(dialogs.messages[0].buttons, Dialogs::Buttons::YesNo);
    EXPECT_EQ(dialogs.messages[0].icon, Icon::Question);
    EXPECT_EQ(
        calls(),
        (Calls{"Print||1", "Print||1", "ScaleMode|6", "FontName|courier new", "FontSize|8",
               "CurrentX|10", "CurrentY|10",
               "Print|class/hour:                                name:|1", "DrawWidth|2",
               "Line|10|14|205.9|14", "Print||1", "FontSize|12", "CurrentX|10", "CurrentY|19",
               "FontBold|1", "Print|Farm|1", "FontSize|8", "FontBold|0", "CurrentX|10",
               "Print|Grade 3|1", "DrawWidth|2", "Line|10|27|205.9|27", "Print||1",
               // the picture above its question, then the answers
               "PaintPicture|240x120|10|31|63.5|31.75", "CurrentY|64.75", "CurrentX|10",
               "Print|1.  Which animal? |1", "CurrentX|10", "Print|  A.  |0", "Print|Cow|1",
               "CurrentX|10", "Print|  B.  |0", "Print|Hen|1", "CurrentX|10", "Print|  C.  |0",
               "Print|Pig|1", "CurrentX|10", "Print|  D.  |0", "Print|Goat|1", "Print||1",
               // both boxes and both words on one line
               "CurrentX|10", "Print|2.  Cows moo. |1", "Box|13|94|15|96", "CurrentX|17",
               "CurrentY|93", "Print|True|1", "Box|28|94|30|96", "CurrentX|32", "CurrentY|93",
               "Print|False|1", "Print||1",
               // the key on a page of its own
               "NewPage", "CurrentX|10", "CurrentY|10", "Print|Key for Farm|1", "Print||1",
               "CurrentX|10", "Print| 1.      C.  Pig|1", "CurrentX|10", "Print| 2.      False|1",
               "EndDoc"}));
}

TEST_F(PrintTest, TheMenuEntryPrintsOnceTheQuizHasAQuestion) {
    EXPECT_FALSE(form.mnuFilePrint->isEnabled());
    type(form.txtTitle, QStringLiteral("Farm"));
    type(form.txtTeacher, QStringLiteral("Grade 3"));
    addTrueFalse(QStringLiteral("Cows moo."), 0);
    ASSERT_TRUE(form.mnuFilePrint->isEnabled());
    dialogs.answers.push_back(Answer::No);
    form.mnuFilePrint->trigger();
    // No key: no key page, but the document is still sent.
    EXPECT_TRUE(called("Print|1.  Cows moo. |1"));
    EXPECT_FALSE(called("NewPage"));
    EXPECT_EQ(calls().back(), "EndDoc");
}

// Each failure of the table: its message, its icon, and how much comes out.
TEST_F(PrintTest, EachFailureTellsItsOwnMessageAndPrintsOnlyWhatItMay) {
    addPicture("broken.jpg", 1, 1);
    pictures.pictures.clear(); // on disk, but not a picture
    const struct Row {
        const char* name;
        const char* title;
        std::vector<std::string> records;
        bool printerFails;
        std::vector<std::string> messages; // after the key question, when it is asked
        std::string lastCall;
    } rows[] = {
        {"empty title",
         "",
         {"t|Q|none| 0"},
         false,
         {"Please fill in all fields before attempting to print this test."},
         ""},
        {"no question", "Farm", {}, false, {"There are no questions in this test."}, ""},
        {"no printer",
         "Farm",
         {"t|Q|none| 0"},
         true,
         {"Error initializing printer!", "There has been an error in printing this test."},
         "KillDoc"},
        {"short multiple choice goes on",
         "Farm",
         {"m|Q|A|B|C|D|none", "t|Next|none| 0"},
         false,
         {"Cannot print this multiple choice question."},
         "EndDoc"},
        {"short true/false goes on",
         "Farm",
         {"t|Q|none", "t|Next|none| 0"},
         false,
         {"There was an error printing this true/false question."},
         "EndDoc"},
        {"unreadable picture stops",
         "Farm",
         {"t|Q|broken.jpg| 0", "t|Next|none| 0"},
         false,
         {"There has been an error in printing this test."},
         "KillDoc"},
        {"blanks count as a title",
         "   ",
         {"x|not a question", "t|Q|none| 0"},
         false,
         {},
         "EndDoc"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        dialogs.messages.clear();
        printer.calls.clear();
        printer.fail = row.printerFails;
        form.txtTitle->setText(QString::fromUtf8(row.title));
        setQuestions(row.records);
        print.mnuFilePrint_Click();
        printer.fail = false;
        std::vector<std::string> texts = dialogs.texts();
        if (*row.title != 0 && !row.records.empty()) {
            ASSERT_FALSE(texts.empty());
            EXPECT_EQ(texts.front(), "Would you like to print a key also?");
            texts.erase(texts.begin());
        }
        EXPECT_EQ(texts, row.messages);
        for (const auto& m : dialogs.messages) {
            if (m.buttons == Dialogs::Buttons::Ok) {
                EXPECT_EQ(m.icon, Icon::Critical);
            }
        }
        EXPECT_EQ(calls().empty() ? std::string() : calls().back(), row.lastCall);
        EXPECT_FALSE(called("Print|2.  Next |1") && row.lastCall == "KillDoc");
    }
    // A failure in the key throws the document away.
    dialogs.messages.clear();
    printer.calls.clear();
    print.PrintKey = true;
    printer.fail = true;
    print.PrintKeyAndFinish();
    EXPECT_EQ(dialogs.texts(), std::vector<std::string>{"Error printing this test."});
    EXPECT_EQ(calls(), Calls{"KillDoc"});
}

// Lines end after the word that takes them past 95 characters; words never split.
TEST_F(PrintTest, QuestionTextsWrapAfterNinetyFiveCharacters) {
    std::vector<std::string> words;
    for (int i = 1; i <= 30; ++i)
        words.push_back((i < 10 ? "word0" : "word") + std::to_string(i));
    const auto wordsFrom = [&words](int first, int last) {
        std::string out;
        for (int i = first; i <= last; ++i)
            out += words[static_cast<std::size_t>(i - 1)] + " ";
        return out;
    };
    const std::string fourteen = wordsFrom(1, 14);
    const struct Row {
        const char* name;
        std::string text;
        std::vector<std::string> lines;
    } rows[] = {
        {"three lines",
         wordsFrom(1, 30).substr(0, 209),
         {"1.  " + fourteen, wordsFrom(15, 28), wordsFrom(29, 30)}},
        // the last word fills the line: an empty line follows it
        {"last word ends a line", fourteen.substr(0, fourteen.size() - 1), {"1.  " + fourteen, ""}},
        {"double blanks kept", "a  b", {"1.  a  b "}},
        {"empty question", "", {"1.  "}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        printer.calls.clear();
        print.PrintTrueFalse(rec("t|" + row.text + "|none| 0"), 1);
        std::vector<std::string> printed;
        for (const std::string& call : calls()) {
            if (call.starts_with("Box|"))
                break;
            if (call.starts_with("Print|"))
                printed.push_back(call.substr(6, call.rfind('|') - 6));
        }
        EXPECT_EQ(printed, row.lines);
    }
}

// One word wider than the paper goes on as many lines as it needs, none past the edge.
TEST_F(PrintTest, AWordWiderThanThePaperBreaksAtTheEdge) {
    const std::string word(300, 'x');
    print.PrintTrueFalse(rec("t|" + word + "|none| 0"), 7);
    // 205.9 mm from the margin to the edge, 2 mm a letter: 102 letters a line.
    const std::string all = "7.  " + word + " ";
    EXPECT_EQ(calls("", 8),
              (Calls{"CurrentX|10", "Print|" + all.substr(0, 102) + "|1", "CurrentX|10",
                     "Print|" + all.substr(102, 102) + "|1", "CurrentX|10",
                     "Print|" + all.substr(204) + "|1", "CurrentX|10", "Print||1"}));
}

TEST_F(PrintTest, PicturesAreFoundBesideTheQuizByTheirOwnNames) {
    addPicture("cow.bmp", 10, 10);
    addPicture("old.files/cow", 10, 10);
    addPicture("old.files/pig.JPG", 10, 10);
    addPicture("bell.wav", 10, 10);
    const std::string absolute = dir.path("cow.bmp");
    const struct Row {
        const char* name;
        std::string media, quizFolder;
        bool printed;
    } rows[] = {
        {"bare name beside the quiz", "cow.bmp", dir.folder() + "/", true},
        {"absolute path", absolute, "/elsewhere/", true},
        {"dotted folder, no extension", "old.files/cow", dir.folder() + "/", false},
        {"dotted folder, capital extension", "old.files/pig.JPG", dir.folder() + "/", true},
        {"sound", "bell.wav", dir.folder() + "/", false},
        {"none", "none", dir.folder() + "/", false},
        // the current folder holds cow.bmp, but the quiz is elsewhere
        {"bare name, quiz elsewhere", "cow.bmp", dir.folder() + "/quiz/", false},
        {"bare name, no quiz folder", "cow.bmp", "", false},
    };
    ASSERT_EQ(std::filesystem::current_path(), dir.folder());
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        mod.QuizFolder = row.quizFolder;
        printer.calls.clear();
        print.PrintMultipleChoice(rec("m|Q|A|B|C|D|" + row.media + "| 0"), 1);
        EXPECT_EQ(calledStartingWith("PaintPicture"), row.printed);
    }
}

// Page 279.4 mm high; 96 pixels are 25.4 mm.
TEST_F(PrintTest, PicturesNeverRunPastTheFootOfThePage) {
    addPicture("tall.bmp", 96, 960);    // 254 mm
    addPicture("huge.bmp", 1920, 3840); // 1016 mm: more than a page
    addPicture("small.bmp", 96, 96);    // 25.4 mm
    const struct Row {
        const char* name;
        std::string record;
        double y;
        Calls calls;
    } rows[] = {
        {"multiple choice too tall for the rest",
         "m|Q|A|B|C|D|tall.bmp| 0",
         30,
         {"NewPage", "PaintPicture|96x960|10|0|25.4|254", "CurrentY|256"}},
        {"multiple choice that fits stays",
         "m|Q|A|B|C|D|tall.bmp| 0",
         25,
         {"PaintPicture|96x960|10|25|25.4|254", "CurrentY|281"}},
        {"true/false drawn 5 lower",
         "t|Q|small.bmp| 0",
         250,
         {"NewPage", "PaintPicture|96x96|10|5|25.4|25.4", "CurrentY|35.4"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        printer.setCurrentY(row.y);
        printer.calls.clear();
        const auto kind = row.record[0];
        if (kind == 'm')
            print.PrintMultipleChoice(rec(row.record), 1);
        else
            print.PrintTrueFalse(rec(row.record), 1);
        EXPECT_EQ(calls("", row.calls.size()), row.calls);
    }
    // Taller than a page: as large as the page holds, in its own proportions.
    printer.setCurrentY(0);
    printer.calls.clear();
    print.PrintMultipleChoice(rec("m|Q|A|B|C|D|huge.bmp| 0"), 1);
    const QStringList painted =
        QString::fromStdString(calls("PaintPicture", 1).at(0)).split(QLatin1Char('|'));
    ASSERT_EQ(painted.size(), 6);
    EXPECT_EQ(painted.mid(0, 4).join(QLatin1Char('|')).toStdString(),
              "PaintPicture|1920x3840|10|0");
    EXPECT_NEAR(painted[4].toDouble(), 139.7, 1e-9);
    EXPECT_NEAR(painted[5].toDouble(), 279.4, 1e-9);
    EXPECT_FALSE(called("NewPage"));
}

// The printer would carry the words over by themselves and leave their boxes behind.
TEST_F(PrintTest, TrueFalseBoxesGoToTheNextPageWithTheirWords) {
    printer.setCurrentY(272);
    printer.calls.clear();
    print.PrintTrueFalse(rec("t|Q|none| 0"), 1);
    EXPECT_EQ(calls("Print|1.", 7),
              (Calls{"Print|1.  Q |1", "NewPage", "Box|13|1|15|3", "CurrentX|17", "CurrentY|0",
                     "Print|True|1", "Box|28|1|30|3"}));
}

TEST_F(PrintTest, KeyLinesTakeTheAnswerOrTheBareValue) {
    setQuestions({"m|Q|Cow|Hen|Pig|Goat|none| 0", "m|Q|Cow|Hen|Pig|Goat|none| 3",
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
