#pragma once

#include "platform/linux/gstmediacommandservice.h"

#include <QLoggingCategory>

#include <gst/gst.h>

#include <atomic>
#include <cstdint>
#include <optional>
#include <string>

namespace examo {

class GstEnvironment;

namespace gstmedia {

class ChildWindows;

Q_DECLARE_LOGGING_CATEGORY(lcMedia)

// How long an open may take to read far enough into the file to show its first picture.
inline constexpr GstClockTime kPrerollTimeout = 10 * GST_SECOND;

// One open alias: its pipeline and what the commands have set on it. The bus is read by a
// sync handler on the streaming threads, so what it records is atomic.
struct Device {
    Device() = default;
    Device(const Device&) = delete;
    Device& operator=(const Device&) = delete;
    ~Device();

    // A playbin for the file: a movie with our stretching sink, or a tune with the General
    // MIDI soundfont. False when an element is missing.
    bool build(const GstEnvironment& env, const char* uri, bool movie);
    // Reads far enough into the file to play it; false when it cannot be played.
    bool preroll();

    // The sink wants a window to draw in, as it is told the picture's size. (The message may
    // come from playbin, which passes it on, so the sink is the one we made.)
    void giveWindow();
    // Scales the picture to the rectangle and moves it there.
    void place(long x, long y, long width, long height);

    static GstBusSyncReply onMessage(GstBus*, GstMessage* message, gpointer self);

    GstElement* pipeline = nullptr;
    GstElement* videoSink = nullptr; // where the picture ends, for shownSize
    GstElement* scaler = nullptr;    // capsfilter: the size the picture is scaled to
    ChildWindows* windows = nullptr;
    std::string soundfont;
    std::atomic<std::uint32_t> child{0};
    std::atomic<bool> prerolling{true};
    std::atomic<bool> ended{false};
};

// The movie's own picture size, as it comes from its decoder.
std::optional<GstMediaCommandService::Size> sourceSize(GstElement* playbin);

} // namespace gstmedia
} // namespace examo
