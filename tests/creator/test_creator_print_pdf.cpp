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
using examo::testing::CreatorTest;
using examo::testing::pdfText;
using examo::testing::rec;
using examo::testing::runProgram;
using namespace Qt::StringLiterals;

namespace {

// The printable area stops this far from the paper's edges.
constexpr double kMarginMillimetres = 6.35;

class PrintToPdf : public CreatorTest {
protected:
    PrintToPdf() {
        start();
        creator.module().Main();
        creator.window().txtTitle->setText(QStringLiteral("Farm"));
        creator.window().txtTeacher->setText(QStringLiteral("Grade 3"));
        creator.module().QuizFolder = dir.folder() + "/";
    }

    void setQuestions(const std::vector<std::string>& records) {
        modCreate& m = creator.module();
        for (std::size_t i = 0; i < records.size(); ++i)
            m.QuestionRecords[i + 1] = rec(records[i]);
        m.QuestionCounter = static_cast<std::int16_t>(records.size() + 1);
    }

    void addPicture(const std::string& name, int w, int h) {
        examo::testing::writeBytes(dir.path(name), "picture");
        QImage picture(w, h, QImage::Format_RGB32);
        picture.fill(Qt::red);
        pictures.pictures.insert(QString::fromStdString(dir.path(name)), picture);
    }

    // Prints through the menu and returns the pages of text (a form feed ends each).
    QStringList printPages() {
        creator.print().mnuFilePrint_Click();
        EXPECT_FALSE(pdf.lastPdfPath().isEmpty());
        QStringList pages = pdfText(pdf.lastPdfPath()).split(QLatin1Char('\f'));
        pages.removeLast();
        return pages;
    }

    QtPrinter pdf{QStringLiteral("ExamoForge"), QString::fromStdString(dir.path("pdf")),
                  QtPrinter::Target::PdfOnly};
    CreatorServices real{dialogs, fileDialogs, shell, settings, program,
                         media,   pictures,    pdf,   clock};
    ExamoForge creator{real, aviLibrary};
};

bool hasLine(const QString& page, const QString& pattern) {
    return QRegularExpression(u"(^|\\n|\\f)"_s + pattern + u"(\\n|\\f|$)"_s).match(page).hasMatch();
}

// Page numbers of the pictures in the file, as pdfimages lists them.
std::vector<int> picturePages(const QString& file) {
    std::vector<int> pages;
    const QStringList lines =
        runProgram(QStringLiteral("pdfimages"), {QStringLiteral("-list"), file})
            .output.split(QLatin1Char('\n'));
    for (const QString& line : lines.mid(2))
        if (!line.trimmed().isEmpty())
            pages.push_back(line.simplified().section(QLatin1Char(' '), 0, 0).toInt());
    return pages;
}

// The rows of each rendered page that hold ink (anything not white), top and bottom, and the
// page's height, in pixels at 50 dpi.
struct Ink {
    int top = -1, bottom = -1, redTop = -1, redBottom = -1, height = 0, right = -1, width = 0;
};

std::vector<Ink> inkOf(const QString& file, const QString& folder) {
    runProgram(QStringLiteral("pdftoppm"),
               {QStringLiteral("-png"), QStringLiteral("-r"), QStringLiteral("50"), file,
                folder + QStringLiteral("/page")});
    std::vector<Ink> pages;
    const QStringList names =
        QDir(folder).entryList({QStringLiteral("page-*.png")}, QDir::Files, QDir::Name);
    for (const QString& name : names) {
        const QImage page(folder + QLatin1Char('/') + name);
        Ink ink{.height = page.height(), .width = page.width()};
        for (int y = 0; y < page.height(); ++y)
            for (int x = 0; x < page.width(); ++x) {
                const QColor c = page.pixelColor(x, y);
                if (c.lightness() > 245)
                    continue;
                if (ink.top < 0)
                    ink.top = y;
                ink.bottom = y;
                ink.right = std::max(ink.right, x);
                if (c.red() > 200 && c.green() < 80) {
                    if (ink.redTop < 0)
                        ink.redTop = y;
                    ink.redBottom = y;
                }
            }
        pages.push_back(ink);
    }
    return pages;
}

int marginPixels() {
    return int(kMarginMillimetres / 25.4 * 50);
}

} // namespace

