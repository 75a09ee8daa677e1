#pragma once

#include "platform/printer.h"

#include <QFont>
#include <QString>

#include <memory>
#include <optional>

namespace examo {

// The printer model over QPainter. A document begins at the first drawing call and goes to
// the default CUPS printer; without one, each document becomes a numbered PDF file
// ("<prefix>-001.pdf", ...) in the folder the user chose for PDF output; with neither, every
// call throws PrintError so that the caller shows its own message. Text is placed with the top
// of its line at CurrentY, and a line that would run off the foot starts a new page. A document
// that is never ended is thrown away.
class QtPrinter : public Printer {
public:
    // PdfOnly never reaches a CUPS printer: tests must not put pages on a real printer.
    enum class Target { DefaultPrinterOrPdf, PdfOnly };

    QtPrinter(QString namePrefix, std::optional<QString> pdfFolder,
              Target target = Target::DefaultPrinterOrPdf);
    ~QtPrinter() override;
    QtPrinter(const QtPrinter&) = delete;
    QtPrinter& operator=(const QtPrinter&) = delete;

    // The folder named by EXAMO_PRINT_TO_PDF, when that is set.
    static std::optional<QString> pdfFolderFromEnvironment();
    // The PDF file the last endDoc wrote; empty when none was written.
    QString lastPdfPath() const { return m_lastPdfPath; }

    void setScaleMode(int mode) override;
    double currentX() const override;
    double currentY() const override;
    void setCurrentX(double x) override;
    void setCurrentY(double y) override;
    void setFontName(const QString& name) override;
    void setFontSize(double points) override;
    void setFontBold(bool bold) override;
    void setDrawWidth(int pixels) override;
    void print(const QString& text, bool endLine = true) override;
    double textWidth(const QString& text) override;
    double textHeight(const QString& text) override;
    void line(double x1, double y1, double x2, double y2) override;
    void box(double x1, double y1, double x2, double y2) override;
    void paintPicture(const QImage& picture, double x, double y, double width,
                      double height) override;
    double scaleWidth() const override;
    double scaleHeight() const override;
    void newPage() override;
    void endDoc() override;
    void killDoc() override;

private:
    struct Document;

    // The document under way, made when a call first needs the device.
    Document& document() const;
    // The document with its painter begun, for the calls that draw.
    Document& drawing();
    // Writes the finished PDF as the next numbered file and returns its path.
    QString writePdf(const QByteArray& bytes);
    void applyFont();
    // Device pixels per unit of the current scale along x or y.
    double pixelsPerUnit(bool horizontal) const;
    double toPixelsX(double x) const { return x * pixelsPerUnit(true); }
    double toPixelsY(double y) const { return y * pixelsPerUnit(false); }
    [[noreturn]] void fail(const QString& why);

    QString m_namePrefix;
    std::optional<QString> m_pdfFolder;
    Target m_target;
    int m_scaleMode = Twips;
    QFont m_font;
    int m_drawWidth = 1;
    QString m_lastPdfPath;
    mutable std::unique_ptr<Document> m_document;
};

} // namespace examo
