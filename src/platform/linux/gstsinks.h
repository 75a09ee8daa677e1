#pragma once

#include <gst/gst.h>

namespace examo {

class GstEnvironment;

// A new, floating sound sink for one pipeline. Apart from the environment so that its users
// need no GStreamer headers.
GstElement* makeAudioSink(const GstEnvironment& env);

} // namespace examo
