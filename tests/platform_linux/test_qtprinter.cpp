#include "platform/linux/qtprinter.h"

#include "support/tools.h"

#include <QFile>
#include <QImage>
#include <QPrinterInfo>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <optional>

using examo::Printer;
using examo::PrintError;
using examo::QtPrinter;

namespace {

QString run(const QString& program, const QStringList& arguments) {
    return examo::testing::runProgram(program, arguments).output;
}

// PDF output into a fresh folder; a CUPS printer on the machine running the tests is never used.
class QtPrinterTest : public ::testing::Test {
protected:
    QString text(const QString& pdf) const { return examo::testing::pdfText(pdf); }
    int pages(const QString& pdf) const {
        const QRegularExpressionMatch match = QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)"))
                                                  .match(run(QStringLiteral("pdfinfo"), {pdf}));
        return match.hasMatch() ? match.captured(1).toInt() : -1;
    }
    // The first page rendered at 100 dots per inch.
    QImage render(const QString& pdf) const {
        const QString base = dir.filePath(QStringLiteral("page"));
        run(QStringLiteral("pdftoppm"),
            {QStringLiteral("-r"), QStringLiteral("100"), QStringLiteral("-png"),
             QStringLiteral("-singlefile"), pdf, base});
        return QImage(base + QStringLiteral(".png"));
    }
    // Millimetres on the printable area to pixels of render(): the PDF keeps a 6.35 mm border.
    static int px(double mm) { return int((mm + 6.35) / 25.4 * 100.0 + 0.5); }

    QTemporaryDir dir;
    QtPrinter printer{QStringLiteral("ExamoMe"), dir.path(), QtPrinter::Target::PdfOnly};
};

} // namespace

TEST_F(QtPrinterTest, LinesPagesAndFontsReachTheNumberedPdf) {
    printer.print(QString());
    printer.print(QStringLiteral("\r\n"));
    EXPECT_DOUBLE_EQ(printer.currentY(), 3 * printer.textHeight(QString()))
        << "an empty line and a CR LF line";
    printer.print(QStringLiteral("Ann Smith"));
    printer.print(QStringLiteral("History quiz, Room 4"));
    printer.setFontName(QStringLiteral("courier new"));
    printer.setFontBold(true);
    printer.print(QStringLiteral("Score 3 of 4."));
    printer.newPage();
    printer.setFontBold(false);
    printer.print(QStringLiteral("Key for History quiz"));
    EXPECT_TRUE(printer.lastPdfPath().isEmpty()) << "nothing is written before the end";
    printer.endDoc();

    const QString pdf = dir.filePath(QStringLiteral("ExamoMe-001.pdf"));
    ASSERT_EQ(printer.lastPdfPath(), pdf);
    EXPECT_EQ(pages(pdf), 2);
    const QStringList pageTexts = text(pdf).split(QLatin1Char('\f'));
    ASSERT_GE(pageTexts.size(), 2);
    const QString first = pageTexts[0];
    const qsizetype student = first.indexOf(QStringLiteral("Ann Smith"));
    EXPECT_GE(student, 0);
    EXPECT_LT(student, first.indexOf(QStringLiteral("History quiz, Room 4")));
    EXPECT_LT(first.indexOf(QStringLiteral("Room 4")),
              first.indexOf(QStringLiteral("Score 3 of 4.")));
    EXPECT_TRUE(pageTexts[1].contains(QStringLiteral("Key for History quiz")));

    const QString fonts = run(QStringLiteral("pdffonts"), {pdf});
    EXPECT_TRUE(fonts.contains(QStringLiteral("LiberationMono-Bold"))) << fonts.toStdString();
    EXPECT_TRUE(fonts.contains(QStringLiteral("LiberationMono "))) << fonts.toStdString();
    EXPECT_TRUE(fonts.contains(QStringLiteral("DejaVuSans"))) << "the default sans-serif font";
}

