#include "platform/linux/gstmediacommandservice.h"

#include "platform/linux/gstenvironment.h"
#include "platform/linux/percentshortpath.h"

#include <QLoggingCategory>

#include <gst/gst.h>
#include <gst/video/video.h>
#include <gst/video/videooverlay.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <charconv>
#include <cstdlib>
#include <cstring>
#include <filesystem>

namespace examo {

namespace {

Q_LOGGING_CATEGORY(lcMedia, "examo.media", QtWarningMsg)

// How long an open may take to read far enough into the file to show its first picture.
constexpr GstClockTime kPrerollTimeout = 10 * GST_SECOND;
// X11 sizes and positions are 16-bit.
constexpr long kLargestCoordinate = 32767;

// playbin's GstPlayFlags
constexpr guint kPlayVideo = 0x1;
constexpr guint kPlayText = 0x4;
constexpr guint kPlayNativeVideo = 0x40;

// The General MIDI soundfont the tunes are written for, first found wins.
constexpr const char* kSoundfonts[] = {"/usr/share/sounds/sf2/TimGM6mb.sf2",
                                       "/usr/share/sounds/sf2/default-GM.sf2"};

std::string lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

std::vector<std::string> splitWords(const std::string& command) {
    std::vector<std::string> words;
    std::size_t i = 0;
    while (i < command.size()) {
        while (i < command.size() && (command[i] == ' ' || command[i] == '\t'))
            ++i;
        const std::size_t start = i;
        while (i < command.size() && command[i] != ' ' && command[i] != '\t')
            ++i;
        if (i > start)
            words.push_back(command.substr(start, i - start));
    }
    return words;
}

template <typename T> std::optional<T> number(const std::string& word) {
    T value{};
    const char* end = word.data() + word.size();
    const auto [ptr, error] = std::from_chars(word.data(), end, value);
    if (error != std::errc() || ptr != end)
        return std::nullopt;
    return value;
}

// As a fixed buffer would hold it: the text, cut to fit, and a NUL.
void writeReply(std::string& reply, std::uint32_t capacity, const std::string& text) {
    if (capacity == 0)
        return;
    const std::string held = text.substr(0, capacity - 1) + '\0';
    if (reply.size() < held.size())
        reply.resize(held.size());
    reply.replace(0, held.size(), held);
}

std::string soundfont() {
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

using Size = GstMediaCommandService::Size;

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

} // namespace

namespace gstmedia {

// Child windows of our own on the X server, one per movie: the sink draws into it, and it
// sits inside the caller's window where the picture belongs. XCB rather than Xlib because
// the sink asks for its window from a streaming thread, and XCB reports a bad window as an
// error reply instead of ending the program.
class ChildWindows {
public:
    ChildWindows() {
        int screenNumber = 0;
        m_connection = xcb_connect(nullptr, &screenNumber);
        if (xcb_connection_has_error(m_connection) != 0)
            return;
        xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(m_connection));
        for (int i = 0; i < screenNumber && it.rem > 0; ++i)
            xcb_screen_next(&it);
        if (it.rem > 0)
            m_screen = it.data;
    }
    ~ChildWindows() { xcb_disconnect(m_connection); }
    ChildWindows(const ChildWindows&) = delete;
    ChildWindows& operator=(const ChildWindows&) = delete;

    bool usable() const { return m_screen != nullptr; }

    // A black window, unmapped on the root until it is given a parent.
    std::uint32_t create(int width, int height) {
        const std::uint32_t id = xcb_generate_id(m_connection);
        const std::uint32_t background = m_screen->black_pixel;
        xcb_create_window(
            m_connection, XCB_COPY_FROM_PARENT, id, m_screen->root, 0, 0,
            static_cast<std::uint16_t>(std::clamp(width, 1, int(kLargestCoordinate))),
            static_cast<std::uint16_t>(std::clamp(height, 1, int(kLargestCoordinate))), 0,
            XCB_WINDOW_CLASS_INPUT_OUTPUT, m_screen->root_visual, XCB_CW_BACK_PIXEL, &background);
        flush();
        return id;
    }

