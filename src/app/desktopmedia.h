#pragma once

#include "media/modsound.h"
#include "platform/linux/gstenvironment.h"
#include "platform/linux/gstmediacommandservice.h"
#include "platform/linux/gstwaveplayer.h"
#include "platform/linux/percentshortpath.h"
#include "platform/linux/qteventpump.h"
#include "platform/linux/qtresources.h"

#include <QString>

#include <optional>
#include <string>

namespace examo {

// The media operations over this desktop's services, as both programs make them.
struct DesktopMedia {
    explicit DesktopMedia(Dialogs& dialogs)
        : media{commands, waves, shortPaths, resources, dialogs, events, {}} {}

    GstEnvironment gst;
    GstMediaCommandService commands{gst};
    GstWavePlayer waves{gst};
    PercentShortPath shortPaths;
    QtResources resources;
    QtEventPump events;
    modSound::Media media;
};

// Where printed documents go as PDF files when there is no printer: EXAMO_PRINT_TO_PDF, else
// the program's own PdfFolder setting in section [Printing]; none means the real printer.
std::optional<QString> configuredPdfFolder(const std::string& application);

} // namespace examo
