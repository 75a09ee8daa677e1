#include "logviewerfixture.h"

#include "platform/linux/qtprinter.h"
#include "support/tools.h"

#include <QRegularExpression>

#include <algorithm>
#include <utility>

using namespace examo;
using examo::testing::kAnn;

namespace {

class LogViewerPrinting : public examo::testing::LogViewerTest {};

TEST_F(LogViewerPrinting, AnEmptyLineThenTheFileNameTwoEmptyLinesAndTheTrimmedText) {
    const std::string log = writeLog("math.log", {finished("Ann", 7, 9, 75)});
    openThroughMenu(form(), log);
    QTextCursor c = form().txtLog->textCursor();
    c.insertText(QStringLiteral("  "));
    printer.pageWidth = 500; // every line fits

    form().mnuPrint->trigger();

    const QString name = QString::fromStdString(log);
    EXPECT_EQ(printer.calls,
              (QStringList{QStringLiteral("Print||1"),
                           QStringLiteral("Print|") + name + QStringLiteral("\r\n\r\n|1"),
                           QStringLiteral("Print|") + QString::fromStdString(kAnn) +
                               QStringLiteral("\r\n\r\n|1"),
                           QStringLiteral("EndDoc")}));
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(LogViewerPrinting, LinesWiderThanThePageBreakAtBlanksOrWhereTheyMust) {
    printer.pageWidth = 40; // 20 characters
    form().LogFileName = "/a/very/long/folder/name/math.log";
    form().txtLog->setPlainText(
        QStringLiteral("Ann.    Score 7 of 9.  77%   Time spent 45 seconds.\n\nBob."));
    form().mnuPrint_Click();
    EXPECT_EQ(printer.calls,
              (QStringList{QStringLiteral("Print||1"),
                           QStringLiteral("Print|/a/very/long/folder/\r\nname/math.log\r\n\r\n|1"),
                           QStringLiteral("Print|Ann.    Score 7 of\r\n9.  77%   Time "
                                          "spent\r\n45 seconds.\r\n\r\nBob.|1"),
                           QStringLiteral("EndDoc")}));
}

TEST_F(LogViewerPrinting, AfterSavingThePageIsHeadedWithTheTextFile) {
    form().txtLog->setPlainText(QStringLiteral("Ann"));
    fileDialogs.paths.push_back(dir.path("period3.txt"));
    form().mnuSave_Click();
    form().mnuPrint_Click();
    ASSERT_EQ(printer.calls.size(), 4);
    EXPECT_EQ(printer.calls[1], QStringLiteral("Print|") +
                                    QString::fromStdString(dir.path("period3.txt")) +
                                    QStringLiteral("\r\n\r\n|1"));
}

TEST_F(LogViewerPrinting, AFailureShowsThePrintMessageAndSendsNothing) {
    form().txtLog->setPlainText(QStringLiteral("Ann"));
    printer.fail = true;
    form().mnuPrint_Click();
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, "There has been an error in printing this log.");
    EXPECT_EQ(dialogs.messages[0].icon, Dialogs::Icon::Critical);
    EXPECT_EQ(printer.calls, QStringList{QStringLiteral("KillDoc")});
}

// The real printer writing PDF files into a fresh folder, read back as a reader would.
class LogViewerPrintingToPdf : public examo::testing::LogViewerTest {
protected:
    // The right edge of the rightmost word and the page's printable right edge, in points.
    static std::pair<double, double> rightEdges(const QString& pdf) {
        const QString boxes = examo::testing::pdfText(pdf, QStringLiteral("-bbox"));
        double rightmost = 0;
        auto words = QRegularExpression(QStringLiteral("xMax=\"([\\d.]+)\"")).globalMatch(boxes);
        while (words.hasNext())
            rightmost = std::max(rightmost, words.next().captured(1).toDouble());
        const auto page =
            QRegularExpression(QStringLiteral("<page width=\"([\\d.]+)\"")).match(boxes);
        const double margin = 6.35 * 72 / 25.4;
        return {rightmost, page.hasMatch() ? page.captured(1).toDouble() - margin : 0};
    }
};

TEST_F(LogViewerPrintingToPdf, ThePageHoldsTheFileNameAndTheLog) {
    QtPrinter pdf(QStringLiteral("ExamoForge"), QString::fromStdString(dir.path("pdf")),
                  QtPrinter::Target::PdfOnly);
    frmLog f(dialogs, fileDialogs, program, pdf);
    // The longest entries are wider than the paper.
    const std::string log = writeLog(
        "math.log", {finished("\xC8ric", 7, 9, 75), finished("\xCFsabel M\xFCller", 12, 20, 600)});
    openThroughMenu(f, log);

    f.mnuPrint_Click();

    EXPECT_TRUE(dialogs.messages.empty());
    ASSERT_FALSE(pdf.lastPdfPath().isEmpty());
    const QString text = examo::testing::pdfText(pdf.lastPdfPath()).simplified();
    EXPECT_EQ(text.toStdString(),
              QString::fromStdString(
                  log + " \xC3\x88ric" + kAnn.substr(3) +
                  " \xC3\x8Fsabel M\xC3\xBCller.    Score 12 of 20.  60%   Time spent "
                  "10 minutes and 0 seconds.  Test date:  Sunday, Dec 6 2026  09:41 AM")
                  .simplified()
                  .toStdString());
    const auto [rightmost, printable] = rightEdges(pdf.lastPdfPath());
    EXPECT_GT(rightmost, 0.0);
    EXPECT_LE(rightmost, printable) << "nothing runs off the paper";
}

} // namespace
