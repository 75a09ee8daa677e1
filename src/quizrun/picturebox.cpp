#include "quizrun/picturebox.h"

#include <QPainter>

namespace examo {

PictureBox::PictureBox(QWidget* parent, bool framed) : QWidget(parent), m_framed(framed) {
    setAutoFillBackground(true);
    // Inside the edge: where pictures are drawn and movies play.
    setContentsMargins(frameWidth(), frameWidth(), frameWidth(), frameWidth());
}

int PictureBox::innerWidth() const {
    return std::max(0, width() - 2 * frameWidth());
}

int PictureBox::innerHeight() const {
    return std::max(0, height() - 2 * frameWidth());
}

std::intptr_t PictureBox::hWnd() const {
    // The media service finds the box by its address among the live widgets; asking for a
    // native window id would make the box, and every sibling, a native window.
    return reinterpret_cast<std::intptr_t>(static_cast<const QWidget*>(this));
}

void PictureBox::ensureCanvas() {
    const QSize inner(innerWidth(), innerHeight());
    if (m_canvas.size() == inner)
        return;
    QImage canvas(inner, QImage::Format_ARGB32_Premultiplied);
    canvas.fill(Qt::transparent);
    if (!m_canvas.isNull()) {
        QPainter p(&canvas);
        p.drawImage(0, 0, m_canvas);
    }
    m_canvas = canvas;
}

void PictureBox::clearPicture() {
    ensureCanvas();
    m_canvas.fill(Qt::transparent);
    update();
}

void PictureBox::paintPicture(const QImage& picture, int x, int y, int w, int h) {
    ensureCanvas();
    QPainter p(&m_canvas);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawImage(QRect(x, y, w, h), picture, picture.rect());
    update();
}

void PictureBox::setAutoSizedPicture(const QImage& picture) {
    m_picture = picture;
    resize(picture.width() + 2 * frameWidth(), picture.height() + 2 * frameWidth());
}

void PictureBox::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    ensureCanvas();
}

void PictureBox::paintEvent(QPaintEvent*) {
    QPainter p(this);
    if (m_framed) {
        // A sunken edge, as picture boxes have.
        const QRect r = rect();
        p.setPen(palette().color(QPalette::Dark));
        p.drawLine(r.topLeft(), r.topRight());
        p.drawLine(r.topLeft(), r.bottomLeft());
        p.setPen(palette().color(QPalette::Light));
        p.drawLine(r.bottomLeft(), r.bottomRight());
        p.drawLine(r.topRight(), r.bottomRight());
        p.setPen(palette().color(QPalette::Shadow));
        p.drawLine(r.left() + 1, r.top() + 1, r.right() - 1, r.top() + 1);
        p.drawLine(r.left() + 1, r.top() + 1, r.left() + 1, r.bottom() - 1);
    }
    if (!m_canvas.isNull())
        p.drawImage(frameWidth(), frameWidth(), m_canvas);
}

} // namespace examo
