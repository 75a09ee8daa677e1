#pragma once

#include "media/modsound.h"
#include "platform/linux/lazyservices.h"
#include "platform/linux/percentshortpath.h"
#include "platform/linux/qtdialogs.h"
#include "platform/linux/qteventpump.h"
#include "platform/linux/qtfiledialogs.h"
#include "platform/linux/qtprinter.h"
#include "platform/linux/qtprograminfo.h"
#include "platform/linux/qtresources.h"
#include "platform/linux/qtspeech.h"
#include "platform/linux/systemclock.h"

#include <QString>

#include <optional>
#include <string>
#include <thread>

namespace examo {

// What a person answers on this desktop, and the facts about the running program.
struct DesktopPerson {
    explicit DesktopPerson(const std::string& title)
        : dialogs(title), program(title, ProgramVersion{1, 0, 0}) {}

    QtDialogs dialogs;
    QtFileDialogs fileDialogs;
    QtProgramInfo program;
};

// The media operations over this desktop's services, as both programs make them.
struct DesktopMedia {
    explicit DesktopMedia(Dialogs& dialogs)
        : media{gst.commands(), gst.waves(), shortPaths, resources, dialogs, events, {}} {}
    ~DesktopMedia();
    DesktopMedia(const DesktopMedia&) = delete;
    DesktopMedia& operator=(const DesktopMedia&) = delete;

    // Sets GStreamer up on a thread of its own once the window is up, so that the first
    // sound does not wait for it: seconds when its plugin cache must be made anew.
    void warmUpInBackground();

    PercentShortPath shortPaths;
    LazyGstServices gst{shortPaths};
    QtResources resources;
    QtEventPump events;
    modSound::Media media;
    std::thread warmUp;
};

// The services both programs take quizzes with: media, the clock, pictures, the printer,
// whose PDF files are named after the program, and reading aloud.
struct DesktopQuizServices {
    DesktopQuizServices(Dialogs& dialogs, const QString& program, std::optional<QString> pdfFolder)
        : desktopMedia(dialogs), printer(program, std::move(pdfFolder)) {}

    DesktopMedia desktopMedia;
    SystemClock clock;
    LazyPictureLoader pictures;
    QtPrinter printer;
    QtSpeech speech;
};

// Where printed documents go as PDF files when there is no printer: EXAMO_PRINT_TO_PDF, else
// the program's own PdfFolder setting in section [Printing]; none means the real printer.
std::optional<QString> configuredPdfFolder(const std::string& application);

// The application's name and window icon, before any window is made.
void nameApplication(const QString& name, const QString& iconPath);

// Work for after the window is shown: queued, it runs once the event loop does.
void afterFirstShow(DesktopMedia& media);

} // namespace examo
