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

} // namespace

void GstEnvironment::start() const {
    std::call_once(m_started, [this] {
        gst_init(nullptr, nullptr);
        m_sound = probeSoundDevice();
    });
}

GstElement* makeAudioSink(const GstEnvironment& env) {
    if (env.hasSoundDevice()) {
        if (GstElement* sink = gst_element_factory_make("autoaudiosink", nullptr))
            return sink;
    }
    GstElement* sink = gst_element_factory_make("fakesink", nullptr);
    if (sink != nullptr)
        g_object_set(sink, "sync", TRUE, nullptr); // keep real time
    return sink;
}

} // namespace examo
