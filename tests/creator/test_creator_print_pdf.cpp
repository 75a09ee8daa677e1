// The paper test on the real printer writing PDF files, read back as a reader would.
#include "creatorfixture.h"

#include "creator/modprint.h"
#include "platform/linux/lazyservices.h"
#include "platform/linux/qtprinter.h"
#include "support/tools.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

using namespace examo;
using examo::testing::areaOf;
using examo::testing::CreatorTest;
using examo::testing::pdfText;
using examo::testing::runProgram;
using namespace Qt::StringLiterals;

namespace {

class PrintToPdf : public CreatorTest {
protected:
    PrintToPdf() {
        creator.module().Main();
        creator.window().txtTitle->setText(u"Farm"_s);
        creator.window().txtTeacher->setText(u"Grade 3"_s);
        creator.module().QuizFolder = dir.folder() + "/";
    }

    // Prints through the menu and returns the pages of text (a form feed ends each).
    QStringList printPages() {
        creator.print().mnuFilePrint_Click();
        EXPECT_FALSE(pdf.lastPdfPath().isEmpty());
        QStringList pages = pdfText(pdf.lastPdfPath()).split(u'\f');
        pages.removeLast();
        return pages;
    }

    QtPrinter pdf{u"ExamoForge"_s, QString::fromStdString(dir.path("pdf")),
                  QtPrinter::Target::PdfOnly};
    CreatorServices real{dialogs, fileDialogs, shell, settings, program,
                         media,   pictures,    pdf,   clock,    speech};
    ExamoForge creator{real, aviLibrary};
};

// A whole line of the text, blanks around it allowed.
bool hasLine(const QString& text, const QString& pattern) {
    return QRegularExpression(u"(^|\\n|\\f) *"_s + pattern + u" *(\\n|\\f|$)"_s)
        .match(text)
        .hasMatch();
}

// Page numbers of the pictures in the file, as pdfimages lists them.
std::vector<int> picturePages(const QString& file) {
    std::vector<int> pages;
    const QStringList lines = runProgram(u"pdfimages"_s, {u"-list"_s, file}).output.split(u'\n');
    for (const QString& line : lines.mid(2))
        if (!line.trimmed().isEmpty())
            pages.push_back(line.simplified().section(u' ', 0, 0).toInt());
    return pages;
}

} // namespace