TEST_F(QtPrinterTest, EachDocumentTakesTheNextFreeNumber) {
    printer.endDoc();
    EXPECT_TRUE(printer.lastPdfPath().isEmpty()) << "an empty document prints nothing";

    QFile(dir.filePath(QStringLiteral("ExamoMe-010.pdf"))).open(QIODevice::WriteOnly);
    QFile(dir.filePath(QStringLiteral("Other-050.pdf"))).open(QIODevice::WriteOnly);
    printer.print(QStringLiteral("three"));
    printer.endDoc();
    EXPECT_EQ(printer.lastPdfPath(), dir.filePath(QStringLiteral("ExamoMe-011.pdf")));
    EXPECT_TRUE(text(printer.lastPdfPath()).contains(QStringLiteral("three")));

    printer.print(QStringLiteral("thrown away"));
    printer.killDoc();
    printer.print(QStringLiteral("four"));
    printer.endDoc();
    EXPECT_EQ(printer.lastPdfPath(), dir.filePath(QStringLiteral("ExamoMe-012.pdf")));
    EXPECT_FALSE(text(printer.lastPdfPath()).contains(QStringLiteral("thrown")));
}

TEST_F(QtPrinterTest, WithoutPrinterOrUsableFolderEveryCallFails) {
    QtPrinter nowhere(QStringLiteral("ExamoMe"), std::nullopt, QtPrinter::Target::PdfOnly);
    EXPECT_THROW(nowhere.setScaleMode(Printer::Millimetres), PrintError);
    EXPECT_THROW(nowhere.print(QStringLiteral("x")), PrintError);
    EXPECT_THROW(nowhere.endDoc(), PrintError);
    EXPECT_NO_THROW(nowhere.killDoc());

    const QString notAFolder = dir.filePath(QStringLiteral("file"));
    QFile(notAFolder).open(QIODevice::WriteOnly);
    QtPrinter blocked(QStringLiteral("ExamoMe"), notAFolder, QtPrinter::Target::PdfOnly);
    EXPECT_THROW(blocked.print(QStringLiteral("x")), PrintError);

    EXPECT_THROW(printer.setScaleMode(4), PrintError);
    EXPECT_THROW(printer.paintPicture(QImage(), 0, 0, 10, 10), PrintError);
}

TEST_F(QtPrinterTest, TextMovesTheCurrentPositionInTheScale) {
    printer.setScaleMode(Printer::Millimetres);
    printer.setFontName(QStringLiteral("courier new"));
    printer.setFontSize(8);
    const double line = printer.textHeight(QStringLiteral("x"));
    // Liberation Mono: 0.6 em wide, 1.133 em from line to line.
    EXPECT_NEAR(printer.textWidth(QStringLiteral("0123456789")), 10 * 0.6 * 8 * 25.4 / 72, 0.1);
    EXPECT_NEAR(line, 8 * 1.1328 * 25.4 / 72, 0.1);
    EXPECT_DOUBLE_EQ(printer.textHeight(QStringLiteral("a\r\nb\r\nc")), 3 * line);
    EXPECT_DOUBLE_EQ(printer.textWidth(QStringLiteral("abcd\r\nab")),
                     printer.textWidth(QStringLiteral("abcd")));

    printer.setCurrentX(10);
    printer.setCurrentY(20);
    printer.print(QStringLiteral("  A.  "), false);
    EXPECT_NEAR(printer.currentX(), 10 + printer.textWidth(QStringLiteral("  A.  ")), 1e-9);
    EXPECT_NEAR(printer.currentY(), 20, 1e-9);
    printer.print(QStringLiteral("Paris"));
    EXPECT_EQ(printer.currentX(), 0);
    EXPECT_NEAR(printer.currentY(), 20 + line, 1e-9);
    printer.print(QStringLiteral("\r\n"));
    EXPECT_NEAR(printer.currentY(), 20 + 3 * line, 1e-9);
    printer.print(QStringLiteral("one\r\ntwo"), false);
    EXPECT_NEAR(printer.currentX(), printer.textWidth(QStringLiteral("two")), 1e-9);
    EXPECT_NEAR(printer.currentY(), 20 + 4 * line, 1e-9);

    printer.line(10, 50, 80, 50);
    EXPECT_NEAR(printer.currentX(), 80, 1e-9);
    EXPECT_NEAR(printer.currentY(), 50, 1e-9);
    printer.setScaleMode(Printer::Twips);
    EXPECT_NEAR(printer.currentX(), 80 * 1440 / 25.4, 1e-6) << "the point stays on the page";
    printer.endDoc();
    EXPECT_EQ(printer.currentX(), 0);
    EXPECT_EQ(printer.currentY(), 0);
}

