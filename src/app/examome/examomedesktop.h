#pragma once

#include "app/desktopmedia.h"
#include "platform/linux/freedesktopfiletypes.h"
#include "platform/linux/magickpictureloader.h"
#include "platform/linux/qtprinter.h"
#include "platform/linux/systemclock.h"
#include "player/modexamo.h"

namespace examo {

// The quiz player's services on this desktop, given the boxes and file dialogs a person
// answers and the facts about the running program.
struct ExamoMeDesktop {
    ExamoMeDesktop(Dialogs& dialogs, FileDialogs& fileDialogs, ProgramInfo& program,
                   std::optional<QString> pdfFolder)
        : desktopMedia(dialogs),
          printer(QStringLiteral("ExamoMe"), std::move(pdfFolder)), quiz{.media =
                                                                             desktopMedia.media,
                                                                         .dialogs = dialogs,
                                                                         .clock = clock,
                                                                         .pictures = pictures,
                                                                         .printer = printer},
          services{.quiz = quiz,
                   .fileDialogs = fileDialogs,
                   .fileTypes = fileTypes,
                   .program = program} {}

    DesktopMedia desktopMedia;
    SystemClock clock;
    MagickPictureLoader pictures;
    QtPrinter printer;
    FreedesktopFileTypes fileTypes;
    QuizServices quiz;
    PlayerServices services;
};

} // namespace examo
