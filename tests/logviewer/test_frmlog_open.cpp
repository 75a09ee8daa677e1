#include "logviewerfixture.h"

#include <QCoreApplication>
#include <QPointer>
#include <QTimer>

#include <filesystem>
#include <sys/stat.h>

using namespace examo;
using namespace std::string_literals;
using examo::testing::entry;
using examo::testing::readBytes;
using examo::testing::writeBytes;

using LogViewerOpening = examo::testing::LogViewerTest;

TEST_F(LogViewerOpening, EntriesShowInFileOrderEachFollowedByAnEmptyLine) {
    // È and Ï scramble into CR and LF: a reader splitting there would break the entries.
    const std::string log = writeLog("math.log", {"\xC8ric", "\xCFsabel M\xFCller", "Cid"});
    openThroughMenu(form(), log);
    EXPECT_EQ(shown(form()), entry("\xC3\x88ric") + "\n\n" + entry("\xC3\x8Fsabel M\xC3\xBCller") +
                                 "\n\n" + entry("Cid") + "\n\n");
    EXPECT_TRUE(caretAtStart(form()));
    EXPECT_EQ(form().LogFileName, log);
    EXPECT_EQ(fileDialogs.calls.at(0).request.filter, "Score Logs (*.log)\0*.log\0\0"s);
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(LogViewerOpening, ALogGoesWhereTheCaretStandsAndUndoTakesItBack) {
    openThroughMenu(form(), writeLog("first.log", {"Ann"}));
    openThroughMenu(form(), writeLog("second.log", {"Bob"}));
    EXPECT_EQ(shown(form()), entry("Bob") + "\n\n" + entry("Ann") + "\n\n");
    form().txtLog->moveCursor(QTextCursor::End);
    openThroughMenu(form(), writeLog("third.log", {"Cid"}));
    EXPECT_EQ(shown(form()), entry("Bob") + "\n\n" + entry("Ann") + "\n\n" + entry("Cid") + "\n\n");
    EXPECT_TRUE(caretAtStart(form()));
    form().mnuEditUndo_Click();
    EXPECT_EQ(shown(form()), entry("Bob") + "\n\n" + entry("Ann") + "\n\n");
    // A selection is replaced by the log, as typing would replace it; an empty log adds nothing.
    form().txtLog->selectAll();
    openThroughMenu(form(), dir.path("first.log"));
    EXPECT_EQ(shown(form()), entry("Ann") + "\n\n");
    form().txtLog->selectAll();
    openThroughMenu(form(), writeLog("empty.log", {}));
    EXPECT_EQ(shown(form()), entry("Ann") + "\n\n");
    EXPECT_TRUE(caretAtStart(form()));
}

// A log too large to take in at once goes in by pieces, with the window answering between them
// but taking no edits or commands until the whole log is in.
TEST_F(LogViewerOpening, ALargeLogGoesInByPiecesAsOneUndoStepWithTheWindowAnsweringMeanwhile) {
    const std::string one = readBytes(writeLog("one.log", {"Ann"}));
    std::string many;
    const std::size_t count = 3 * frmLog::kPieceChars / one.size();
    for (std::size_t i = 0; i < count; ++i)
        many += one;
    writeBytes(dir.path("many.log"), many);
    form().txtLog->setPlainText(QStringLiteral("kept"));

    int passes = 0;
    bool lockedMeanwhile = true;
    QTimer pass;
    QObject::connect(&pass, &QTimer::timeout, [&] {
        ++passes;
        lockedMeanwhile = lockedMeanwhile && form().txtLog->isReadOnly() &&
                          !form().mnuOpen->isEnabled() && !form().mnuEditUndo->isEnabled();
    });
    pass.start(0);
    openThroughMenu(form(), dir.path("many.log"));
    pass.stop();
    EXPECT_GE(passes, 2);
    EXPECT_TRUE(lockedMeanwhile);
    EXPECT_FALSE(form().txtLog->isReadOnly());
    EXPECT_TRUE(form().mnuOpen->isEnabled());
    EXPECT_EQ(form().txtLog->document()->blockCount(), int(2 * count + 1));
    EXPECT_EQ(shown(form()).substr(0, entry("Ann").size() + 2), entry("Ann") + "\n\n");
    EXPECT_TRUE(caretAtStart(form()));
    form().mnuEditUndo_Click();
    EXPECT_EQ(shown(form()), "kept");
}

TEST_F(LogViewerOpening, AViewerClosedWhileALargeLogGoesInIsGoneWithoutHarm) {
    const std::string one = readBytes(writeLog("one.log", {"Ann"}));
    std::string many;
    for (std::size_t i = 0; i < 2 * frmLog::kPieceChars / one.size(); ++i)
        many += one;
    writeBytes(dir.path("many.log"), many);
    QPointer<frmLog> closing = viewer().release();
    closing->setAttribute(Qt::WA_DeleteOnClose); // as the creator makes it
    QTimer::singleShot(0, closing, [&] { closing->close(); });
    openThroughMenu(*closing, dir.path("many.log"));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(closing, nullptr);
}

TEST_F(LogViewerOpening, CancelledOrMissingLogsSayNothingAndOnesThatCannotBeShownSaySo) {
    form().txtLog->setPlainText(QStringLiteral("kept"));
    fileDialogs.paths.push_back(std::nullopt);
    form().mnuOpen_Click(); // cancelled
    openThroughMenu(form(), dir.path("gone.log"));
    EXPECT_TRUE(dialogs.messages.empty());

    // A named pipe would block a plain open for good; a log over the limit is not read at all.
    const std::string pipe = dir.path("pipe.log");
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    const std::string huge = dir.path("huge.log");
    std::filesystem::resize_file(writeLog("huge.log", {"Ann"}), scorelog::kMaxLogBytes + 1);
    openThroughMenu(form(), dir.folder());
    openThroughMenu(form(), pipe);
    openThroughMenu(form(), huge);
    ASSERT_EQ(dialogs.messages.size(), 3u);
    EXPECT_EQ(dialogs.messages[0].text, "The score log " + dir.folder() + " cannot be read.");
    EXPECT_EQ(dialogs.messages[1].text, "The score log " + pipe + " cannot be read.");
    EXPECT_EQ(dialogs.messages[2].text, "The score log " + huge +
                                            " is too large to show.  Logs of up to 64 MB can be "
                                            "shown.");
    EXPECT_EQ(dialogs.messages[2].icon, Dialogs::Icon::Critical);
    EXPECT_EQ(shown(form()), "kept");
}

TEST_F(LogViewerOpening, OnlyAnArgumentEndingInLogAfterItsFileNamesFirstFullStopIsOpened) {
    const std::string upper = writeLog("MATH.LOG", {"Ann"});
    auto opened = viewer(upper + "\r\nsecond line"); // only the first line counts
    EXPECT_EQ(shown(*opened), entry("Ann") + "\n\n") << "the creator hands over .LOG files too";
    EXPECT_EQ(opened->LogFileName, upper);
    for (const std::string& commandLine :
         {upper + "x", std::string("log"), dir.path("math.log.bak")})
        EXPECT_EQ(viewer(commandLine)->LogFileName, "") << commandLine;
    EXPECT_EQ(shown(*viewer(dir.path("missing.log"))), "");
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(LogViewerOpening, ALogInADottedFolderOpensByFullOrRelativeNameAndThroughTheMenu) {
    std::filesystem::create_directories(dir.path("x/a.b/c"));
    const std::string log = writeLog("x/a.b/c/quiz.log", {"Ann"});
    const auto oldFolder = std::filesystem::current_path();
    std::filesystem::current_path(dir.path("x"));
    for (const std::string& commandLine : {log, std::string("a.b/c/quiz.log")}) {
        auto opened = viewer(commandLine);
        EXPECT_EQ(opened->LogFileName, log) << commandLine; // absolute from the start
        EXPECT_EQ(shown(*opened), entry("Ann") + "\n\n") << commandLine;
    }
    std::filesystem::current_path(oldFolder);
    openThroughMenu(form(), log);
    EXPECT_EQ(shown(form()), entry("Ann") + "\n\n");
}
