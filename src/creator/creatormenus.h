#pragma once

#include "platform/dialogs.h"
#include "platform/programinfo.h"
#include "platform/shell.h"
#include "platform/speech.h"

#include <functional>
#include <string>

namespace examo {

// The Tools and Help menus of the creator: the desktop's own programs for preparing media,
// the companion windows, the help, the version box, the web site and mail.
class CreatorMenus {
public:
    static constexpr const char* kWebSite = "https://examome.example.org/";
    static constexpr const char* kAuthorMail = "mailto:author@examome.example.org?Subject=ExamoMe";

    CreatorMenus(Shell& shell, Dialogs& dialogs, ProgramInfo& program, Speech& speech);

    // The windows the program makes on demand.
    std::function<void()> showScoreLogs;
    std::function<void()> showAviMaker;
    std::function<void()> showHelp;

    void mnuToolScore_Click();
    void mnuToolAVI_Click();
    void mnuToolNotepad_Click();
    void mnuToolSoundRecorder_Click();
    void mnuToolPaint_Click();
    void mnuToolExplorer_Click();
    void mnuHelpContents_Click();
    void mnuHelpAbout_Click();
    void mnuHelpWeb_Click();
    void mnuHelpAuthor_Click();

    std::string aboutText();
    // Why the role's entry cannot be used and what to install; empty when it can.
    std::string missingToolNote(DesktopTool tool);

private:
    void startTool(DesktopTool tool, const char* notFound);

    Shell& m_shell;
    Dialogs& m_dialogs;
    ProgramInfo& m_program;
    Speech& m_speech; // the previewer reads aloud with it
};

} // namespace examo
