#pragma once

#include "app/desktop.h"
#include "platform/linux/freedesktopfiletypes.h"
#include "player/modexamo.h"

namespace examo {

// The quiz player's services on this desktop, given the boxes and file dialogs a person
// answers and the facts about the running program.
struct ExamoMeDesktop : DesktopQuizServices {
    ExamoMeDesktop(Dialogs& dialogs, FileDialogs& fileDialogs, ProgramInfo& program,
                   std::optional<QString> pdfFolder)
        : DesktopQuizServices(dialogs, QStringLiteral("ExamoMe"), std::move(pdfFolder)),
          quiz{.media = desktopMedia.media,
               .dialogs = dialogs,
               .clock = clock,
               .pictures = pictures,
               .printer = printer,
               .speech = speech},
          services{.quiz = quiz,
                   .fileDialogs = fileDialogs,
                   .fileTypes = fileTypes,
                   .program = program} {}

    FreedesktopFileTypes fileTypes;
    QuizServices quiz;
    PlayerServices services;
};

} // namespace examo
