#include "creator/creatormenus.h"

#include "quizrun/quizrun.h"
#include "storage/textrules.h"

namespace examo {

CreatorMenus::CreatorMenus(Shell& shell, Dialogs& dialogs, ProgramInfo& program, Speech& speech)
    : m_shell(shell), m_dialogs(dialogs), m_program(program), m_speech(speech) {}

void CreatorMenus::startTool(DesktopTool tool, const char* notFound) {
    // The desktop's program for the role, found on the search path and started in the
    // current folder; a desktop without one gets the tool's own message.
    if (!m_shell.startTool(tool, m_program.currentFolder()))
        m_dialogs.message(notFound, Dialogs::Buttons::Ok, Dialogs::Icon::Critical);
}

std::string CreatorMenus::missingToolNote(DesktopTool tool) {
    if (!m_shell.toolFor(tool).empty())
        return {};
    const char* role = "file manager";
    switch (tool) {
    case DesktopTool::TextEditor:
        role = "text editor";
        break;
    case DesktopTool::SoundRecorder:
        role = "sound recorder";
        break;
    case DesktopTool::PaintProgram:
        role = "paint program";
        break;
    case DesktopTool::FileManager:
        break;
    }
    return std::string("No ") + role + " is installed. Install " + m_shell.suggestedTool(tool) +
           " to use this.";
}

void CreatorMenus::mnuToolScore_Click() {
    if (showScoreLogs)
        showScoreLogs();
}

void CreatorMenus::mnuToolAVI_Click() {
    if (showAviMaker)
        showAviMaker();
}

void CreatorMenus::mnuToolNotepad_Click() {
    startTool(DesktopTool::TextEditor, "Notepad not found.");
}

void CreatorMenus::mnuToolSoundRecorder_Click() {
    startTool(DesktopTool::SoundRecorder, "Sound Recorder not found.");
}

void CreatorMenus::mnuToolPaint_Click() {
    startTool(DesktopTool::PaintProgram, "MS Paint not found.");
}

void CreatorMenus::mnuToolExplorer_Click() {
    startTool(DesktopTool::FileManager, "Explorer not found.");
}

void CreatorMenus::mnuHelpContents_Click() {
    if (showHelp)
        showHelp();
}

std::string CreatorMenus::aboutText() {
    const ProgramVersion v = m_program.version();
    return "ExamoMe Test Creator v" + text::Str(v.major) + "." + text::Str(v.minor) +
           "\r\nWrites multimedia quizzes for the ExamoMe quiz player.\r\n"
           "Made for classrooms by the ExamoMe team.";
}

void CreatorMenus::mnuHelpAbout_Click() {
    m_dialogs.message(aboutText() + readAloudNote(m_speech), Dialogs::Buttons::Ok,
                      Dialogs::Icon::Information, "About ExamoMe");
}

void CreatorMenus::mnuHelpWeb_Click() {
    m_shell.openUrl(kWebSite);
}

void CreatorMenus::mnuHelpAuthor_Click() {
    m_shell.openUrl(kAuthorMail);
}

} // namespace examo