    // Shows the window at the top left of parent; false when parent is no window.
    bool attach(std::uint32_t id, std::uint32_t parent) {
        xcb_generic_error_t* error = xcb_request_check(
            m_connection, xcb_reparent_window_checked(m_connection, id, parent, 0, 0));
        if (error != nullptr) {
            std::free(error);
            return false;
        }
        xcb_map_window(m_connection, id);
        flush();
        return true;
    }

    void place(std::uint32_t id, long x, long y, long width, long height) {
        const std::uint32_t values[] = {static_cast<std::uint32_t>(static_cast<std::int32_t>(x)),
                                        static_cast<std::uint32_t>(static_cast<std::int32_t>(y)),
                                        static_cast<std::uint32_t>(width),
                                        static_cast<std::uint32_t>(height)};
        xcb_configure_window(m_connection, id,
                             XCB_CONFIG_WINDOW_X | XCB_CONFIG_WINDOW_Y | XCB_CONFIG_WINDOW_WIDTH |
                                 XCB_CONFIG_WINDOW_HEIGHT,
                             values);
        flush();
    }

    void destroy(std::uint32_t id) {
        xcb_destroy_window(m_connection, id);
        flush();
    }

private:
    // Nothing here waits for events, but errors arrive as events too (a window the caller
    // destroyed before closing its movie), so they are dropped rather than left to pile up.
    void flush() {
        xcb_flush(m_connection);
        while (xcb_generic_event_t* event = xcb_poll_for_event(m_connection))
            std::free(event);
    }

    xcb_connection_t* m_connection = nullptr;
    xcb_screen_t* m_screen = nullptr;
};

// One open alias: its pipeline and what the commands have set on it. The bus is read by a
// sync handler on the streaming threads, so what it records is atomic.
struct Device {
    Device() = default;
    Device(const Device&) = delete;
    Device& operator=(const Device&) = delete;

