#pragma once

#include "fakes/fakedialogs.h"
#include "fakes/fakeeventpump.h"
#include "fakes/fakemedia.h"
#include "media/modsound.h"

namespace examo::fakes {

// The media operations' services, all fakes, and the media context over them.
struct FakeMediaServices {
    FakeMediaCommandService mci;
    FakeWavePlayer waves;
    FakeShortPath shortPaths;
    FakeResources resources;
    FakeDialogs dialogs;
    FakeEventPump pump;
    modSound::Media media{mci, waves, shortPaths, resources, dialogs, pump, {}};
};

} // namespace examo::fakes
