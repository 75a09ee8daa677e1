#pragma once

#include <gst/gst.h>

namespace examo {

class GstEnvironment;

// New, floating sinks for one pipeline. Apart from the environment so that its users need
// no GStreamer headers.
GstElement* makeAudioSink(const GstEnvironment& env);
// The sink for a movie shown in a native X11 window, or a silent one without a display.
GstElement* makeVideoSink(const GstEnvironment& env);

} // namespace examo
