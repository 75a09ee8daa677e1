#pragma once

#include "media/displaybox.h"

#include <QImage>
#include <QWidget>

namespace examo {

// A picture box: a canvas that pictures are drawn into and that movies play in, inside its
// edge (its contents rectangle). Sizes are inner sizes in pixels.
class PictureBox : public QWidget, public DisplayBox {
public:
    explicit PictureBox(QWidget* parent = nullptr, bool framed = true);

    // Empties the canvas to the back colour.
    void clearPicture();
    // Draws the whole picture scaled into the rectangle x, y, w, h.
    void paintPicture(const QImage& picture, int x, int y, int w, int h);
    // Holds a picture at its own size and takes that size (as a box that sizes itself).
    void setAutoSizedPicture(const QImage& picture);
    const QImage& picture() const { return m_picture; }
    QImage canvas() const { return m_canvas; }

    int innerWidth() const;
    int innerHeight() const;

    double ScaleWidth() const override { return innerWidth(); }
    double ScaleHeight() const override { return innerHeight(); }
    std::intptr_t hWnd() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    int frameWidth() const { return m_framed ? 2 : 0; }
    void ensureCanvas();

    bool m_framed;
    QImage m_canvas;  // what has been drawn, inner size
    QImage m_picture; // the picture held at its own size
};

} // namespace examo
