// The creator with this desktop's real services; only the boxes a person answers are scripted.
#include "../storage/test_support.h"
#include "app/examoforge/examoforgedesktop.h"
#include "creator/examoforge.h"
#include "fakes/fakedialogs.h"
#include "fakes/fakefiledialogs.h"
#include "fakes/fakeprograminfo.h"
#include "logviewer/frmlog.h"
#include "storage/quizfile.h"
#include "storage/scorelog.h"
#include "support/tools.h"

#include <QCoreApplication>
#include <QPlainTextEdit>
#include <QStandardPaths>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

using namespace examo;
using examo::testing::TempFolder;

namespace {

struct CreatorEndToEnd : ::testing::Test, examo::testing::SilentAudio {
    TempFolder dir;
    fakes::FakeDialogs dialogs;
    fakes::FakeFileDialogs fileDialogs;
    fakes::FakeProgramInfo program;
};

} // namespace

TEST_F(CreatorEndToEnd, ALogOnTheCommandLineOpensInTheViewer) {
    scorelog::ScoreLogRecord entry;
    entry.studentName = "\xC8ric";
    entry.score = 2;
    entry.questionCount = 3;
    entry.percentText = "66";
    entry.timeText = "45 seconds";
    ASSERT_TRUE(scorelog::AppendEntry(dir.path("math.log"), entry));
    program.command = dir.path("math.log");
    ExamoForgeDesktop creatorDesktop(dialogs, fileDialogs, program, std::nullopt);
    ExamoForge creator(creatorDesktop.services, creatorDesktop.aviLibrary);
    creator.module().Main();
    auto* viewer = dynamic_cast<frmLog*>(creator.scoreLogViewer());
    ASSERT_NE(viewer, nullptr);
    EXPECT_TRUE(viewer->isVisible());
    EXPECT_TRUE(
        viewer->txtLog->toPlainText().startsWith(QStringLiteral("\u00C8ric.    Score 2 of 3.")));
    creator.window().close();
    QCoreApplication::processEvents();
    EXPECT_EQ(creator.scoreLogViewer(), nullptr); // closed with the creator
}

TEST_F(CreatorEndToEnd, TheRecentFilesReachTheSettingsFileAtExit) {
    const QString file = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
                         QStringLiteral("/ExamoForge/ExamoForge.conf");
    ASSERT_TRUE(
        quizfile::Write(dir.path("farm.exm"), "Farm", "Grade 3", {"t\xA9Q1\xA9none\xA9 0"}));
    {
        ExamoForgeDesktop creatorDesktop(dialogs, fileDialogs, program, std::nullopt);
        ExamoForge creator(creatorDesktop.services, creatorDesktop.aviLibrary);
        creator.module().Main();
        fileDialogs.paths.push_back(dir.path("farm.exm"));
        creator.window().mnuFileOpen->trigger();
        fileDialogs.paths.push_back(dir.path("Copy Of Farm.exm"));
        creator.window().cmdOkay->click();
        creator.window().close();
    }
    const std::string text = examo::testing::readBytes(file.toStdString());
    EXPECT_NE(text.find("[Settings]"), std::string::npos) << text;
    EXPECT_NE(text.find("MRU1=" + dir.path("Copy Of Farm.exm")), std::string::npos) << text;
    EXPECT_NE(text.find("MRU2=" + dir.path("farm.exm")), std::string::npos) << text;
    EXPECT_NE(text.find("MRU3=untitled"), std::string::npos) << text;
    EXPECT_NE(text.find("MRU4=untitled"), std::string::npos) << text;
    // The next start shows them again.
    ExamoForgeDesktop againDesktop(dialogs, fileDialogs, program, std::nullopt);
    ExamoForge again(againDesktop.services, againDesktop.aviLibrary);
    again.module().Main();
    EXPECT_EQ(again.window().mnuRecent[1]->text().toStdString(), dir.path("Copy Of Farm.exm"));
    EXPECT_TRUE(again.window().mnuFileRecent->menuAction()->isVisible());
    again.window().close();
}