    ~Device() {
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

    // The sink wants a window to draw in, as it is told the picture's size. (The message may
    // come from playbin, which passes it on, so the sink is the one we made.)
    void giveWindow() {
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

    // Scales the picture to the rectangle and moves it there.
    void place(long x, long y, long width, long height) {
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

    static GstBusSyncReply onMessage(GstBus*, GstMessage* message, gpointer self) {
        auto* device = static_cast<Device*>(self);
        bool pass = false;
        switch (GST_MESSAGE_TYPE(message)) {
        case GST_MESSAGE_EOS:
            device->ended = true;
            break;
        case GST_MESSAGE_ERROR: {
            GError* error = nullptr;
            gchar* details = nullptr;
            gst_message_parse_error(message, &error, &details);
            qCDebug(lcMedia, "%s: %s (%s)", GST_OBJECT_NAME(GST_MESSAGE_SRC(message)),
                    error != nullptr ? error->message : "", details != nullptr ? details : "");
            g_clear_error(&error);
            g_free(details);
            pass = device->prerolling;
            break;
        }
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

    GstElement* pipeline = nullptr;
    GstElement* videoSink = nullptr; // where the picture ends, for shownSize
    GstElement* scaler = nullptr;    // capsfilter: the size the picture is scaled to
    ChildWindows* windows = nullptr;
    std::string soundfont;
    std::atomic<std::uint32_t> child{0};
    std::atomic<bool> prerolling{true};
    std::atomic<bool> ended{false};
};

} // namespace gstmedia

namespace {

using gstmedia::Device;

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

// The movie's own picture size, as it comes from its decoder.
std::optional<Size> sourceSize(GstElement* playbin) {
    GstPad* pad = nullptr;
    g_signal_emit_by_name(playbin, "get-video-pad", 0, &pad);
    if (pad == nullptr)
        return std::nullopt;
    GstCaps* caps = gst_pad_get_current_caps(pad);
    gst_object_unref(pad);
    return sizeOf(caps);
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

} // namespace

GstMediaCommandService::GstMediaCommandService(const GstEnvironment& env) : m_env(env) {
    if (m_env.hasX11Display()) {
        m_windows = std::make_unique<gstmedia::ChildWindows>();
        if (!m_windows->usable())
            m_windows.reset();
    }
}

GstMediaCommandService::~GstMediaCommandService() {
    closeAll(); // before the child windows' connection goes
}

std::uint32_t GstMediaCommandService::send(const std::string& command, std::string& reply,
                                           std::uint32_t replyCapacity) {
    writeReply(reply, replyCapacity, {});
    const std::vector<std::string> words = splitWords(command);
    if (words.size() < 2)
        return kUnrecognizedCommand;
    const std::string verb = lower(words[0]);
    if (verb == "open" && words.size() == 4 && lower(words[2]) == "alias")
        return open(words);
    if (verb == "close" && words.size() == 2) {
        if (lower(words[1]) == "all") {
            closeAll();
            return 0;
        }
        if (find(lower(words[1])) == nullptr)
            return kNotOpen;
        close(lower(words[1]));
        return 0;
    }

    const bool known = (verb == "window" && words.size() == 4 && lower(words[2]) == "handle") ||
                       (verb == "where" && words.size() == 3 && lower(words[2]) == "source") ||
                       (verb == "put" && words.size() == 8 && lower(words[2]) == "destination" &&
                        lower(words[3]) == "at") ||
                       (verb == "capability" && words.size() == 4 && lower(words[2]) == "can" &&
                        lower(words[3]) == "stretch") ||
                       (verb == "play" && words.size() == 2);
    if (!known)
        return kUnrecognizedCommand;
    Device* device = find(lower(words[1]));
    if (device == nullptr)
        return kNotOpen;
    if (verb == "window")
        return window(*device, words[3]);
    if (verb == "put")
        return put(*device, {words.begin() + 4, words.end()});
    if (verb == "play")
        return play(*device);
    std::string text = "true";
    const std::uint32_t result = verb == "where" ? where(*device, text) : 0;
    if (result == 0)
        writeReply(reply, replyCapacity, text);
    return result;
}

std::uint32_t GstMediaCommandService::open(const std::vector<std::string>& words) {
    const std::size_t bang = words[1].find('!');
    if (bang == std::string::npos)
        return kUnrecognizedCommand;
    const std::string type = lower(words[1].substr(0, bang));
    const bool movie = type == "avivideo" || type == "mpegvideo";
    if (!movie && type != "sequencer")
        return kUnrecognizedCommand;
    // A well-formed open replaces what the alias held, even when the new file cannot play.
    const std::string alias = lower(words[3]);
    close(alias);

    const std::string path = decodeShortPath(words[1].substr(bang + 1));
    std::error_code error;
    if (!std::filesystem::path(path).is_absolute() ||
        !std::filesystem::is_regular_file(path, error))
        return kFileNotFound;
    gchar* uri = gst_filename_to_uri(path.c_str(), nullptr);
    if (uri == nullptr)
        return kFileNotFound;

    auto device = std::make_unique<Device>();
    device->windows = m_windows.get();
    device->pipeline = gst_element_factory_make("playbin", nullptr);
    if (device->pipeline == nullptr) {
        g_free(uri);
        return kCannotPlay;
    }
    gst_object_ref_sink(device->pipeline);
    guint flags = 0;
    g_object_get(device->pipeline, "flags", &flags, nullptr);
    flags &= ~kPlayText;
    flags = movie ? flags | kPlayNativeVideo : flags & ~kPlayVideo;
    g_object_set(device->pipeline, "uri", uri, "flags", flags, "audio-sink", m_env.makeAudioSink(),
                 nullptr);
    g_free(uri);
    if (movie) {
        GstElement* sink = movieSink(*device, m_env.makeVideoSink());
        if (sink == nullptr)
            return kCannotPlay;
        g_object_set(device->pipeline, "video-sink", sink, nullptr);
        if (GstElement* filter = squarePixels())
            g_object_set(device->pipeline, "video-filter", filter, nullptr);
    } else {
        device->soundfont = soundfont();
        if (!device->soundfont.empty())
            g_signal_connect(device->pipeline, "element-setup", G_CALLBACK(setSoundfont),
                             const_cast<char*>(device->soundfont.c_str()));
    }

    GstBus* bus = gst_element_get_bus(device->pipeline);
    gst_bus_set_sync_handler(bus, &Device::onMessage, device.get(), nullptr);
    gst_object_unref(bus);
    const bool ready = prerolls(device->pipeline);
    device->prerolling = false;
    drainBus(device->pipeline);
    if (!ready) {
        qCDebug(lcMedia, "cannot play %s", path.c_str());
        return kCannotPlay;
    }
    // Until it is put elsewhere the picture shows at its own size at the top left.
    if (const std::optional<Size> size = sourceSize(device->pipeline))
        device->place(0, 0, size->width, size->height);
    m_devices[alias] = std::move(device);
    return 0;
}

std::uint32_t GstMediaCommandService::window(Device& device, const std::string& handle) {
    const auto id = number<std::uint32_t>(handle);
    if (!id)
        return kBadNumber;
    if (m_windows != nullptr && device.child != 0) {
        if (!m_windows->attach(device.child, *id))
            return kBadWindow;
        gst_video_overlay_expose(GST_VIDEO_OVERLAY(device.videoSink));
    }
    return 0;
}

std::uint32_t GstMediaCommandService::where(Device& device, std::string& text) const {
    const std::optional<Size> size = sourceSize(device.pipeline);
    if (!size)
        return kNoVideo;
    text = "0 0 " + std::to_string(size->width) + " " + std::to_string(size->height);
    return 0;
}

std::uint32_t GstMediaCommandService::put(Device& device, const std::vector<std::string>& numbers) {
    long rect[4] = {};
    for (std::size_t i = 0; i < 4; ++i) {
        const auto value = number<long>(numbers[i]);
        if (!value || *value < -kLargestCoordinate || *value > kLargestCoordinate)
            return kBadNumber;
        rect[i] = *value;
    }
    const auto [x, y, width, height] = rect;
    if (width <= 0 || height <= 0)
        return kBadNumber;
    device.place(x, y, width, height);
    return 0;
}

std::uint32_t GstMediaCommandService::play(Device& device) {
    return gst_element_set_state(device.pipeline, GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE
               ? kCannotPlay
               : 0;
}

void GstMediaCommandService::close(const std::string& alias) {
    m_devices.erase(alias);
}

void GstMediaCommandService::closeAll() {
    m_devices.clear();
}

GstMediaCommandService::Device* GstMediaCommandService::find(const std::string& alias) const {
    const auto it = m_devices.find(alias);
    return it == m_devices.end() ? nullptr : it->second.get();
}

bool GstMediaCommandService::isOpen(const std::string& alias) const {
    return find(lower(alias)) != nullptr;
}

bool GstMediaCommandService::reachedEnd(const std::string& alias) const {
    const Device* device = find(lower(alias));
    return device != nullptr && device->ended;
}

std::optional<GstMediaCommandService::Picture>
GstMediaCommandService::shownPicture(const std::string& alias) const {
    const Device* device = find(lower(alias));
    if (device == nullptr || device->videoSink == nullptr)
        return std::nullopt;
    GstSample* shown = nullptr;
    g_object_get(device->videoSink, "last-sample", &shown, nullptr);
    if (shown == nullptr)
        return std::nullopt;
    GstCaps* rgb = gst_caps_from_string("video/x-raw,format=RGB");
    GstSample* sample = gst_video_convert_sample(shown, rgb, kPrerollTimeout, nullptr);
    gst_caps_unref(rgb);
    gst_sample_unref(shown);
    if (sample == nullptr)
        return std::nullopt;
    std::optional<Picture> picture;
    GstVideoInfo info;
    GstVideoFrame frame;
    if (gst_video_info_from_caps(&info, gst_sample_get_caps(sample)) &&
        gst_video_frame_map(&frame, &info, gst_sample_get_buffer(sample), GST_MAP_READ)) {
        picture = Picture{{info.width, info.height}, {}};
        const auto* data = static_cast<const std::uint8_t*>(GST_VIDEO_FRAME_PLANE_DATA(&frame, 0));
        const int stride = GST_VIDEO_FRAME_PLANE_STRIDE(&frame, 0);
        for (int y = 0; y < info.height; ++y)
            picture->rgb.insert(picture->rgb.end(), data + y * stride,
                                data + y * stride + info.width * 3);
        gst_video_frame_unmap(&frame);
    }
    gst_sample_unref(sample);
    return picture;
}

} // namespace examo
