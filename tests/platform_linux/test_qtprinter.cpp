#include "platform/linux/qtprinter.h"

#include "support/tools.h"

#include <QFile>
#include <QImage>
#include <QPrinterInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using examo::Printer;
using examo::PrintError;
using examo::QtPrinter;

namespace {

// PDF output into a fresh folder; a CUPS printer on the machine running the tests is never used.
class QtPrinterTest : public ::testing::Test {
protected:
    QString file(const char* name) const { return dir.filePath(QString::fromUtf8(name)); }

    QTemporaryDir dir;
    QtPrinter printer{QStringLiteral("ExamoMe"), dir.path(), QtPrinter::Target::PdfOnly};
};

} // namespace

TEST_F(QtPrinterTest, LinesPagesAndFontsReachTheNextNumberedPdf) {
    printer.endDoc();
    EXPECT_TRUE(printer.lastPdfPath().isEmpty()) << "an empty document prints nothing";
    QFile(file("ExamoMe-010.pdf")).open(QIODevice::WriteOnly);
    QFile(file("Other-050.pdf")).open(QIODevice::WriteOnly);
    printer.print(QStringLiteral("thrown away"));
    printer.killDoc();

    printer.print(QStringLiteral("\r\n"));
    EXPECT_DOUBLE_EQ(printer.currentY(), 2 * printer.textHeight(QString())) << "a CR LF line";
    printer.print(QStringLiteral("Ann "), false);
    EXPECT_DOUBLE_EQ(printer.currentX(), printer.textWidth(QStringLiteral("Ann ")));
    printer.print(QStringLiteral("Smith"));
    printer.setFontName(QStringLiteral("courier new"));
    printer.setFontBold(true);
    printer.print(QStringLiteral("Score 3 of 4."));
    printer.newPage();
    printer.setFontBold(false);
    printer.setCurrentY(printer.scaleHeight() - 1); // runs off the foot onto a third page
    printer.print(QStringLiteral("Key for History quiz"));
    EXPECT_TRUE(printer.lastPdfPath().isEmpty()) << "nothing is written before the end";
    printer.endDoc();

    ASSERT_EQ(printer.lastPdfPath(), file("ExamoMe-011.pdf"));
    const QStringList pages = examo::testing::pdfText(printer.lastPdfPath()).split(u'\f');
    ASSERT_EQ(pages.size(), 4) << "three pages and what follows the last form feed";
    EXPECT_GE(pages[0].indexOf(QStringLiteral("Smith")), 0);
    EXPECT_LT(pages[0].indexOf(QStringLiteral("Smith")), pages[0].indexOf(QStringLiteral("Score")));
    EXPECT_FALSE(pages[0].contains(QStringLiteral("thrown")));
    EXPECT_TRUE(pages[2].contains(QStringLiteral("Key for History quiz")));
    const QString fonts =
        examo::testing::runProgram(QStringLiteral("pdffonts"), {printer.lastPdfPath()}).output;
    for (const char* font : {"LiberationMono-Bold", "LiberationMono ", "DejaVuSans"})
        EXPECT_TRUE(fonts.contains(QString::fromUtf8(font))) << font << fonts.toStdString();
}

TEST_F(QtPrinterTest, WithoutPrinterOrUsableFolderEveryCallFails) {
    QtPrinter nowhere(QStringLiteral("ExamoMe"), std::nullopt, QtPrinter::Target::PdfOnly);
    EXPECT_THROW(nowhere.print(QStringLiteral("x")), PrintError);
    EXPECT_THROW(nowhere.endDoc(), PrintError);
    EXPECT_NO_THROW(nowhere.killDoc());
    QFile(file("file")).open(QIODevice::WriteOnly);
    QtPrinter blocked(QStringLiteral("ExamoMe"), file("file"), QtPrinter::Target::PdfOnly);
    EXPECT_THROW(blocked.print(QStringLiteral("x")), PrintError);
    EXPECT_THROW(printer.setScaleMode(4), PrintError);
    EXPECT_THROW(printer.paintPicture(QImage(), 0, 0, 10, 10), PrintError);
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
