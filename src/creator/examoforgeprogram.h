#pragma once

#include "creator/creatormenus.h"
#include "creator/dlgask.h"
#include "creator/frmcreate.h"
#include "creator/modcreate.h"
#include "platform/linux/gstenvironment.h"
#include "platform/linux/gstmediacommandservice.h"
#include "platform/linux/gstwaveplayer.h"
#include "platform/linux/linuxshell.h"
#include "platform/linux/magickpictureloader.h"
#include "platform/linux/percentshortpath.h"
#include "platform/linux/qtdialogs.h"
#include "platform/linux/qteventpump.h"
#include "platform/linux/qtfiledialogs.h"
#include "platform/linux/qtprinter.h"
#include "platform/linux/qtprograminfo.h"
#include "platform/linux/qtresources.h"
#include "platform/linux/qtsettingsstore.h"
#include "platform/linux/systemclock.h"

#include <QPointer>

#include <optional>

namespace examo {

// The quiz creator: its services on this desktop, its main window and its quiz store, made
// once in main() and alive for the whole run.
// Stand-ins for the services a person answers, for running the program under test.
struct ExamoForgeOverrides {
    Dialogs* dialogs = nullptr;
    FileDialogs* fileDialogs = nullptr;
    ProgramInfo* program = nullptr;
};

class ExamoForgeProgram {
public:
    explicit ExamoForgeProgram(std::optional<QString> pdfFolder,
                               ExamoForgeOverrides overrides = {});

    frmCreate& window() { return m_form; }
    modCreate& module() { return m_module; }
    CreatorMenus& menus() { return m_menus; }
    QWidget* scoreLogViewer() const { return m_log; }
    QWidget* helpWindow() const { return m_help; }

    // Shows a new score log viewer; it opens the log the command line names.
    void showScoreLogs();
    void showHelp();

private:
    GstEnvironment m_gst;
    GstMediaCommandService m_commands{m_gst};
    GstWavePlayer m_waves{m_gst};
    PercentShortPath m_shortPaths;
    QtResources m_resources;
    QtDialogs m_qtDialogs{"ExamoForge"};
    QtFileDialogs m_qtFileDialogs;
    QtProgramInfo m_qtProgram{"ExamoForge", ProgramVersion{1, 0, 0}};
    Dialogs& m_dialogs;
    FileDialogs& m_fileDialogs;
    ProgramInfo& m_program;
    QtEventPump m_events;
    modSound::Media m_media{m_commands, m_waves, m_shortPaths, m_resources, m_dialogs,
                            m_events,   {}};
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
};

} // namespace examo
