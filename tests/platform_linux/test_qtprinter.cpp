#include "platform/linux/qtprinter.h"

#include "support/tools.h"

#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using examo::Printer;
using examo::PrintError;
using examo::QtPrinter;

namespace {

// PDF output into a fresh folder; a CUPS printer on the machine running the tests is never used.
class QtPrinterTest : public ::testing::Test {
protected:
    QString file(const char* name) const { return dir.filePath(QString::fromUtf8(name)); }

    QTemporaryDir dir;
    QtPrinter printer{u"ExamoMe"_s, dir.path(), QtPrinter::Target::PdfOnly};
};

} // namespace

TEST_F(QtPrinterTest, LinesPagesAndFontsReachTheNextNumberedPdf) {
    printer.endDoc();
    EXPECT_TRUE(printer.lastPdfPath().isEmpty()) << "an empty document prints nothing";
    QFile(file("ExamoMe-010.pdf")).open(QIODevice::WriteOnly);
    QFile(file("Other-050.pdf")).open(QIODevice::WriteOnly);
    printer.print(u"thrown away"_s);
    printer.killDoc();
    printer.print(u"\r\n"_s);
    EXPECT_DOUBLE_EQ(printer.currentY(), 2 * printer.textHeight(QString())) << "a CR LF line";
    printer.print(u"Ann "_s, false);
    EXPECT_DOUBLE_EQ(printer.currentX(), printer.textWidth(u"Ann "_s));
    printer.print(u"Smith"_s);
    printer.setFontName(u"courier new"_s);
    printer.setFontBold(true);
    printer.print(u"Score 3 of 4."_s);
    printer.newPage();
    printer.setFontBold(false);
    printer.setCurrentY(printer.scaleHeight() - 1); // runs off the foot onto a third page
    printer.print(u"Key for History quiz"_s);
    EXPECT_TRUE(printer.lastPdfPath().isEmpty()) << "nothing is written before the end";
    printer.endDoc();

    ASSERT_EQ(printer.lastPdfPath(), file("ExamoMe-011.pdf"));
    const QStringList pages = examo::testing::pdfText(printer.lastPdfPath()).split(u'\f');
    ASSERT_EQ(pages.size(), 4) << "three pages and what follows the last form feed";
    EXPECT_GE(pages[0].indexOf(u"Smith"_s), 0);
    EXPECT_LT(pages[0].indexOf(u"Smith"_s), pages[0].indexOf(u"Score"_s));
    EXPECT_FALSE(pages[0].contains(u"thrown"_s));
    EXPECT_TRUE(pages[2].contains(u"Key for History quiz"_s));
    const QString fonts = examo::testing::runProgram(u"pdffonts"_s, {printer.lastPdfPath()}).output;
    for (const char* font : {"LiberationMono-Bold", "LiberationMono ", "DejaVuSans"})
        EXPECT_TRUE(fonts.contains(QString::fromUtf8(font))) << font << fonts.toStdString();
}

TEST_F(QtPrinterTest, WithoutPrinterOrUsableFolderEveryCallFails) {
    QtPrinter nowhere(u"ExamoMe"_s, std::nullopt, QtPrinter::Target::PdfOnly);
    EXPECT_THROW(nowhere.print(u"x"_s), PrintError);
    EXPECT_NO_THROW(nowhere.killDoc());
    QFile(file("file")).open(QIODevice::WriteOnly);
    EXPECT_THROW(QtPrinter(u"ExamoMe"_s, file("file"), QtPrinter::Target::PdfOnly).print(u"x"_s),
                 PrintError);
    EXPECT_THROW(printer.setScaleMode(4), PrintError);
    EXPECT_THROW(printer.paintPicture(QImage(), 0, 0, 10, 10), PrintError);
}
