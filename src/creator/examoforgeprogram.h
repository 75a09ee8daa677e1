#pragma once

#include "creator/creatormenus.h"
#include "creator/dlgask.h"
#include "creator/frmcreate.h"
#include "creator/modcreate.h"
#include "platform/linux/desktopmedia.h"
#include "platform/linux/ffmpegavifilelibrary.h"
#include "platform/linux/linuxshell.h"
#include "platform/linux/magickpictureloader.h"
#include "platform/linux/qtdialogs.h"
#include "platform/linux/qtfiledialogs.h"
#include "platform/linux/qtprinter.h"
#include "platform/linux/qtprograminfo.h"
#include "platform/linux/qtsettingsstore.h"
#include "platform/linux/systemclock.h"

#include <QPointer>

#include <optional>

namespace examo {

// The quiz creator: its services on this desktop, its main window and its quiz store, made
// once in main() and alive for the whole run.
using ExamoForgeOverrides = PersonOverrides;

class ExamoForgeProgram {
public:
    explicit ExamoForgeProgram(std::optional<QString> pdfFolder,
                               ExamoForgeOverrides overrides = {});

    frmCreate& window() { return m_form; }
    modCreate& module() { return m_module; }
    CreatorMenus& menus() { return m_menus; }
    QWidget* scoreLogViewer() const { return m_log; }
    QWidget* helpWindow() const { return m_help; }
    QWidget* aviMaker() const { return m_avi; }

    // Shows a new score log viewer; it opens the log the command line names.
    void showScoreLogs();
    void showHelp();
    void showAviMaker();

private:
    QtDialogs m_qtDialogs{"ExamoForge"};
    QtFileDialogs m_qtFileDialogs;
    QtProgramInfo m_qtProgram{"ExamoForge", ProgramVersion{1, 0, 0}};
    Dialogs& m_dialogs;
    FileDialogs& m_fileDialogs;
    ProgramInfo& m_program;
    DesktopMedia m_desktopMedia{m_dialogs};
    modSound::Media& m_media = m_desktopMedia.media;
    LinuxShell m_shell;
    QtSettingsStore m_settings;
    MagickPictureLoader m_pictures;
    QtPrinter m_printer;
    SystemClock m_clock;
    CreatorServices m_services{m_dialogs, m_fileDialogs, m_shell,   m_settings, m_program,
                               m_media,   m_pictures,    m_printer, m_clock};
    frmCreate m_form;
    modCreate m_module{m_form, m_services};
    CreatorMenus m_menus{m_shell, m_dialogs, m_program};
    QPointer<QWidget> m_log;
    QPointer<QWidget> m_help;
    FfmpegAviFileLibrary m_aviLibrary;
    QPointer<QWidget> m_avi;
};

} // namespace examo
