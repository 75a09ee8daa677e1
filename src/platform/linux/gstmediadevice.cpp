#include "platform/linux/gstmediadevice.h"

#include "platform/linux/gstchildwindows.h"
#include "platform/linux/gstsinks.h"

#include <gst/video/video.h>
#include <gst/video/videooverlay.h>

#include <cstring>
#include <filesystem>

namespace examo::gstmedia {

Q_LOGGING_CATEGORY(lcMedia, "examo.media", QtWarningMsg)

namespace {

// playbin's GstPlayFlags
constexpr guint kPlayVideo = 0x1;
constexpr guint kPlayText = 0x4;
constexpr guint kPlayNativeVideo = 0x40;

// The General MIDI soundfont the tunes are written for, first found wins.
constexpr const char* kSoundfonts[] = {"/usr/share/sounds/sf2/TimGM6mb.sf2",
                                       "/usr/share/sounds/sf2/default-GM.sf2"};

using Size = GstMediaCommandService::Size;

std::string findSoundfont() {
    for (const char* path : kSoundfonts) {
        std::error_code error;
        if (std::filesystem::is_regular_file(path, error))
            return path;
    }
    return {}; // fluiddec looks in the usual places itself
}

void setSoundfont(GstElement*, GstElement* element, gpointer path) {
    GstElementFactory* factory = gst_element_get_factory(element);
    if (factory != nullptr &&
        std::strcmp(gst_plugin_feature_get_name(GST_PLUGIN_FEATURE(factory)), "fluiddec") == 0)
        g_object_set(element, "soundfont", static_cast<const char*>(path), nullptr);
}

bool hasProperty(gpointer object, const char* name) {
    return g_object_class_find_property(G_OBJECT_GET_CLASS(object), name) != nullptr;
}

std::optional<Size> sizeOf(GstCaps* caps) {
    if (caps == nullptr)
        return std::nullopt;
    Size size;
    const GstStructure* s = gst_caps_get_structure(caps, 0);
    const bool known = s != nullptr && gst_structure_get_int(s, "width", &size.width) &&
                       gst_structure_get_int(s, "height", &size.height);
    gst_caps_unref(caps);
    return known ? std::optional<Size>(size) : std::nullopt;
}

// videoconvert ! videoscale ! capsfilter ! sink: stretches the picture to the size that "put"
// sets. playbin is told to leave conversion to it, as its own scaler would keep the aspect
// ratio and add borders.
GstElement* movieSink(Device& device, GstElement* sink) {
    GstElement* bin = gst_bin_new(nullptr);
    GstElement* convert = gst_element_factory_make("videoconvert", nullptr);
    GstElement* scale = gst_element_factory_make("videoscale", nullptr);
    GstElement* caps = gst_element_factory_make("capsfilter", nullptr);
    if (convert == nullptr || scale == nullptr || caps == nullptr || sink == nullptr) {
        for (GstElement* e : {bin, convert, scale, caps, sink})
            if (e != nullptr)
                gst_object_unref(gst_object_ref_sink(e));
        return nullptr;
    }
    // Stretched, never letterboxed: the picture fills the rectangle it is given.
    g_object_set(scale, "add-borders", FALSE, nullptr);
    if (hasProperty(sink, "force-aspect-ratio"))
        g_object_set(sink, "force-aspect-ratio", FALSE, nullptr);
    gst_bin_add_many(GST_BIN(bin), convert, scale, caps, sink, nullptr);
    gst_element_link_many(convert, scale, caps, sink, nullptr);
    GstPad* pad = gst_element_get_static_pad(convert, "sink");
    gst_element_add_pad(bin, gst_ghost_pad_new("sink", pad));
    gst_object_unref(pad);
    device.videoSink = GST_ELEMENT(gst_object_ref(sink));
    device.scaler = GST_ELEMENT(gst_object_ref(caps));
    return bin;
}

// Files written with an unset aspect ratio come out of the AVI reader with a negative pixel
// aspect ratio that no converter accepts; a movie's pixels are square anyway.
GstElement* squarePixels() {
    GstElement* setter = gst_element_factory_make("capssetter", nullptr);
    if (setter == nullptr)
        return nullptr;
    GstCaps* caps = gst_caps_from_string("video/x-raw,pixel-aspect-ratio=(fraction)1/1");
    g_object_set(setter, "caps", caps, "join", TRUE, "replace", FALSE, nullptr);
    gst_caps_unref(caps);
    return setter;
}

bool prerolls(GstElement* pipeline) {
    const GstStateChangeReturn change = gst_element_set_state(pipeline, GST_STATE_PAUSED);
    if (change == GST_STATE_CHANGE_FAILURE)
        return false;
    if (change != GST_STATE_CHANGE_ASYNC)
        return true;
    GstBus* bus = gst_element_get_bus(pipeline);
    GstMessage* message = gst_bus_timed_pop_filtered(
        bus, kPrerollTimeout,
        static_cast<GstMessageType>(GST_MESSAGE_ASYNC_DONE | GST_MESSAGE_ERROR));
    gst_object_unref(bus);
    const bool ok = message != nullptr && GST_MESSAGE_TYPE(message) == GST_MESSAGE_ASYNC_DONE;
    if (message != nullptr)
        gst_message_unref(message);
    return ok;
}

void drainBus(GstElement* pipeline) {
    GstBus* bus = gst_element_get_bus(pipeline);
    while (GstMessage* message = gst_bus_pop(bus))
        gst_message_unref(message);
    gst_object_unref(bus);
}

void logError(GstMessage* message) {
    GError* error = nullptr;
    gchar* details = nullptr;
    gst_message_parse_error(message, &error, &details);
    qCDebug(lcMedia, "%s: %s (%s)", GST_OBJECT_NAME(GST_MESSAGE_SRC(message)),
            error != nullptr ? error->message : "", details != nullptr ? details : "");
    g_clear_error(&error);
    g_free(details);
}

} // namespace

Device::~Device() {
    if (pipeline != nullptr) {
        // Joins the streaming threads, so the sync handler is not running after this.
        gst_element_set_state(pipeline, GST_STATE_NULL);
        GstBus* bus = gst_element_get_bus(pipeline);
        gst_bus_set_sync_handler(bus, nullptr, nullptr, nullptr);
        gst_object_unref(bus);
        gst_object_unref(pipeline);
    }
    if (videoSink != nullptr)
        gst_object_unref(videoSink);
    if (scaler != nullptr)
        gst_object_unref(scaler);
    if (windows != nullptr && child != 0)
        windows->destroy(child);
}

bool Device::build(const GstEnvironment& env, const char* uri, bool movie) {
    pipeline = gst_element_factory_make("playbin", nullptr);
    if (pipeline == nullptr)
        return false;
    gst_object_ref_sink(pipeline);
    guint flags = 0;
    g_object_get(pipeline, "flags", &flags, nullptr);
    flags &= ~kPlayText;
    flags = movie ? flags | kPlayNativeVideo : flags & ~kPlayVideo;
    g_object_set(pipeline, "uri", uri, "flags", flags, "audio-sink", makeAudioSink(env), nullptr);
    if (movie) {
        GstElement* sink = movieSink(*this, makeVideoSink(env));
        if (sink == nullptr)
            return false;
        g_object_set(pipeline, "video-sink", sink, nullptr);
        if (GstElement* filter = squarePixels())
            g_object_set(pipeline, "video-filter", filter, nullptr);
    } else {
        soundfont = findSoundfont();
        if (!soundfont.empty())
            g_signal_connect(pipeline, "element-setup", G_CALLBACK(setSoundfont),
                             const_cast<char*>(soundfont.c_str()));
    }
    return true;
}

bool Device::preroll() {
    GstBus* bus = gst_element_get_bus(pipeline);
    gst_bus_set_sync_handler(bus, &Device::onMessage, this, nullptr);
    gst_object_unref(bus);
    const bool ready = prerolls(pipeline);
    prerolling = false;
    drainBus(pipeline);
    return ready;
}

void Device::giveWindow() {
    if (windows == nullptr || videoSink == nullptr || !GST_IS_VIDEO_OVERLAY(videoSink))
        return;
    if (child == 0) {
        // A window of the picture's size from the start: the sink asks for pictures of
        // its window's size.
        int width = 1;
        int height = 1;
        if (GST_IS_VIDEO_SINK(videoSink)) {
            width = GST_VIDEO_SINK_WIDTH(GST_VIDEO_SINK(videoSink));
            height = GST_VIDEO_SINK_HEIGHT(GST_VIDEO_SINK(videoSink));
        }
        child = windows->create(width, height);
    }
    gst_video_overlay_set_window_handle(GST_VIDEO_OVERLAY(videoSink), child);
}

void Device::place(long x, long y, long width, long height) {
    if (scaler != nullptr) {
        GstCaps* caps = gst_caps_new_simple(
            "video/x-raw", "width", G_TYPE_INT, static_cast<int>(width), "height", G_TYPE_INT,
            static_cast<int>(height), "pixel-aspect-ratio", GST_TYPE_FRACTION, 1, 1, nullptr);
        g_object_set(scaler, "caps", caps, nullptr);
        gst_caps_unref(caps);
    }
    if (windows != nullptr && child != 0) {
        windows->place(child, x, y, width, height);
        gst_video_overlay_expose(GST_VIDEO_OVERLAY(videoSink));
    }
}

GstBusSyncReply Device::onMessage(GstBus*, GstMessage* message, gpointer self) {
    auto* device = static_cast<Device*>(self);
    bool pass = false;
    switch (GST_MESSAGE_TYPE(message)) {
    case GST_MESSAGE_EOS:
        device->ended = true;
        break;
    case GST_MESSAGE_ERROR:
        logError(message);
        pass = device->prerolling;
        break;
    case GST_MESSAGE_ASYNC_DONE:
        pass = device->prerolling;
        break;
    case GST_MESSAGE_ELEMENT:
        if (gst_is_video_overlay_prepare_window_handle_message(message))
            device->giveWindow();
        break;
    default:
        break;
    }
    // Only the open waits on the bus; everything else is dealt with here so that
    // nothing piles up while a movie plays.
    if (pass)
        return GST_BUS_PASS;
    gst_message_unref(message);
    return GST_BUS_DROP;
}

std::optional<Size> sourceSize(GstElement* playbin) {
    GstPad* pad = nullptr;
    g_signal_emit_by_name(playbin, "get-video-pad", 0, &pad);
    if (pad == nullptr)
        return std::nullopt;
    GstCaps* caps = gst_pad_get_current_caps(pad);
    gst_object_unref(pad);
    return sizeOf(caps);
}

} // namespace examo::gstmedia
