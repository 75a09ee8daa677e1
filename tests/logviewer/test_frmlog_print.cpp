#include "logviewerfixture.h"

#include "platform/linux/qtprinter.h"
#include "support/tools.h"

#include <QRegularExpression>

using namespace examo;
using examo::testing::entry;
using Texts = std::vector<std::string>;

using LogViewerPrinting = examo::testing::LogViewerTest;

// An empty line, the file name, two empty lines and the text without its outer blanks.
TEST_F(LogViewerPrinting, LinesWiderThanThePageBreakAtBlanksOrWhereTheyMust) {
    printer.pageWidth = 40; // 20 characters
    form().LogFileName = "/a/very/long/folder/name/math.log";
    form().txtLog->setPlainText(
        QStringLiteral("  Ann.    Score 7 of 9.  77%   Time spent 45 seconds.\n\nBob.  "));
    form().mnuPrint_Click();
    EXPECT_EQ(printer.calls,
              (QStringList{QStringLiteral("Print||1"),
                           QStringLiteral("Print|/a/very/long/folder/\r\nname/math.log\r\n\r\n|1"),
                           QStringLiteral("Print|Ann.    Score 7 of\r\n9.  77%   Time "
                                          "spent\r\n45 seconds.\r\n\r\nBob.|1"),
                           QStringLiteral("EndDoc")}));
    printer.calls.clear();
    printer.fail = true;
    form().mnuPrint_Click();
    EXPECT_EQ(dialogs.texts(), Texts{"There has been an error in printing this log."});
    EXPECT_EQ(printer.calls, QStringList{QStringLiteral("KillDoc")});
}

// The real printer writing a PDF file, read back as a reader would: nothing runs off the paper.
TEST_F(LogViewerPrinting, ThePdfPageHoldsTheFileNameAndTheLog) {
    QtPrinter pdf(QStringLiteral("ExamoForge"), QString::fromStdString(dir.path("pdf")),
                  QtPrinter::Target::PdfOnly);
    frmLog f(dialogs, fileDialogs, program, pdf);
    // The longer entry is wider than the paper.
    const std::string log = writeLog("math.log", {"\xC8ric", "\xCFsabel M\xFCller von Lindenau"});
    openThroughMenu(f, log);
    f.mnuPrint_Click();
    ASSERT_FALSE(pdf.lastPdfPath().isEmpty());
    EXPECT_EQ(examo::testing::pdfText(pdf.lastPdfPath()).simplified(),
              QString::fromStdString(log + " " + entry("\xC3\x88ric") + " " +
                                     entry("\xC3\x8Fsabel M\xC3\xBCller von Lindenau"))
                  .simplified());
    // The right edge of the rightmost word against the page's printable right edge, in points.
    const QString boxes = examo::testing::pdfText(pdf.lastPdfPath(), QStringLiteral("-bbox"));
    double rightmost = 0;
    auto words = QRegularExpression(QStringLiteral("xMax=\"([\\d.]+)\"")).globalMatch(boxes);
    while (words.hasNext())
        rightmost = std::max(rightmost, words.next().captured(1).toDouble());
    const auto page = QRegularExpression(QStringLiteral("<page width=\"([\\d.]+)\"")).match(boxes);
    EXPECT_LE(rightmost, page.captured(1).toDouble() - 6.35 * 72 / 25.4); // less the margin
}
