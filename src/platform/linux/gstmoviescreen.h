#pragma once

#include <QPointer>
#include <QRect>
#include <QWidget>

#include <gst/gst.h>

#include <atomic>
#include <cstdint>
#include <mutex>

namespace examo::gstmedia {

// The newest picture of one movie, handed from GStreamer's streaming thread to the widget that
// shows it. Lives on the GUI thread; only present() is called from the streaming thread.
class Frames : public QObject {
public:
    Frames() = default;
    ~Frames() override;
    Frames(const Frames&) = delete;
    Frames& operator=(const Frames&) = delete;

    // Keeps the sample (taking its reference) and asks the screen for a repaint. One request
    // at a time: a busy window skips pictures instead of queueing stale ones.
    void present(GstSample* sample);
    // The newest sample with a reference of its own, or null before the first one.
    GstSample* latest() const;
    // Where pictures are shown from now on; null discards them.
    void showOn(QWidget* screen) { m_screen = screen; }

private:
    void repaint();

    mutable std::mutex m_mutex;
    GstSample* m_sample = nullptr;
    std::atomic<bool> m_repaintAsked{false};
    QPointer<QWidget> m_screen;
};

// Covers the inside of the box a movie plays in and paints the newest picture at the placed
// rectangle; the rest stays see-through, and what lies outside the box is never touched.
// Clicks go through to the box.
class MovieScreen : public QWidget {
public:
    MovieScreen(QWidget& box, const Frames& frames);

    // Where the picture goes, relative to the inside of the box.
    void place(const QRect& rectangle);

protected:
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void cover();

    QWidget& m_box;
    const Frames& m_frames;
    QRect m_placed;
};

// The widget a "window" command names: a live widget whose address is handle (the handle of a
// widget that has no native window), else the widget of native window handle. Null when
// neither is, or when there are no widgets at all.
QWidget* widgetOfHandle(std::uintptr_t handle);

} // namespace examo::gstmedia
