#pragma once

#include "app/desktopmedia.h"
#include "creator/modcreate.h"
#include "platform/linux/ffmpegavifilelibrary.h"
#include "platform/linux/linuxshell.h"
#include "platform/linux/magickpictureloader.h"
#include "platform/linux/qtprinter.h"
#include "platform/linux/qtsettingsstore.h"
#include "platform/linux/systemclock.h"

namespace examo {

// The quiz creator's services on this desktop, given the boxes and file dialogs a person
// answers and the facts about the running program.
struct ExamoForgeDesktop {
    ExamoForgeDesktop(Dialogs& dialogs, FileDialogs& fileDialogs, ProgramInfo& program,
                      std::optional<QString> pdfFolder)
        : desktopMedia(dialogs), printer(QStringLiteral("ExamoForge"), std::move(pdfFolder)),
          services{.dialogs = dialogs,
                   .fileDialogs = fileDialogs,
                   .shell = shell,
                   .settings = settings,
                   .program = program,
                   .media = desktopMedia.media,
                   .pictures = pictures,
                   .printer = printer,
                   .clock = clock} {}

    DesktopMedia desktopMedia;
    LinuxShell shell;
    QtSettingsStore settings;
    MagickPictureLoader pictures;
    QtPrinter printer;
    SystemClock clock;
    FfmpegAviFileLibrary aviLibrary;
    CreatorServices services;
};

} // namespace examo
