#include "logviewerfixture.h"

#include <QApplication>
#include <QClipboard>
#include <QTest>

using namespace std::string_literals;
using examo::testing::entry;
using examo::testing::readBytes;

using LogViewerEditing = examo::testing::LogViewerTest;

TEST_F(LogViewerEditing, SavingWritesTheTextAsEditedInUtf8WithBlanksTrimmed) {
    const std::string log = writeLog("math.log", {"\xC8ric", "Bob"});
    const std::string logBytes = readBytes(log);
    openThroughMenu(form(), log);
    QTest::keyClicks(form().txtLog, QStringLiteral("  \u00A0Period 3: "));
    form().txtLog->moveCursor(QTextCursor::End);
    QTest::keyClicks(form().txtLog, QStringLiteral("  "));
    const std::string target = dir.path("period3.txt");
    examo::testing::writeBytes(target, std::string(4000, 'x'));
    fileDialogs.paths.push_back(target);
    form().mnuSave->trigger();
    // Only blanks at either end go: the empty line after the last entry stays.
    EXPECT_EQ(readBytes(target), "\xC2\xA0Period 3: " + entry("\xC3\x88ric") + "\r\n\r\n" +
                                     entry("Bob") + "\r\n\r\n\r\n");
    EXPECT_EQ(form().LogFileName, target) << "a later Print is headed with the text file";
    EXPECT_TRUE(caretAtStart(form()));
    EXPECT_EQ(readBytes(log), logBytes) << "the score log keeps its own form";
    EXPECT_EQ(fileDialogs.calls.at(1).request.filter, "Text Files (*.txt)\0*.txt\0\0"s);
    // A cancelled save is silent, and every failure shows the save message.
    fileDialogs.paths = {std::nullopt, dir.path("no such folder/notes.txt")};
    form().mnuSave_Click();
    form().mnuSave_Click();
    fileDialogs.failWith = "The dialog cannot be shown.";
    form().mnuSave_Click();
    EXPECT_EQ(dialogs.texts(), std::vector<std::string>(
                                   2, "There has been an error saving this log as a text file."));
}

TEST_F(LogViewerEditing, TheEditMenuCutsPastesAndUndoesAndExitForgetsTheFileAndCloses) {
    form().txtLog->setPlainText(QStringLiteral("Ann Bob"));
    form().txtLog->moveCursor(QTextCursor::NextWord, QTextCursor::KeepAnchor);
    form().mnuEditCut->trigger();
    EXPECT_EQ(QApplication::clipboard()->text(), QStringLiteral("Ann "));
    form().txtLog->moveCursor(QTextCursor::End);
    form().mnuEditPaste->trigger();
    EXPECT_EQ(shown(form()), "BobAnn ");
    form().mnuEditUndo->trigger();
    EXPECT_EQ(shown(form()), "Bob");
    form().LogFileName = "math.log";
    form().show();
    form().mnuExit->trigger();
    EXPECT_EQ(form().LogFileName, "");
    EXPECT_FALSE(form().isVisible());
}
