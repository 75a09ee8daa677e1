#pragma once

#include "platform/linux/gstmediacommandservice.h"
#include "platform/linux/gstmoviescreen.h"

#include <QLoggingCategory>
#include <QPointer>
#include <QRect>

#include <gst/gst.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>

namespace examo {

class GstEnvironment;

namespace gstmedia {

Q_DECLARE_LOGGING_CATEGORY(lcMedia)

// How long an open may take to read far enough into the file to show its first picture: the
// student's window waits for it.
inline constexpr GstClockTime kPrerollTimeout = 2 * GST_SECOND;

// One open alias: its pipeline and what the commands have set on it. The bus is read by a
// sync handler on the streaming threads, so what it records is atomic.
struct Device {
    Device() = default;
    Device(const Device&) = delete;
    Device& operator=(const Device&) = delete;
    ~Device();

    // A playbin for the file: a movie whose pictures come to us (and are dropped until it has
    // a box to play in), or a tune, whose pictures, if the file has any, are never decoded,
    // played with the General MIDI soundfont. False when an element is missing.
    bool build(const GstEnvironment& env, const char* uri, bool movie);
    // Reads far enough into the file to play it; false when it cannot be played.
    bool preroll();

    // Shows the pictures inside box, on a screen of their own (nothing for a tune).
    void showIn(QWidget& box);
    // Scales the picture to the rectangle and moves it there.
    void place(const QRect& rectangle);

    static GstBusSyncReply onMessage(GstBus*, GstMessage* message, gpointer self);

    GstElement* pipeline = nullptr;
    GstElement* scaler = nullptr;   // capsfilter: the size the picture is scaled to
    std::unique_ptr<Frames> frames; // null for a tune
    QPointer<MovieScreen> screen;   // gone with its box
    QRect placed;
    std::string soundfont;
    std::atomic<bool> prerolling{true};
    std::atomic<bool> ended{false};
    // The file did not preroll in time: an element may be stuck in it, and stopping the
    // pipeline would wait for that element for good, so it is stopped on a thread of its own.
    bool timedOut = false;
};

// The movie's own picture size, as it comes from its decoder.
std::optional<GstMediaCommandService::Size> sourceSize(GstElement* playbin);

} // namespace gstmedia
} // namespace examo
