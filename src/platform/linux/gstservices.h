#pragma once

#include "platform/mediacommandservice.h"
#include "platform/waveplayer.h"

namespace examo {

class PercentShortPath;

// The GStreamer services of one program, made together as they share GStreamer.
class GstServices {
public:
    virtual ~GstServices() = default;
    virtual MediaCommandService& commands() = 0;
    virtual WavePlayer& waves() = 0;
    // Sets GStreamer up now rather than at the first sound.
    virtual void start() = 0;
};

// What the GStreamer module exports, and the name it exports it by.
using MakeGstServices = GstServices* (*)(const PercentShortPath& shortPaths);
inline constexpr const char* kMakeGstServices = "examo_make_gst_services";

} // namespace examo
