#pragma once

#include "platform/printer.h"

#include <QStringList>

namespace examo::fakes {

// Records each printer call as one line of text ("print|Ann|1", "EndDoc").
class FakePrinter : public Printer {
public:
    void setScaleMode(int mode) override { record(QStringLiteral("ScaleMode|%1").arg(mode)); }
    double currentX() const override { return m_x; }
    double currentY() const override { return m_y; }
    void setCurrentX(double x) override {
        m_x = x;
        record(QStringLiteral("CurrentX|%1").arg(x));
    }
    void setCurrentY(double y) override {
        m_y = y;
        record(QStringLiteral("CurrentY|%1").arg(y));
    }
    void setFontName(const QString& name) override { record(QStringLiteral("FontName|") + name); }
    void setFontSize(double points) override { record(QStringLiteral("FontSize|%1").arg(points)); }
    void setFontBold(bool bold) override { record(QStringLiteral("FontBold|%1").arg(bold)); }
    void setDrawWidth(int pixels) override { record(QStringLiteral("DrawWidth|%1").arg(pixels)); }
    void print(const QString& text, bool endLine) override {
        check();
        calls.append(QStringLiteral("Print|") + text +
                     (endLine ? QStringLiteral("|1") : QStringLiteral("|0")));
        if (endLine) {
            m_x = 0;
            m_y += lineHeight;
        } else {
            m_x += textWidth(text);
        }
    }
    double textWidth(const QString& text) override { return text.size() * charWidth; }
    double textHeight(const QString&) override { return lineHeight; }
    void line(double x1, double y1, double x2, double y2) override {
        record(QStringLiteral("Line|%1|%2|%3|%4").arg(x1).arg(y1).arg(x2).arg(y2));
        m_x = x2;
        m_y = y2;
    }
    void box(double x1, double y1, double x2, double y2) override {
        record(QStringLiteral("Box|%1|%2|%3|%4").arg(x1).arg(y1).arg(x2).arg(y2));
        m_x = x2;
        m_y = y2;
    }
    void paintPicture(const QImage& picture, double x, double y, double w, double h) override {
        record(QStringLiteral("PaintPicture|%1x%2|%3|%4|%5|%6")
                   .arg(picture.width())
                   .arg(picture.height())
                   .arg(x)
                   .arg(y)
                   .arg(w)
                   .arg(h));
    }
    double scaleWidth() const override { return pageWidth; }
    double scaleHeight() const override { return pageHeight; }
    void newPage() override {
        record(QStringLiteral("NewPage"));
        m_x = 0;
        m_y = 0;
    }
    void endDoc() override {
        record(QStringLiteral("EndDoc"));
        m_x = 0;
        m_y = 0;
    }
    void killDoc() override {
        calls.append(QStringLiteral("KillDoc"));
        m_x = 0;
        m_y = 0;
    }

    QStringList calls;
    bool fail = false; // every call throws PrintError
    double pageWidth = 215.9;
    double pageHeight = 279.4;
    double lineHeight = 4.0;
    double charWidth = 2.0;

private:
    void check() const {
        if (fail)
            throw PrintError("no printer");
    }
    void record(const QString& call) {
        check();
        calls.append(call);
    }
    double m_x = 0;
    double m_y = 0;
};

} // namespace examo::fakes
