#include "avimaker/frmavi.h"
#include "creator/helpwindow.h"
#include "creatorfixture.h"
#include "logviewer/frmlog.h"
#include "support/captionfit.h"

using namespace examo;
using examo::testing::CreatorTest;

TEST_F(CreatorTest, EachToolStartsTheDesktopsProgramForItsRoleOrSaysItIsMissing) {
    struct Case {
        QAction* entry;
        DesktopTool tool;
        std::string missing;
    };
    program.current = "/home/teacher/quizzes";
    for (const Case& c :
         {Case{form.mnuToolNotepad, DesktopTool::TextEditor, "Notepad not found."},
          Case{form.mnuToolSoundRecorder, DesktopTool::SoundRecorder, "Sound Recorder not found."},
          Case{form.mnuToolPaint, DesktopTool::PaintProgram, "MS Paint not found."},
          Case{form.mnuToolExplorer, DesktopTool::FileManager, "Explorer not found."}}) {
        shell.tools.clear();
        dialogs.messages.clear();
        shell.toolResult = true;
        c.entry->trigger();
        ASSERT_EQ(shell.tools.size(), 1u) << c.missing;
        EXPECT_EQ(shell.tools[0].tool, c.tool) << c.missing;
        EXPECT_TRUE(dialogs.messages.empty());
        shell.toolResult = false;
        c.entry->trigger();
        ASSERT_EQ(dialogs.messages.size(), 1u);
        EXPECT_EQ(dialogs.messages[0].text, c.missing);
        EXPECT_EQ(dialogs.messages[0].icon, Dialogs::Icon::Critical);
    }
    EXPECT_EQ(shell.tools[0].folder, "/home/teacher/quizzes"); // the file manager starts here
}

TEST_F(CreatorTest, AToolWithNoProgramInstalledIsDisabledAndSaysWhatToInstall) {
    EXPECT_EQ(form.mnuToolNotepad->text().toStdString(), "&Text Editor");
    EXPECT_EQ(form.mnuToolSoundRecorder->text().toStdString(), "&Sound Recorder");
    EXPECT_EQ(form.mnuToolPaint->text().toStdString(), "Paint Progra&m");
    EXPECT_EQ(form.mnuToolExplorer->text().toStdString(), "&File Manager");
    EXPECT_TRUE(form.mnuToolPaint->isEnabled());
    // Looked at again each time the menu opens: a paint program uninstalled, then put back.
    shell.missingTools = {DesktopTool::PaintProgram};
    Q_EMIT form.mnuToolS->aboutToShow();
    EXPECT_FALSE(form.mnuToolPaint->isEnabled());
    EXPECT_EQ(form.mnuToolPaint->toolTip().toStdString(),
              "No paint program is installed. Install tool-2 to use this.");
    EXPECT_TRUE(form.mnuToolNotepad->isEnabled());
    shell.missingTools.clear();
    Q_EMIT form.mnuToolS->aboutToShow();
    EXPECT_TRUE(form.mnuToolPaint->isEnabled());
}

TEST_F(CreatorTest, AboutWebAndMail) {
    form.mnuHelpAbout->trigger();
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].title, "About ExamoMe");
    EXPECT_EQ(dialogs.messages[0].icon, Dialogs::Icon::Information);
    EXPECT_EQ(dialogs.messages[0].text.rfind("ExamoMe Test Creator v 1. 0\r\n", 0), 0u);
    form.mnuHelpWeb->trigger();
    shell.urlResult = false; // no mail program: nothing is reported
    form.mnuHelpAuthor->trigger();
    ASSERT_EQ(shell.urls.size(), 2u);
    EXPECT_EQ(shell.urls[0].rfind("https://", 0), 0u);
    EXPECT_EQ(shell.urls[1].rfind("mailto:", 0), 0u);
    EXPECT_NE(shell.urls[1].find("?Subject=ExamoMe"), std::string::npos);
    EXPECT_EQ(dialogs.messages.size(), 1u);
    // Without a speech engine, the About box says what reading aloud in the previewer needs.
    EXPECT_EQ(dialogs.messages[0].text.find("speech"), std::string::npos);
    speech.engine = false;
    form.mnuHelpAbout->trigger();
    EXPECT_NE(dialogs.messages.back().text.find("Reading aloud (F5) needs a speech engine"),
              std::string::npos);
}

TEST_F(CreatorTest, EachCompanionWindowOpensFromItsOwnEntryAndClosesWithTheCreator) {
    start();
    form.mnuToolScore->trigger();
    QWidget* const viewer = forge.scoreLogViewer();
    EXPECT_NE(dynamic_cast<frmLog*>(viewer), nullptr);
    // Asked again, the one viewer comes forward.
    form.mnuToolScore->trigger();
    EXPECT_EQ(forge.scoreLogViewer(), viewer);
    EXPECT_EQ(forge.aviMaker(), nullptr);
    form.mnuToolAVI->trigger();
    EXPECT_NE(dynamic_cast<frmAVI*>(forge.aviMaker()), nullptr);
    EXPECT_EQ(forge.helpWindow(), nullptr);
    form.mnuHelpContents->trigger();
    EXPECT_NE(dynamic_cast<HelpWindow*>(forge.helpWindow()), nullptr);
    form.close();
    QCoreApplication::processEvents();
    EXPECT_EQ(forge.scoreLogViewer(), nullptr);
    EXPECT_EQ(forge.aviMaker(), nullptr);
    EXPECT_EQ(forge.helpWindow(), nullptr);
}

TEST_F(CreatorTest, EveryCaptionFitsItsControl) {
    start();
    EXPECT_EQ(examo::testing::captionsCutOff(form), "");
    // The run-time captions too, each in its control.
    const std::pair<QWidget*, const char*> runTime[] = {
        {form.lblPreview, "Picture Thumbnail"}, {form.lblPreview, "Picture Preview"},
        {form.lblPreview, "MPEG Preview"},      {form.lblPreview, "Midi Preview"},
        {form.lblPreview, "MP3 Preview"},       {form.cmdPlaywav, "Play Midi"},
        {form.cmdPlaywav, "Play MP3"},          {form.lblNumber, "Question # 100"}};
    for (const auto& [control, caption] : runTime) {
        if (auto* label = qobject_cast<QLabel*>(control))
            label->setText(QString::fromLatin1(caption));
        else
            static_cast<QPushButton*>(control)->setText(QString::fromLatin1(caption));
        EXPECT_EQ(examo::testing::captionsCutOff(form), "");
    }
    EXPECT_EQ(examo::testing::captionsCutOff(mod.askDialog()), "");
    form.mnuToolScore->trigger();
    form.mnuToolAVI->trigger();
    form.mnuHelpContents->trigger();
    for (QWidget* window : {forge.scoreLogViewer(), forge.aviMaker(), forge.helpWindow()}) {
        ASSERT_NE(window, nullptr);
        EXPECT_EQ(examo::testing::captionsCutOff(*window), "")
            << window->objectName().toStdString();
    }
}
