#include "platform/linux/gstmediadevice.h"

#include "platform/linux/gstsinks.h"

#include <gst/app/gstappsink.h>
#include <gst/video/video.h>

#include <cstring>
#include <filesystem>
#include <thread>

namespace examo::gstmedia {

Q_LOGGING_CATEGORY(lcMedia, "examo.media", QtWarningMsg)

namespace {

// playbin's GstPlayFlags
constexpr guint kPlayVideo = 0x1;
constexpr guint kPlayText = 0x4;
constexpr guint kPlayNativeVideo = 0x40;

// Qt's 32-bit RGB in memory order, so a frame is painted straight from GStreamer's buffer.
constexpr const char* kFrameCaps = "video/x-raw,format=BGRx,pixel-aspect-ratio=(fraction)1/1";

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

GstFlowReturn takePreroll(GstAppSink* sink, gpointer frames) {
    if (GstSample* sample = gst_app_sink_pull_preroll(sink))
        static_cast<Frames*>(frames)->present(sample);
    return GST_FLOW_OK;
}

GstFlowReturn takeSample(GstAppSink* sink, gpointer frames) {
    if (GstSample* sample = gst_app_sink_pull_sample(sink))
        static_cast<Frames*>(frames)->present(sample);
    return GST_FLOW_OK;
}

// Hands every picture, at the movie's own pace, to frames; never opens a window of its own.
GstElement* frameSink(Frames& frames) {
    GstElement* sink = gst_element_factory_make("appsink", nullptr);
    if (sink == nullptr)
        return nullptr;
    GstCaps* caps = gst_caps_from_string(kFrameCaps);
    // qos lets a late decoder skip pictures rather than fall behind the sound.
    g_object_set(sink, "caps", caps, "sync", TRUE, "qos", TRUE, "max-buffers", 1, "drop", TRUE,
                 "enable-last-sample", FALSE, nullptr);
    gst_caps_unref(caps);
    GstAppSinkCallbacks callbacks{};
    callbacks.new_preroll = &takePreroll;
    callbacks.new_sample = &takeSample;
    gst_app_sink_set_callbacks(GST_APP_SINK(sink), &callbacks, &frames, nullptr);
    return sink;
}

// videoconvert ! videoscale ! capsfilter ! appsink: stretches the picture to the size that
// "put" sets. playbin is told to leave conversion to it, as its own scaler would keep the
// aspect ratio and add borders.
GstElement* movieSink(Device& device) {
    GstElement* bin = gst_bin_new(nullptr);
    GstElement* convert = gst_element_factory_make("videoconvert", nullptr);
    GstElement* scale = gst_element_factory_make("videoscale", nullptr);
    GstElement* caps = gst_element_factory_make("capsfilter", nullptr);
    GstElement* sink = frameSink(*device.frames);
    if (convert == nullptr || scale == nullptr || caps == nullptr || sink == nullptr) {
        for (GstElement* e : {bin, convert, scale, caps, sink})
            if (e != nullptr)
                gst_object_unref(gst_object_ref_sink(e));
        return nullptr;
    }
    // Stretched, never letterboxed: the picture fills the rectangle it is given.
    g_object_set(scale, "add-borders", FALSE, nullptr);
    gst_bin_add_many(GST_BIN(bin), convert, scale, caps, sink, nullptr);
    gst_element_link_many(convert, scale, caps, sink, nullptr);
    GstPad* pad = gst_element_get_static_pad(convert, "sink");
    gst_element_add_pad(bin, gst_ghost_pad_new("sink", pad));
    gst_object_unref(pad);
    device.scaler = GST_ELEMENT(gst_object_ref(caps));
    return bin;
}

// Takes whatever pictures a tune's file holds and drops them, in case playbin plugs a video
// branch anyway: a tune never opens a window.
GstElement* discardingSink() {
    GstElement* sink = gst_element_factory_make("fakesink", nullptr);
    if (sink != nullptr)
        g_object_set(sink, "sync", FALSE, nullptr);
    return sink;
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

enum class Preroll { Ready, Failed, TimedOut };

Preroll prerolls(GstElement* pipeline) {
    const GstStateChangeReturn change = gst_element_set_state(pipeline, GST_STATE_PAUSED);
    if (change == GST_STATE_CHANGE_FAILURE)
        return Preroll::Failed;
    if (change != GST_STATE_CHANGE_ASYNC)
        return Preroll::Ready;
    GstBus* bus = gst_element_get_bus(pipeline);
    GstMessage* message = gst_bus_timed_pop_filtered(
        bus, kPrerollTimeout,
        static_cast<GstMessageType>(GST_MESSAGE_ASYNC_DONE | GST_MESSAGE_ERROR));
    gst_object_unref(bus);
    if (message == nullptr)
        return Preroll::TimedOut;
    const bool ok = GST_MESSAGE_TYPE(message) == GST_MESSAGE_ASYNC_DONE;
    gst_message_unref(message);
    return ok ? Preroll::Ready : Preroll::Failed;
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
    if (pipeline != nullptr && timedOut) {
        // The handler points at this device; the frames go with the pipeline, whose sink may
        // still hand them pictures until it has stopped.
        GstBus* bus = gst_element_get_bus(pipeline);
        gst_bus_set_sync_handler(bus, nullptr, nullptr, nullptr);
        gst_object_unref(bus);
        std::thread([stuck = pipeline, frames = std::move(frames)]() mutable {
            gst_element_set_state(stuck, GST_STATE_NULL);
            gst_object_unref(stuck);
            frames.reset();
        }).detach();
        pipeline = nullptr;
    }
    if (pipeline != nullptr) {
        // Joins the streaming threads, so neither the sync handler nor the sink's callbacks
        // run after this.
        gst_element_set_state(pipeline, GST_STATE_NULL);
        GstBus* bus = gst_element_get_bus(pipeline);
        gst_bus_set_sync_handler(bus, nullptr, nullptr, nullptr);
        gst_object_unref(bus);
        gst_object_unref(pipeline);
    }
    if (scaler != nullptr)
        gst_object_unref(scaler);
    delete screen.data(); // the box shows what lay beneath again
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
        frames = std::make_unique<Frames>();
        GstElement* sink = movieSink(*this);
        if (sink == nullptr)
            return false;
        g_object_set(pipeline, "video-sink", sink, nullptr);
        if (GstElement* filter = squarePixels())
            g_object_set(pipeline, "video-filter", filter, nullptr);
    } else {
        if (GstElement* sink = discardingSink())
            g_object_set(pipeline, "video-sink", sink, nullptr);
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
    const Preroll result = prerolls(pipeline);
    prerolling = false;
    timedOut = result == Preroll::TimedOut;
    drainBus(pipeline);
    return result == Preroll::Ready;
}

void Device::showIn(QWidget& box) {
    if (frames == nullptr)
        return;
    delete screen.data();
    screen = new MovieScreen(box, *frames);
    screen->place(placed);
    frames->showOn(screen);
}

void Device::place(const QRect& rectangle) {
    placed = rectangle;
    if (scaler != nullptr) {
        GstCaps* caps = gst_caps_new_simple("video/x-raw", "width", G_TYPE_INT, rectangle.width(),
                                            "height", G_TYPE_INT, rectangle.height(),
                                            "pixel-aspect-ratio", GST_TYPE_FRACTION, 1, 1, nullptr);
        g_object_set(scaler, "caps", caps, nullptr);
        gst_caps_unref(caps);
    }
    if (screen != nullptr)
        screen->place(rectangle);
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