TEST_F(PrintToPdf, TheTestAndItsKeyReadBackFromThePdf) {
    QStringList words;
    for (int i = 1; i <= 20; ++i)
        words << QStringLiteral("word%1").arg(i, 2, 10, QLatin1Char('0'));
    const std::string longWord(300, 'x');
    addPicture("tall.jpg", 400, 850); // 224.9 mm high: more than the rest of page 1
    setQuestions({"m|" + longWord + "|Cow|Hen|Pig|Goat|none| 0",
                  "t|" + words.join(QLatin1Char(' ')).toStdString() + "|none| 0",
                  "m|Which animal?|Cow|Hen|Pig|Goat|tall.jpg| 1"});
    const QStringList pages = printPages();
    ASSERT_EQ(pages.size(), 3) << pdfText(pdf.lastPdfPath()).toStdString();
    const QString& first = pages[0];
    EXPECT_TRUE(hasLine(first, QStringLiteral(" *class/hour: +name: *"))) << first.toStdString();
    EXPECT_TRUE(hasLine(first, QStringLiteral(" *Farm *")));
    EXPECT_TRUE(hasLine(first, QStringLiteral(" *Grade 3 *")));
    // The long word whole, on lines that stay on the paper (checked below).
    EXPECT_TRUE(QString(first)
                    .remove(QRegularExpression(QStringLiteral("\\s")))
                    .contains(QStringLiteral("1.") + QString::fromStdString(longWord) +
                              QStringLiteral("A.Cow")));
    for (const char* answer : {"A. +Cow", "B. +Hen", "C. +Pig", "D. +Goat"})
        EXPECT_TRUE(hasLine(first, u" *"_s + QString::fromUtf8(answer) + u" *"_s)) << answer;
    // Fourteen words make the first line longer than 95 characters.
    EXPECT_TRUE(hasLine(first, u" *2\\. +"_s + words.mid(0, 14).join(u" +"_s) + u" *"_s));
    EXPECT_TRUE(hasLine(first, u" *"_s + words.mid(14).join(u" +"_s) + u" *"_s));
    EXPECT_TRUE(hasLine(first, QStringLiteral(" *True +False *")));
    // The picture did not fit below the second question: it opens page 2, above its question.
    EXPECT_FALSE(pages[0].contains(QStringLiteral("Which animal?")));
    EXPECT_TRUE(hasLine(pages[1], QStringLiteral(" *3\\. +Which animal\\? *")));
    EXPECT_EQ(picturePages(pdf.lastPdfPath()), std::vector<int>{2});
    EXPECT_TRUE(hasLine(pages[2], QStringLiteral(" *Key for Farm *")));
    EXPECT_TRUE(hasLine(pages[2], QStringLiteral(" *1\\. +A\\. +Cow *")));
    EXPECT_TRUE(hasLine(pages[2], QStringLiteral(" *2\\. +True *")));
    EXPECT_TRUE(hasLine(pages[2], QStringLiteral(" *3\\. +B\\. +Hen *")));
    const QString fonts = runProgram(QStringLiteral("pdffonts"), {pdf.lastPdfPath()}).output;
    EXPECT_TRUE(fonts.contains(QStringLiteral("LiberationMono-Bold"))) << fonts.toStdString();
    EXPECT_TRUE(fonts.contains(QStringLiteral("LiberationMono "))) << fonts.toStdString();

    // Nothing past the printable area: not the long word, not the picture.
    const std::vector<Ink> ink = inkOf(pdf.lastPdfPath(), QString::fromStdString(dir.path("pdf")));
    ASSERT_EQ(ink.size(), 3u);
    for (const Ink& page : ink) {
        EXPECT_LT(page.bottom, page.height - marginPixels());
        EXPECT_LT(page.right, page.width - marginPixels());
    }
    EXPECT_GE(ink[1].redTop, marginPixels() - 1);
    EXPECT_LE(ink[1].redTop, marginPixels() + 1) << "the picture stands at the top of page 2";
    EXPECT_EQ(ink[0].redTop, -1);
}

TEST_F(PrintToPdf, NoKeyMeansNoKeyPage) {
    setQuestions({"t|Cows moo.|none| 0"});
    dialogs.answers.push_back(Dialogs::Answer::No);
    const QStringList pages = printPages();
    ASSERT_EQ(pages.size(), 1);
    EXPECT_TRUE(hasLine(pages[0], QStringLiteral(" *1\\. +Cows moo\\. *")));
    EXPECT_FALSE(pages[0].contains(QStringLiteral("Key for")));
}

