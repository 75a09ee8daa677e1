#pragma once

#include "app/desktop.h"
#include "creator/modcreate.h"
#include "platform/linux/linuxshell.h"
#include "platform/linux/qtsettingsstore.h"

namespace examo {

// The quiz creator's services on this desktop, given the boxes and file dialogs a person
// answers and the facts about the running program.
struct ExamoForgeDesktop : DesktopQuizServices {
    ExamoForgeDesktop(Dialogs& dialogs, FileDialogs& fileDialogs, ProgramInfo& program,
                      std::optional<QString> pdfFolder)
        : DesktopQuizServices(dialogs, QStringLiteral("ExamoForge"), std::move(pdfFolder)),
          services{.dialogs = dialogs,
                   .fileDialogs = fileDialogs,
                   .shell = shell,
                   .settings = settings,
                   .program = program,
                   .media = desktopMedia.media,
                   .pictures = pictures,
                   .printer = printer,
                   .clock = clock,
                   .speech = speech} {}

    LinuxShell shell;
    QtSettingsStore settings;
    LazyAviFileLibrary aviLibrary;
    CreatorServices services;
};

} // namespace examo
