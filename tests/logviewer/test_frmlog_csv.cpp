#include "logviewerfixture.h"

#include <QTest>

using namespace std::string_literals;
using examo::Dialogs;
using examo::testing::readBytes;

using LogViewerCsv = examo::testing::LogViewerTest;

namespace {

const std::string kHeader = "\xEF\xBB\xBFName,Score,Questions,Percent,Seconds,Date,Time\r\n";
const std::string kRow = ",7,9,77,75,2026-12-06,09:41\r\n";

} // namespace

TEST_F(LogViewerCsv, TheFileMenuOffersTheExportAfterTheTextFile) {
    const QList<QAction*> actions = form().mnuFile->actions();
    ASSERT_GE(actions.size(), 3);
    EXPECT_EQ(actions[1], form().mnuSave);
    EXPECT_EQ(actions[2], form().mnuExportCsv);
    EXPECT_EQ(form().mnuExportCsv->text(), QStringLiteral("&Export as CSV..."));
}

// È and Ï scramble into CR and LF in the log; a damaged last entry is exported as far as it
// reads, and said so.
TEST_F(LogViewerCsv, ExportWritesTheShownEntriesOneRowEachAndCountsTheDamagedOnes) {
    const std::string log = writeLog("math.log", {"Ann, \"Q\"", "\xC8ric \xCFsa", "M\xC8\xCFo"});
    const std::string logBytes = readBytes(log);
    examo::testing::writeBytes(
        log,
        logBytes + examo::testing::xorAll("Bob.    Score 7 of 9.  77%   Time spent 1 mi", 197));
    openThroughMenu(form(), log);
    // The teacher's correction goes into the spreadsheet as it is shown.
    QTest::keyClicks(form().txtLog, QStringLiteral("Mrs "));
    const std::string target = dir.path("math.csv");
    fileDialogs.paths.push_back(target);
    form().mnuExportCsv->trigger();
    EXPECT_EQ(readBytes(target), kHeader + "\"Mrs Ann, \"\"Q\"\"\"" + kRow +
                                     "\xC3\x88ric \xC3\x8Fsa" + kRow + "M\xC3\x88\xC3\x8Fo" + kRow +
                                     "Bob,7,9,77,,,\r\n");
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text,
              "1 entry could not be read in full and was exported as far as it could be read.");
    EXPECT_EQ(dialogs.messages[0].icon, Dialogs::Icon::Information);
    const auto& request = fileDialogs.calls.at(1).request;
    EXPECT_EQ(request.filter, "CSV Files (*.csv)\0*.csv\0\0"s);
    EXPECT_EQ(request.defaultExt, "csv");
    EXPECT_EQ(form().LogFileName, log) << "Print still heads the page with the log";
}

TEST_F(LogViewerCsv, ACancelledExportIsSilentAndFailuresAreToldWithoutTouchingTheLog) {
    const std::string log = writeLog("math.log", {"Ann"});
    const std::string logBytes = readBytes(log);
    openThroughMenu(form(), log);
    const std::string whole = dir.path("whole.csv");
    fileDialogs.paths = {std::nullopt, whole, dir.path("no such folder/math.csv"), log};
    for (int i = 0; i < 4; ++i)
        form().mnuExportCsv_Click();
    fileDialogs.failWith = "The dialog cannot be shown.";
    form().mnuExportCsv_Click();
    EXPECT_EQ(readBytes(whole), kHeader + "Ann" + kRow);
    EXPECT_EQ(dialogs.texts(),
              (std::vector<std::string>{
                  "There has been an error exporting this log as a CSV file.",
                  "A score log cannot be written over with its export.  Give the CSV file a name "
                  "of its own.",
                  "There has been an error exporting this log as a CSV file."}));
    EXPECT_EQ(readBytes(log), logBytes);
}