TEST_F(PrintToPdf, TheTestAndItsKeyReadBackFromThePdfAndNoKeyMeansNoKeyPage) {
    QStringList words;
    for (int i = 1; i <= 20; ++i)
        words << u"word%1"_s.arg(i, 2, 10, QLatin1Char('0'));
    const std::string longWord(300, 'x');
    addPicture("tall.jpg", 400, 850); // 224.9 mm high: more than the rest of page 1
    setQuestions(creator.module(), {"m|" + longWord + "|Cow|Hen|Pig|Goat|none| 0",
                                    "t|" + words.join(u' ').toStdString() + "|none| 0",
                                    "m|Which animal?|Cow|Hen|Pig|Goat|tall.jpg| 1"});
    const QStringList pages = printPages();
    ASSERT_EQ(pages.size(), 3) << pdfText(pdf.lastPdfPath()).toStdString();
    // The long word whole, on lines that stay on the paper (checked below).
    EXPECT_TRUE(QString(pages[0])
                    .remove(QRegularExpression(u"\\s"_s))
                    .contains(u"1."_s + QString::fromStdString(longWord) + u"A.Cow"_s));
    // Each line after the index of its page and a blank. The picture did not fit below question 2:
    // it opens page 2, above its question.
    for (const char* line :
         {"0 class/hour: +name:", "0 Farm", "0 Grade 3", "0 A. +Cow", "0 B. +Hen", "0 C. +Pig",
          "0 D. +Goat", "0 True +False", "1 3\\. +Which animal\\?", "2 Key for Farm",
          "2 1\\. +A\\. +Cow", "2 2\\. +True", "2 3\\. +B\\. +Hen"})
        EXPECT_TRUE(hasLine(pages[line[0] - '0'], QString::fromUtf8(line + 2))) << line;
    // Fourteen words make the first line longer than 95 characters.
    EXPECT_TRUE(hasLine(pages[0], u"2\\. +"_s + words.mid(0, 14).join(u" +"_s)));
    EXPECT_TRUE(hasLine(pages[0], words.mid(14).join(u" +"_s)));
    EXPECT_FALSE(pages[0].contains(u"Which animal?"_s));
    EXPECT_EQ(picturePages(pdf.lastPdfPath()), std::vector<int>{2});
    const QString fonts = runProgram(u"pdffonts"_s, {pdf.lastPdfPath()}).output;
    EXPECT_TRUE(fonts.contains(u"LiberationMono-Bold"_s)) << fonts.toStdString();
    EXPECT_TRUE(fonts.contains(u"LiberationMono "_s)) << fonts.toStdString();

    // Nothing past the printable area, 6.35 mm from the paper's edges: not the long word, not
    // the picture.
    const QString folder = QString::fromStdString(dir.path("pdf"));
    runProgram(u"pdftoppm"_s,
               {u"-png"_s, u"-r"_s, u"50"_s, pdf.lastPdfPath(), folder + u"/page"_s});
    const int margin = int(6.35 / 25.4 * 50);
    const QStringList rendered = QDir(folder).entryList({u"page-*.png"_s}, QDir::Files);
    ASSERT_EQ(rendered.size(), 3);
    for (const QString& name : rendered) {
        const QImage page(folder + u'/' + name);
        const QRect ink = areaOf(page, [](QColor c) { return c.lightness() <= 245; });
        EXPECT_LT(ink.bottom(), page.height() - margin) << name.toStdString();
        EXPECT_LT(ink.right(), page.width() - margin) << name.toStdString();
    }

    // "No" to the key: the same test without the key's page.
    dialogs.answers.push_back(Dialogs::Answer::No);
    const QStringList noKey = printPages();
    EXPECT_EQ(noKey.size(), 2);
    EXPECT_FALSE(noKey.join(u'\f').contains(u"Key for"_s));
}

// The bundled sample quiz, opened as a teacher opens a recent quiz, printed with its key by the
// program's own picture loader. EXAMO_SAMPLE_TEST_PDF names a file to keep the PDF in.
class SamplePrint : public CreatorTest {};

TEST_F(SamplePrint, TheSampleQuizPrintsWithItsPicturesAndKey) {
    LazyPictureLoader loader;
    QtPrinter pdf(u"ExamoForge"_s, QString::fromStdString(dir.path("pdf")),
                  QtPrinter::Target::PdfOnly);
    CreatorServices real{dialogs, fileDialogs, shell, settings, program,
                         media,   loader,      pdf,   clock,    speech};
    ExamoForge creator(real, aviLibrary);
    creator.module().Main();
    creator.module().AddRecentFile(EXAMO_SAMPLES_DIR "/sample.exm");
    creator.window().mnuRecent[1]->trigger();
    ASSERT_EQ(creator.module().QuestionCounter, 9);
    creator.window().mnuFilePrint->trigger();
    ASSERT_FALSE(pdf.lastPdfPath().isEmpty()) << dialogs.texts().back();
    const QString text = pdfText(pdf.lastPdfPath());
    for (const char* line :
         {"Animals of the Farm", "Grade 3 - Ms\\. Rivera",
          "1\\. +Look at the picture\\. Which animal is this\\?",
          "8\\. +Watch the movie\\. What color is the tractor\\?", "Key for Animals of the Farm",
          "6\\. +D\\. +Lamb", "7\\. +False", "True +False"})
        EXPECT_TRUE(hasLine(text, QString::fromUtf8(line))) << line;
    // The bitmap, the JPEG and the metafile; sounds and movies print nothing.
    EXPECT_EQ(picturePages(pdf.lastPdfPath()).size(), 3u);
    const QString keep = qEnvironmentVariable("EXAMO_SAMPLE_TEST_PDF");
    if (!keep.isEmpty()) {
        QFile::remove(keep);
        EXPECT_TRUE(QFile::copy(pdf.lastPdfPath(), keep));
    }
}
