#include "platform/linux/qtprinter.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QLocale>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QRegularExpression>
#include <QStringList>

#include <algorithm>
#include <utility>

namespace examo {

namespace {

// PDF pages are drawn at a laser printer's resolution, inside the border such a printer
// cannot reach, so that positions on the printable area land where they would on paper.
constexpr int kPdfResolution = 600;
constexpr double kPdfMarginMillimetres = 6.35;

QStringList linesOf(const QString& text) {
    QString lines = text;
    lines.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    lines.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return lines.split(QLatin1Char('\n'));
}

QPageSize::PageSizeId localPaper() {
    return QLocale::system().measurementSystem() == QLocale::ImperialUSSystem ? QPageSize::Letter
                                                                              : QPageSize::A4;
}

} // namespace

struct QtPrinter::Document {
    std::unique_ptr<QPrinter> printer; // the CUPS printer, or
    std::unique_ptr<QBuffer> pdfBytes; // a PDF gathered in memory and written at the end
    std::unique_ptr<QPdfWriter> pdf;
    QPagedPaintDevice* device = nullptr;
    QPainter painter; // after the devices, so that it ends before they go
    double x = 0;     // the current position in device pixels
    double y = 0;

    ~Document() {
        // A document that was never ended is abandoned, not sent.
        if (painter.isActive()) {
            if (printer)
                printer->abort();
            painter.end();
        }
    }
};

QtPrinter::QtPrinter(QString namePrefix, std::optional<QString> pdfFolder, Target target)
    : m_namePrefix(std::move(namePrefix)), m_pdfFolder(std::move(pdfFolder)), m_target(target),
      m_font(QStringLiteral("Sans Serif"), 10) {
    m_font.setStyleHint(QFont::SansSerif);
}

QtPrinter::~QtPrinter() = default;

std::optional<QString> QtPrinter::pdfFolderFromEnvironment() {
    const QString folder = qEnvironmentVariable("EXAMO_PRINT_TO_PDF");
    if (folder.isEmpty())
        return std::nullopt;
    return folder;
}

QtPrinter::Document& QtPrinter::document() const {
    if (m_document)
        return *m_document;
    auto doc = std::make_unique<Document>();
    if (m_target == Target::DefaultPrinterOrPdf) {
        const QPrinterInfo info = QPrinterInfo::defaultPrinter();
        if (!info.isNull()) {
            doc->printer = std::make_unique<QPrinter>(info, QPrinter::HighResolution);
            doc->printer->setDocName(m_namePrefix);
            doc->device = doc->printer.get();
        }
    }
    if (!doc->device) {
        if (!m_pdfFolder)
            throw PrintError("There is no printer.");
        doc->pdfBytes = std::make_unique<QBuffer>();
        doc->pdfBytes->open(QIODevice::WriteOnly);
        doc->pdf = std::make_unique<QPdfWriter>(doc->pdfBytes.get());
        doc->pdf->setCreator(m_namePrefix);
        doc->pdf->setTitle(m_namePrefix);
        doc->pdf->setResolution(kPdfResolution);
        doc->pdf->setPageLayout(QPageLayout(QPageSize(localPaper()), QPageLayout::Portrait,
                                            QMarginsF(kPdfMarginMillimetres, kPdfMarginMillimetres,
                                                      kPdfMarginMillimetres, kPdfMarginMillimetres),
                                            QPageLayout::Millimeter));
        doc->device = doc->pdf.get();
    }
    m_document = std::move(doc);
    return *m_document;
}

QtPrinter::Document& QtPrinter::drawing() {
    Document& doc = document();
    if (doc.painter.isActive())
        return doc;
    if (doc.pdf) {
        // Checked now rather than at the end, so that the caller learns of it at once.
        const QFileInfo folder(*m_pdfFolder);
        if (!QDir().mkpath(*m_pdfFolder) || !folder.isDir() || !folder.isWritable())
            fail(QStringLiteral("The PDF folder %1 cannot be written.").arg(*m_pdfFolder));
    }
    if (!doc.painter.begin(doc.device))
        fail(QStringLiteral("The printer refused the document."));
    doc.painter.setFont(m_font);
    doc.painter.setPen(QPen(Qt::black, m_drawWidth, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    doc.painter.setBrush(Qt::NoBrush);
    doc.painter.setRenderHint(QPainter::SmoothPixmapTransform);
    return doc;
}

void QtPrinter::fail(const QString& why) {
    m_document.reset();
    throw PrintError(why.toStdString());
}

double QtPrinter::pixelsPerUnit(bool horizontal) const {
    const QPaintDevice* device = document().device;
    const double dpi = horizontal ? device->logicalDpiX() : device->logicalDpiY();
    switch (m_scaleMode) {
    case Twips:
        return dpi / 1440.0;
    case Pixels:
        return 1.0;
    case Millimetres:
        return dpi / 25.4;
    default:
        return 1.0;
    }
}

void QtPrinter::setScaleMode(int mode) {
    document();
    if (mode != Twips && mode != Pixels && mode != Millimetres)
        throw PrintError("This scale mode is not supported.");
    // The position is kept in device pixels, so it stays where it is on the page.
    m_scaleMode = mode;
}

double QtPrinter::currentX() const {
    return document().x / pixelsPerUnit(true);
}

double QtPrinter::currentY() const {
    return document().y / pixelsPerUnit(false);
}

void QtPrinter::setCurrentX(double x) {
    document().x = toPixelsX(x);
}

void QtPrinter::setCurrentY(double y) {
    document().y = toPixelsY(y);
}

void QtPrinter::applyFont() {
    Document& doc = document();
    if (doc.painter.isActive())
        doc.painter.setFont(m_font);
}

void QtPrinter::setFontName(const QString& name) {
    // Families the system lacks ("courier new") are resolved by fontconfig's aliases.
    m_font.setFamily(name);
    applyFont();
}

void QtPrinter::setFontSize(double points) {
    if (points <= 0)
        throw PrintError("A font size must be positive.");
    m_font.setPointSizeF(points);
    applyFont();
}

void QtPrinter::setFontBold(bool bold) {
    m_font.setBold(bold);
    applyFont();
}

void QtPrinter::setDrawWidth(int pixels) {
    Document& doc = document();
    m_drawWidth = std::max(1, pixels);
    if (doc.painter.isActive()) {
        QPen pen = doc.painter.pen();
        pen.setWidth(m_drawWidth);
        doc.painter.setPen(pen);
    }
}

void QtPrinter::print(const QString& text, bool endLine) {
    Document& doc = drawing();
    const QFontMetricsF metrics(m_font, doc.device);
    const QStringList lines = linesOf(text);
    for (qsizetype i = 0; i < lines.size(); ++i) {
        // Text running off the foot of the page continues on the next one.
        if (doc.y > 0 && doc.y + metrics.lineSpacing() > doc.device->height()) {
            if (!doc.device->newPage())
                fail(QStringLiteral("The printer refused a new page."));
            doc.y = 0;
        }
        doc.painter.drawText(QPointF(doc.x, doc.y + metrics.ascent()), lines[i]);
        if (endLine || i + 1 < lines.size()) {
            doc.x = 0;
            doc.y += metrics.lineSpacing();
        } else {
            doc.x += metrics.horizontalAdvance(lines[i]);
        }
    }
}

double QtPrinter::textWidth(const QString& text) {
    const QFontMetricsF metrics(m_font, document().device);
    double widest = 0;
    for (const QString& line : linesOf(text))
        widest = std::max(widest, metrics.horizontalAdvance(line));
    return widest / pixelsPerUnit(true);
}

double QtPrinter::textHeight(const QString& text) {
    const QFontMetricsF metrics(m_font, document().device);
    return metrics.lineSpacing() * double(linesOf(text).size()) / pixelsPerUnit(false);
}

void QtPrinter::line(double x1, double y1, double x2, double y2) {
    Document& doc = drawing();
    doc.painter.drawLine(QLineF(toPixelsX(x1), toPixelsY(y1), toPixelsX(x2), toPixelsY(y2)));
    doc.x = toPixelsX(x2);
    doc.y = toPixelsY(y2);
}

void QtPrinter::box(double x1, double y1, double x2, double y2) {
    Document& doc = drawing();
    doc.painter.drawRect(
        QRectF(QPointF(toPixelsX(x1), toPixelsY(y1)), QPointF(toPixelsX(x2), toPixelsY(y2)))
            .normalized());
    doc.x = toPixelsX(x2);
    doc.y = toPixelsY(y2);
}

void QtPrinter::paintPicture(const QImage& picture, double x, double y, double width,
                             double height) {
    Document& doc = drawing();
    if (picture.isNull())
        throw PrintError("There is no picture to paint.");
    doc.painter.drawImage(QRectF(toPixelsX(x), toPixelsY(y), toPixelsX(width), toPixelsY(height)),
                          picture);
}

double QtPrinter::scaleWidth() const {
    return document().device->width() / pixelsPerUnit(true);
}

double QtPrinter::scaleHeight() const {
    return document().device->height() / pixelsPerUnit(false);
}

void QtPrinter::newPage() {
    Document& doc = drawing();
    if (!doc.device->newPage())
        fail(QStringLiteral("The printer refused a new page."));
    doc.x = 0;
    doc.y = 0;
}

QString QtPrinter::writePdf(const QByteArray& bytes) {
    const QDir folder(*m_pdfFolder);
    const QRegularExpression numbered(QLatin1Char('^') + QRegularExpression::escape(m_namePrefix) +
                                      QStringLiteral("-(\\d+)\\.pdf$"));
    // After the highest number present, so that the files stay in the order they were made.
    int next = 1;
    const QStringList names = folder.entryList({m_namePrefix + QStringLiteral("-*.pdf")});
    for (const QString& name : names) {
        const QRegularExpressionMatch match = numbered.match(name);
        bool ok = false;
        const int number = match.hasMatch() ? match.captured(1).toInt(&ok) : 0;
        if (ok && number < 999999)
            next = std::max(next, number + 1);
    }
    for (int attempt = 0; attempt < 100; ++attempt, ++next) {
        QString path = folder.filePath(
            QStringLiteral("%1-%2.pdf").arg(m_namePrefix).arg(next, 3, 10, QLatin1Char('0')));
        // NewOnly: another program printing into the same folder keeps its own number.
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
            if (file.exists())
                continue;
            break;
        }
        if (file.write(bytes) == bytes.size() && file.flush()) {
            file.close();
            if (file.error() == QFileDevice::NoError)
                return path;
        }
        const QString why = file.errorString();
        file.remove();
        fail(QStringLiteral("%1 could not be written: %2").arg(path, why));
    }
    fail(QStringLiteral("No PDF file can be made in %1.").arg(*m_pdfFolder));
}

void QtPrinter::endDoc() {
    Document& doc = document();
    if (doc.painter.isActive()) {
        if (!doc.painter.end())
            fail(QStringLiteral("The printer did not take the document."));
        if (doc.pdf)
            m_lastPdfPath = writePdf(doc.pdfBytes->data());
    }
    m_document.reset();
}

void QtPrinter::killDoc() {
    m_document.reset();
}

} // namespace examo
