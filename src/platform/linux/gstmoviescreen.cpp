#include "platform/linux/gstmoviescreen.h"

#include <QApplication>
#include <QEvent>
#include <QImage>
#include <QPainter>

#include <gst/video/video.h>

namespace examo::gstmedia {

Frames::~Frames() {
    if (m_sample != nullptr)
        gst_sample_unref(m_sample);
}

void Frames::present(GstSample* sample) {
    {
        const std::lock_guard lock(m_mutex);
        if (m_sample != nullptr)
            gst_sample_unref(m_sample);
        m_sample = sample;
    }
    if (!m_repaintAsked.exchange(true))
        QMetaObject::invokeMethod(
            this, [this] { repaint(); }, Qt::QueuedConnection);
}

GstSample* Frames::latest() const {
    const std::lock_guard lock(m_mutex);
    return m_sample != nullptr ? gst_sample_ref(m_sample) : nullptr;
}

void Frames::repaint() {
    m_repaintAsked = false;
    if (m_screen != nullptr)
        m_screen->update();
}

MovieScreen::MovieScreen(QWidget& box, const Frames& frames)
    : QWidget(&box), m_box(box), m_frames(frames) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    box.installEventFilter(this);
    cover();
    show();
    raise();
}

void MovieScreen::place(const QRect& rectangle) {
    m_placed = rectangle;
    update();
}

void MovieScreen::cover() {
    setGeometry(m_box.contentsRect());
}

bool MovieScreen::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &m_box && event->type() == QEvent::Resize)
        cover();
    return false;
}

void MovieScreen::paintEvent(QPaintEvent*) {
    if (m_placed.isEmpty())
        return;
    QPainter painter(this);
    GstSample* sample = m_frames.latest();
    GstVideoInfo info;
    GstVideoFrame frame;
    if (sample != nullptr && gst_video_info_from_caps(&info, gst_sample_get_caps(sample)) &&
        gst_video_frame_map(&frame, &info, gst_sample_get_buffer(sample), GST_MAP_READ)) {
        {
            // The frame's own memory, in the byte order of Qt's 32-bit RGB.
            const QImage image(static_cast<const uchar*>(GST_VIDEO_FRAME_PLANE_DATA(&frame, 0)),
                               info.width, info.height, GST_VIDEO_FRAME_PLANE_STRIDE(&frame, 0),
                               QImage::Format_RGB32);
            // Scaled only until a new placement has reached the decoder's side of the pipeline.
            if (image.size() == m_placed.size())
                painter.drawImage(m_placed.topLeft(), image);
            else
                painter.drawImage(m_placed, image);
        }
        gst_video_frame_unmap(&frame);
    } else {
        painter.fillRect(m_placed, Qt::black);
    }
    if (sample != nullptr)
        gst_sample_unref(sample);
}

QWidget* widgetOfHandle(std::uintptr_t handle) {
    if (handle == 0 || qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr)
        return nullptr;
    // Only compared, never followed: a number that names no live widget finds nothing.
    const QWidgetList widgets = QApplication::allWidgets();
    for (QWidget* widget : widgets) {
        if (reinterpret_cast<std::uintptr_t>(widget) == handle)
            return widget;
    }
    return QWidget::find(static_cast<WId>(handle));
}

} // namespace examo::gstmedia
