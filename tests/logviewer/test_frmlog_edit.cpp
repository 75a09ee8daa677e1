#include "logviewerfixture.h"

#include <QApplication>
#include <QClipboard>
#include <QTest>

#include <filesystem>

using namespace examo;
using namespace std::string_literals;
using examo::testing::kAnn;
using examo::testing::kBob;
using examo::testing::readBytes;
using examo::testing::writeBytes;

namespace {

class LogViewerSaving : public examo::testing::LogViewerTest {};

TEST_F(LogViewerSaving, WritesTheTextAsEditedInUtf8WithBlanksTrimmedAndOneLineBreak) {
    const std::string log =
        writeLog("math.log", {finished("\xC8ric", 7, 9, 75), finished("Bob", 3, 3, 45)});
    const std::string logBytes = readBytes(log);
    openThroughMenu(form(), log);
    QTest::keyClicks(form().txtLog, QStringLiteral("   Period 3: "));
    const std::string target = dir.path("period3.txt");
    writeBytes(target, std::string(4000, 'x'));

    fileDialogs.paths.push_back(target);
    form().mnuSave->trigger();

    // Only blanks are trimmed: the empty line after the last entry stays, then one line break.
    EXPECT_EQ(readBytes(target),
              "Period 3: \xC3\x88ric" + kAnn.substr(3) + "\r\n\r\n" + kBob + "\r\n\r\n\r\n");
    EXPECT_EQ(form().LogFileName, target) << "a later Print is headed with the text file";
    EXPECT_TRUE(caretAtStart(form()));
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_EQ(readBytes(log), logBytes) << "the score log keeps its own form";
    EXPECT_EQ(fileDialogs.calls.at(1).request.filter, "Text Files (*.txt)\0*.txt\0\0"s);
    EXPECT_EQ(fileDialogs.calls.at(1).request.defaultExt, "txt");
}

TEST_F(LogViewerSaving, BlanksAtTheEndGoAndNonBreakingBlanksStay) {
    form().txtLog->setPlainText(QStringLiteral("  Ann\u00A0Lee  \n  Bob  "));
    fileDialogs.paths.push_back(dir.path("notes.txt"));
    form().mnuSave_Click();
    EXPECT_EQ(readBytes(dir.path("notes.txt")), "Ann\xC2\xA0Lee  \r\n  Bob\r\n");
}

TEST_F(LogViewerSaving, ACancelledDialogIsSilentAndEveryFailureShowsTheSaveMessage) {
    form().txtLog->setPlainText(QStringLiteral("Ann"));
    fileDialogs.paths.push_back(std::nullopt);
    form().mnuSave_Click();
    EXPECT_TRUE(dialogs.messages.empty());
    fileDialogs.paths.push_back(dir.path("no such folder/notes.txt"));
    form().mnuSave_Click();

    fileDialogs.failWith = "The dialog cannot be shown.";
    form().mnuSave_Click();

    ASSERT_EQ(dialogs.messages.size(), 2u);
    for (const auto& m : dialogs.messages) {
        EXPECT_EQ(m.text, "There has been an error saving this log as a text file.");
        EXPECT_EQ(m.icon, Dialogs::Icon::Critical);
        EXPECT_EQ(m.buttons, Dialogs::Buttons::Ok);
    }
    EXPECT_EQ(shown(form()), "Ann");
}

class LogViewerEditing : public examo::testing::LogViewerTest {};

TEST_F(LogViewerEditing, TheEditMenuCutsCopiesPastesAndUndoesInTheTextBox) {
    QClipboard* clipboard = QApplication::clipboard();
    form().txtLog->setPlainText(QStringLiteral("Ann Bob"));
    QTextCursor c = form().txtLog->textCursor();
    c.setPosition(0);
    c.setPosition(4, QTextCursor::KeepAnchor);
    form().txtLog->setTextCursor(c);

    form().mnuEditCut->trigger();
    EXPECT_EQ(shown(form()), "Bob");
    EXPECT_EQ(clipboard->text(), QStringLiteral("Ann "));

    form().txtLog->moveCursor(QTextCursor::End);
    form().mnuEditPaste->trigger();
    EXPECT_EQ(shown(form()), "BobAnn ");

    form().mnuEditUndo->trigger();
    EXPECT_EQ(shown(form()), "Bob");

    form().txtLog->selectAll();
    form().mnuEditCopy->trigger();
    EXPECT_EQ(clipboard->text(), QStringLiteral("Bob"));
    EXPECT_EQ(shown(form()), "Bob");
}

TEST_F(LogViewerEditing, UndoTakesBackAWholeOpenedLog) {
    form().txtLog->setPlainText(QStringLiteral("notes"));
    openThroughMenu(form(),
                    writeLog("math.log", {finished("Ann", 7, 9, 75), finished("Bob", 3, 3, 45)}));
    form().mnuEditUndo_Click();
    EXPECT_EQ(shown(form()), "notes");
}

class LogViewerWindow : public examo::testing::LogViewerTest {};

TEST_F(LogViewerWindow, ItIsModelessAndExitForgetsTheFileAndCloses) {
    openThroughMenu(form(), writeLog("math.log", {finished("Ann", 7, 9, 75)}));
    form().show();
    EXPECT_FALSE(form().isModal());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);

    form().mnuExit->trigger();
    EXPECT_EQ(form().LogFileName, "");
    EXPECT_FALSE(form().isVisible());
}

} // namespace
