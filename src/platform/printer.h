#pragma once

#include <QImage>
#include <QString>
#include <stdexcept>

namespace examo {

// Thrown by a Printer when the document cannot be printed (no printer, a refused job).
class PrintError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The default printer, in the model of a page with a current position that text advances.
// Coordinates are in the current scale (ScaleMode 6 = millimetres, 1 = twips, 3 = the
// printer's own pixels), measured from the top left corner of the printable area.
class Printer {
public:
    enum ScaleMode { Twips = 1, Pixels = 3, Millimetres = 6 };

    virtual ~Printer() = default;
    virtual void setScaleMode(int mode) = 0;
    virtual double currentX() const = 0;
    virtual double currentY() const = 0;
    virtual void setCurrentX(double x) = 0;
    virtual void setCurrentY(double y) = 0;
    virtual void setFontName(const QString& name) = 0;
    virtual void setFontSize(double points) = 0;
    virtual void setFontBold(bool bold) = 0;
    // Width of lines and box outlines in the printer's pixels.
    virtual void setDrawWidth(int pixels) = 0;
    // Writes text at the current position; with endLine the position moves to the next line's
    // start, without it to the end of the text.
    virtual void print(const QString& text, bool endLine = true) = 0;
    virtual double textWidth(const QString& text) = 0;
    virtual double textHeight(const QString& text) = 0;
    // Both leave the current position at (x2, y2).
    virtual void line(double x1, double y1, double x2, double y2) = 0;
    virtual void box(double x1, double y1, double x2, double y2) = 0;
    virtual void paintPicture(const QImage& picture, double x, double y, double width,
                              double height) = 0;
    virtual double scaleWidth() const = 0;
    virtual double scaleHeight() const = 0;
    virtual void newPage() = 0;
    // Sends the document; throws PrintError when it could not be printed.
    virtual void endDoc() = 0;
    // Throws away the document begun so far; nothing is sent. Never throws, so that failure
    // handling can call it.
    virtual void killDoc() = 0;
};

} // namespace examo
