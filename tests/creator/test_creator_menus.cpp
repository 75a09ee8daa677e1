#include "creator/creatormenus.h"
#include "fakes/fakedialogs.h"
#include "fakes/fakeprograminfo.h"
#include "fakes/fakeshell.h"

#include <gtest/gtest.h>

using namespace examo;

namespace {

struct Menus : ::testing::Test {
    fakes::FakeShell shell;
    fakes::FakeDialogs dialogs;
    fakes::FakeProgramInfo program;
    CreatorMenus menus{shell, dialogs, program};
};

} // namespace

TEST_F(Menus, EachToolStartsTheDesktopsProgramForItsRole) {
    program.current = "/home/teacher/quizzes";
    menus.mnuToolNotepad_Click();
    menus.mnuToolSoundRecorder_Click();
    menus.mnuToolPaint_Click();
    menus.mnuToolExplorer_Click();
    ASSERT_EQ(shell.tools.size(), 4u);
    EXPECT_EQ(shell.tools[0].tool, DesktopTool::TextEditor);
    EXPECT_EQ(shell.tools[1].tool, DesktopTool::SoundRecorder);
    EXPECT_EQ(shell.tools[2].tool, DesktopTool::PaintProgram);
    EXPECT_EQ(shell.tools[3].tool, DesktopTool::FileManager);
    EXPECT_EQ(shell.tools[3].folder, "/home/teacher/quizzes");
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(Menus, AToolThatIsNotInstalledGetsItsOwnMessage) {
    shell.toolResult = false;
    menus.mnuToolNotepad_Click();
    menus.mnuToolSoundRecorder_Click();
    menus.mnuToolPaint_Click();
    menus.mnuToolExplorer_Click();
    ASSERT_EQ(dialogs.messages.size(), 4u);
    EXPECT_EQ(dialogs.messages[0].text, "Notepad not found.");
    EXPECT_EQ(dialogs.messages[1].text, "Sound Recorder not found.");
    EXPECT_EQ(dialogs.messages[2].text, "MS Paint not found.");
    EXPECT_EQ(dialogs.messages[3].text, "Explorer not found.");
    for (const auto& m : dialogs.messages)
        EXPECT_EQ(m.icon, Dialogs::Icon::Critical);
}

TEST_F(Menus, AboutWebAndMail) {
    menus.mnuHelpAbout_Click();
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].title, "About ExamoMe");
    EXPECT_EQ(dialogs.messages[0].icon, Dialogs::Icon::Information);
    EXPECT_EQ(dialogs.messages[0].text.rfind("ExamoMe Test Creator v 1. 0\r\n", 0), 0u);
    menus.mnuHelpWeb_Click();
    shell.urlResult = false; // no mail program: nothing is reported
    menus.mnuHelpAuthor_Click();
    ASSERT_EQ(shell.urls.size(), 2u);
    EXPECT_EQ(shell.urls[0].rfind("https://", 0), 0u);
    EXPECT_EQ(shell.urls[1].rfind("mailto:", 0), 0u);
    EXPECT_NE(shell.urls[1].find("?Subject=ExamoMe"), std::string::npos);
    EXPECT_EQ(dialogs.messages.size(), 1u);
}

TEST_F(Menus, TheCompanionWindowsAndHelpOpenThroughTheProgram) {
    int logs = 0, avis = 0, helps = 0;
    menus.showScoreLogs = [&] { ++logs; };
    menus.showAviMaker = [&] { ++avis; };
    menus.showHelp = [&] { ++helps; };
    menus.mnuToolScore_Click();
    menus.mnuToolAVI_Click();
    menus.mnuHelpContents_Click();
    EXPECT_EQ(logs + avis + helps, 3);
}
