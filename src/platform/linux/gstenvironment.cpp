#include "platform/linux/gstenvironment.h"
#include "platform/linux/gstsinks.h"

#include <gst/gst.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>

namespace examo {

namespace {

bool envIs(const char* name, const char* value) {
    const char* v = std::getenv(name);
    return v != nullptr && std::strcmp(v, value) == 0;
}

// A sound server's socket or a sound card; without either, asking the audio libraries would
// only fill the terminal with their complaints.
bool anySoundOutput() {
    std::error_code ec;
    if (std::filesystem::exists("/dev/snd", ec))
        return true;
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime == nullptr || *runtime == '\0')
        return false;
    const std::filesystem::path dir(runtime);
    return std::filesystem::exists(dir / "pulse" / "native", ec) ||
           std::filesystem::exists(dir / "pipewire-0", ec);
}

// A sound device is there when the desktop's automatic sink can be opened.
bool probeSoundDevice() {
    if (envIs("EXAMO_AUDIO", "silent") || !anySoundOutput())
        return false;
    GstElement* sink = gst_element_factory_make("autoaudiosink", nullptr);
    if (sink == nullptr)
        return false;
    gst_object_ref_sink(sink);
    const bool ok = gst_element_set_state(sink, GST_STATE_READY) != GST_STATE_CHANGE_FAILURE;
    gst_element_set_state(sink, GST_STATE_NULL);
    gst_object_unref(sink);
    return ok;
}

bool probeX11Display() {
    const char* display = std::getenv("DISPLAY");
    if (display == nullptr || *display == '\0')
        return false;
    // Under Qt's offscreen platform there are no native windows to draw into.
    const char* qpa = std::getenv("QT_QPA_PLATFORM");
    return qpa == nullptr || *qpa == '\0' || std::strncmp(qpa, "xcb", 3) == 0;
}

GstElement* silentSink(const char* factory) {
    GstElement* sink = gst_element_factory_make(factory, nullptr);
    if (sink != nullptr)
        g_object_set(sink, "sync", TRUE, nullptr); // keep real time
    return sink;
}

} // namespace

GstEnvironment::GstEnvironment() {
    gst_init(nullptr, nullptr);
    m_sound = probeSoundDevice();
    m_x11 = probeX11Display();
}

GstElement* makeAudioSink(const GstEnvironment& env) {
    if (env.hasSoundDevice()) {
        if (GstElement* sink = gst_element_factory_make("autoaudiosink", nullptr))
            return sink;
    }
    return silentSink("fakesink");
}

GstElement* makeVideoSink(const GstEnvironment& env) {
    if (env.hasX11Display()) {
        if (GstElement* sink = gst_element_factory_make("ximagesink", nullptr))
            return sink;
    }
    return silentSink("fakevideosink");
}

} // namespace examo