TEST_F(QtPrinterTest, PageIsThePrintableAreaOfA4OrLetter) {
    printer.setScaleMode(Printer::Millimetres);
    const double width = printer.scaleWidth();
    const double height = printer.scaleHeight();
    const bool a4 = std::abs(width - (210 - 12.7)) < 0.5 && std::abs(height - (297 - 12.7)) < 0.5;
    const bool letter =
        std::abs(width - (215.9 - 12.7)) < 0.5 && std::abs(height - (279.4 - 12.7)) < 0.5;
    EXPECT_TRUE(a4 || letter) << width << " x " << height;
    printer.setScaleMode(Printer::Twips);
    EXPECT_NEAR(printer.scaleWidth(), width * 1440 / 25.4, 1);

    // Text that runs off the foot continues at the top of the next page.
    printer.setScaleMode(Printer::Millimetres);
    printer.setCurrentY(height - 1);
    printer.print(QStringLiteral("overflow"));
    EXPECT_NEAR(printer.currentY(), printer.textHeight(QStringLiteral("overflow")), 1e-9);
    printer.endDoc();
    EXPECT_EQ(pages(printer.lastPdfPath()), 2);
}

TEST_F(QtPrinterTest, DrawingLandsWhereTheMillimetresSay) {
    printer.setScaleMode(Printer::Millimetres);
    printer.setFontName(QStringLiteral("courier new"));
    printer.setFontSize(12);
    printer.setCurrentX(20);
    printer.setCurrentY(30);
    printer.print(QStringLiteral("Here"));
    printer.setDrawWidth(12);
    printer.box(20, 60, 60, 80);
    printer.line(20, 100, 120, 100);
    QImage picture(40, 20, QImage::Format_RGB32);
    picture.fill(Qt::red);
    printer.paintPicture(picture, 100, 60, 30, 15);
    printer.endDoc();

    // The top of the text cell sits at CurrentY.
    const QString boxes = examo::testing::pdfText(printer.lastPdfPath(), QStringLiteral("-bbox"));
    const QRegularExpressionMatch word =
        QRegularExpression(QStringLiteral("xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\"[^>]*>Here<"))
            .match(boxes);
    ASSERT_TRUE(word.hasMatch()) << boxes.toStdString();
    EXPECT_NEAR(word.captured(1).toDouble(), (20 + 6.35) * 72 / 25.4, 1.0);
    EXPECT_NEAR(word.captured(2).toDouble(), (30 + 6.35) * 72 / 25.4, 1.5);

    const QImage page = render(printer.lastPdfPath());
    ASSERT_FALSE(page.isNull());
    auto dark = [&](double x, double y) { return qGray(page.pixel(px(x), px(y))) < 100; };
    EXPECT_TRUE(dark(40, 60)) << "top edge of the box";
    EXPECT_TRUE(dark(20, 70)) << "left edge of the box";
    EXPECT_FALSE(dark(40, 70)) << "a box is an outline";
    EXPECT_TRUE(dark(70, 100)) << "the line";
    EXPECT_FALSE(dark(70, 97));
    auto red = [&](double x, double y) {
        const QRgb pixel = page.pixel(px(x), px(y));
        return qRed(pixel) > 200 && qGreen(pixel) < 50 && qBlue(pixel) < 50;
    };
    EXPECT_TRUE(red(115, 67)) << "the picture";
    EXPECT_TRUE(red(101, 61)) << "the picture's top left corner";
    EXPECT_FALSE(red(115, 77)) << "below the picture";
    EXPECT_FALSE(red(132, 67)) << "right of the picture";
}

TEST(QtPrinterDefault, WithoutACupsPrinterDocumentsBecomePdfFiles) {
    if (!QPrinterInfo::defaultPrinter().isNull())
        GTEST_SKIP() << "this machine has a default printer, which must not get a test page";
    QTemporaryDir dir;
    QtPrinter printer(QStringLiteral("ExamoForge"), dir.path());
    printer.print(QStringLiteral("on file"));
    printer.endDoc();
    EXPECT_EQ(printer.lastPdfPath(), dir.filePath(QStringLiteral("ExamoForge-001.pdf")));
}
