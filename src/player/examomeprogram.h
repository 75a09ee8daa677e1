#pragma once

#include "platform/linux/desktopmedia.h"
#include "platform/linux/freedesktopfiletypes.h"
#include "platform/linux/magickpictureloader.h"
#include "platform/linux/qtdialogs.h"
#include "platform/linux/qtfiledialogs.h"
#include "platform/linux/qtprinter.h"
#include "platform/linux/qtprograminfo.h"
#include "platform/linux/systemclock.h"
#include "player/frmexamome.h"
#include "player/modexamo.h"

#include <optional>

namespace examo {

// The quiz player: its services on this desktop, its window and its quiz state, made once
// in main() and alive for the whole run.
using ExamoMeOverrides = PersonOverrides;

class ExamoMeProgram {
public:
    using Overrides = ExamoMeOverrides;

    // pdfFolder: where printed documents go as PDF files when there is no printer.
    explicit ExamoMeProgram(std::optional<QString> pdfFolder, Overrides overrides = {});

    frmExamoMe& window() { return m_form; }
    modExamo& module() { return m_module; }
    QtPrinter& printer() { return m_printer; }

    // The folder for PDF output: EXAMO_PRINT_TO_PDF, else the reader's own setting.
    static std::optional<QString> configuredPdfFolder();

private:
    QtDialogs m_qtDialogs{"ExamoMe"};
    QtFileDialogs m_qtFileDialogs;
    QtProgramInfo m_qtProgram{"ExamoMe", ProgramVersion{1, 0, 0}};
    Dialogs& m_dialogs;
    FileDialogs& m_fileDialogs;
    ProgramInfo& m_program;
    DesktopMedia m_desktopMedia{m_dialogs};
    modSound::Media& m_media = m_desktopMedia.media;
    SystemClock m_clock;
    MagickPictureLoader m_pictures;
    QtPrinter m_printer;
    QuizServices m_quiz{m_media, m_dialogs, m_clock, m_pictures, m_printer};
    FreedesktopFileTypes m_fileTypes;
    PlayerServices m_services{m_quiz, m_fileDialogs, m_fileTypes, m_program};
    frmExamoMe m_form;
    modExamo m_module{m_form, m_services};
};

} // namespace examo