// Many questions run over several pages; each answer row stays whole, boxes and pictures never
// cross the foot, and every question comes out in order.
TEST_F(PrintToPdf, QuestionsRunOverPagesWithoutLosingAnything) {
    addPicture("small.bmp", 150, 100);
    std::vector<std::string> records;
    for (int n = 1; n <= 60; ++n)
        records.push_back(n % 3 == 0
                              ? "m|Question " + std::to_string(n) + "|Cow|Hen|Pig|Goat|small.bmp| 0"
                          : n % 3 == 1 ? "t|Question " + std::to_string(n) + "|small.bmp| 0"
                                       : "t|Question " + std::to_string(n) + "|none| 1");
    setQuestions(records);
    dialogs.answers.push_back(Dialogs::Answer::No);
    const QStringList pages = printPages();
    const QString all = pages.join(QLatin1Char('\n'));
    qsizetype at = 0;
    for (int n = 1; n <= 60; ++n) {
        const QString question = QStringLiteral("\\b%1\\. +Question %1\\b").arg(n);
        const qsizetype found = all.indexOf(QRegularExpression(question), at);
        EXPECT_GT(found, at - 1) << question.toStdString();
        at = std::max(at, found);
    }
    EXPECT_EQ(all.count(QRegularExpression(QStringLiteral("True +False"))), 40);
    const std::vector<Ink> ink = inkOf(pdf.lastPdfPath(), QString::fromStdString(dir.path("pdf")));
    ASSERT_EQ(ink.size(), std::size_t(pages.size()));
    for (const Ink& page : ink)
        EXPECT_LT(page.bottom, page.height - marginPixels());
}

// The bundled sample quiz, opened as a teacher opens a recent quiz, printed with its key by the
// program's own picture loader. EXAMO_SAMPLE_TEST_PDF names a file to keep the PDF in.
TEST(SamplePrint, TheSampleQuizPrintsWithItsPicturesAndKey) {
    examo::testing::TempFolder dir;
    fakes::FakeMediaServices fakeMedia;
    fakes::FakeFileDialogs fileDialogs;
    fakes::FakeShell shell;
    fakes::FakeSettingsStore settings;
    fakes::FakeProgramInfo program;
    fakes::FakeClock clock;
    fakes::FakeAviFileLibrary aviLibrary;
    LazyPictureLoader pictures;
    QtPrinter pdf(QStringLiteral("ExamoForge"), QString::fromStdString(dir.path("pdf")),
                  QtPrinter::Target::PdfOnly);
    CreatorServices services{fakeMedia.dialogs, fileDialogs, shell, settings, program,
                             fakeMedia.media,   pictures,    pdf,   clock};
    ExamoForge creator(services, aviLibrary);
    creator.module().Main();
    creator.module().AddRecentFile(EXAMO_SAMPLES_DIR "/sample.exm");
    creator.window().mnuRecent[1]->trigger();
    ASSERT_EQ(creator.module().QuestionCounter, 9);
    creator.window().mnuFilePrint->trigger();
    ASSERT_FALSE(pdf.lastPdfPath().isEmpty()) << fakeMedia.dialogs.texts().back();
    const QString text = pdfText(pdf.lastPdfPath());
    for (const char* line :
         {"Animals of the Farm", "Grade 3 - Ms\\. Rivera",
          "1\\. +Look at the picture\\. Which animal is this\\?",
          "8\\. +Watch the movie\\. What color is the tractor\\?", "Key for Animals of the Farm",
          "6\\. +D\\. +Lamb", "7\\. +False", "True +False"})
        EXPECT_TRUE(hasLine(text, u" *"_s + QString::fromUtf8(line) + u" *"_s)) << line;
    // The bitmap, the JPEG and the metafile; sounds and movies print nothing.
    EXPECT_EQ(picturePages(pdf.lastPdfPath()).size(), 3u);
    const QString keep = qEnvironmentVariable("EXAMO_SAMPLE_TEST_PDF");
    if (!keep.isEmpty()) {
        QFile::remove(keep);
        EXPECT_TRUE(QFile::copy(pdf.lastPdfPath(), keep));
    }
}
