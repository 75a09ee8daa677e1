#pragma once

#include "media/modsound.h"
#include "platform/filedialogs.h"
#include "platform/linux/gstenvironment.h"
#include "platform/linux/gstmediacommandservice.h"
#include "platform/linux/gstwaveplayer.h"
#include "platform/linux/percentshortpath.h"
#include "platform/linux/qteventpump.h"
#include "platform/linux/qtresources.h"
#include "platform/programinfo.h"

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

// Stand-ins for the services a person answers, for running a program under test.
struct PersonOverrides {
    Dialogs* dialogs = nullptr;
    FileDialogs* fileDialogs = nullptr;
    ProgramInfo* program = nullptr;
};

} // namespace examo
