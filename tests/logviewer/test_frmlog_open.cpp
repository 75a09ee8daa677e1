#include "logviewerfixture.h"

#include <filesystem>

using namespace examo;
using namespace std::string_literals;
using examo::testing::kAnn;
using examo::testing::kBob;
using examo::testing::kCid;

namespace {

class LogViewerOpening : public examo::testing::LogViewerTest {
protected:
    std::string annBobCid() {
        return writeLog("math.log", {finished("Ann", 7, 9, 75), finished("Bob", 3, 3, 45),
                                     finished("Cid", 0, 4, 61)});
    }
};

TEST_F(LogViewerOpening, ALogOfThreeEntriesShowsThemInFileOrderEachFollowedByAnEmptyLine) {
    const std::string log = annBobCid();
    openThroughMenu(form(), log);

    EXPECT_EQ(shown(form()), kAnn + "\n\n" + kBob + "\n\n" + kCid + "\n\n");
    EXPECT_TRUE(caretAtStart(form()));
    EXPECT_EQ(form().LogFileName, log);
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_EQ(fileDialogs.calls.at(0).request.filter, "Score Logs (*.log)\0*.log\0\0"s);
    EXPECT_EQ(fileDialogs.calls.at(0).request.initialDir, dir.folder());
}

TEST_F(LogViewerOpening, AnEmptyLogAddsNothingAndPutsTheCaretAtTheStart) {
    const std::string empty = writeLog("empty.log", {});
    openThroughMenu(form(), empty);
    EXPECT_EQ(shown(form()), "");
    EXPECT_TRUE(caretAtStart(form()));

    form().txtLog->setPlainText(QStringLiteral("notes"));
    form().txtLog->moveCursor(QTextCursor::End);
    form().txtLog->moveCursor(QTextCursor::Left, QTextCursor::KeepAnchor);
    openThroughMenu(form(), empty);
    EXPECT_EQ(shown(form()), "notes") << "an empty log replaces no selection";
    EXPECT_TRUE(caretAtStart(form()));
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(LogViewerOpening, ASecondLogGoesWhereTheCaretStands) {
    const std::string first = writeLog("first.log", {finished("Ann", 7, 9, 75)});
    const std::string second = writeLog("second.log", {finished("Bob", 3, 3, 45)});
    const std::string third = writeLog("third.log", {finished("Cid", 0, 4, 61)});

    openThroughMenu(form(), first);
    openThroughMenu(form(), second);
    EXPECT_EQ(shown(form()), kBob + "\n\n" + kAnn + "\n\n") << "the newer log stands above";
    EXPECT_EQ(form().LogFileName, second);

    // A teacher who moved the caret to the end gets the next log there.
    form().txtLog->moveCursor(QTextCursor::End);
    openThroughMenu(form(), third);
    EXPECT_EQ(shown(form()), kBob + "\n\n" + kAnn + "\n\n" + kCid + "\n\n");
    EXPECT_TRUE(caretAtStart(form()));

    // A selection is replaced by the log, as typing would replace it.
    form().txtLog->setPlainText(QStringLiteral("old text"));
    form().txtLog->selectAll();
    openThroughMenu(form(), first);
    EXPECT_EQ(shown(form()), kAnn + "\n\n");
}

TEST_F(LogViewerOpening, StudentsWithAccentedNamesComeBackIntact) {
    // È and Ï scramble into CR and LF: a reader splitting there would break the entries.
    const std::string log = writeLog(
        "french.log", {finished("\xC8ric", 7, 9, 75), finished("\xCFsabel M\xFCller", 3, 3, 45)});
    openThroughMenu(form(), log);

    const QString expected = QStringLiteral("Èric") + QString::fromStdString(kAnn.substr(3)) +
                             QStringLiteral("\n\nÏsabel Müller") +
                             QString::fromStdString(kBob.substr(3)) + QStringLiteral("\n\n");
    EXPECT_EQ(form().txtLog->toPlainText(), expected);
}

TEST_F(LogViewerOpening, CancelledMissingOrUnreadableLogsChangeNothingAndSayNothing) {
    form().txtLog->setPlainText(QStringLiteral("kept"));

    fileDialogs.paths.push_back(std::nullopt);
    form().mnuOpen_Click();
    EXPECT_EQ(form().LogFileName, "") << "a cancelled dialog leaves no name";

    openThroughMenu(form(), dir.path("gone.log"));
    std::filesystem::create_directory(dir.path("folder.log"));
    openThroughMenu(form(), dir.path("folder.log"));

    EXPECT_EQ(shown(form()), "kept");
    EXPECT_TRUE(dialogs.messages.empty());
}

class LogViewerCommandLine : public LogViewerOpening {};

TEST_F(LogViewerCommandLine, OnlyAnArgumentEndingInLogAfterItsFirstFullStopIsOpened) {
    const std::string upper = writeLog("MATH.LOG", {finished("Ann", 7, 9, 75)});
    auto opened = viewer(upper + "\r\nsecond line"); // only the first line counts
    EXPECT_EQ(shown(*opened), kAnn + "\n\n") << "the creator hands over .LOG files too";
    EXPECT_TRUE(caretAtStart(*opened));
    EXPECT_EQ(opened->LogFileName, upper);

    const std::string quiz = dir.path("math.exm");
    std::filesystem::copy_file(upper, quiz);
    std::filesystem::create_directory(dir.path("class.7"));
    const std::string inDottedFolder = dir.path("class.7/math.log");
    std::filesystem::copy_file(upper, inDottedFolder);
    for (const std::string& commandLine :
         {quiz, inDottedFolder, upper + "x", std::string("log"), std::string()}) {
        auto f = viewer(commandLine);
        EXPECT_EQ(shown(*f), "") << commandLine;
        EXPECT_EQ(f->LogFileName, "") << commandLine;
    }
    EXPECT_EQ(shown(*viewer(dir.path("missing.log"))), "");
    EXPECT_TRUE(dialogs.messages.empty());
}

} // namespace
