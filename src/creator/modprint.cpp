#include "creator/modprint.h"

#include "creator/frmcreate.h"
#include "platform/cp1252.h"
#include "platform/printerfit.h"
#include "storage/fileexists.h"
#include "storage/record.h"
#include "storage/textrules.h"
#include "widgets/quiztext.h"

#include <QStringList>

#include <algorithm>
#include <array>
#include <exception>
#include <vector>

namespace examo {

namespace {

constexpr const char* kPrintError = "There has been an error in printing this test.";
// Question lines are wrapped by characters, not by width.
constexpr qsizetype kWrapLength = 95;
// Pictures keep the size they have on a 96 dpi screen.
double pixelsToMillimetres(int pixels) {
    return pixels * 254.0 / 960.0;
}

bool isPictureName(const std::string& path) {
    // The extension of the file's own name: a dotted folder must not hide it.
    const std::string name = text::BareName(path);
    if (name.find('.') == std::string::npos)
        return false;
    const std::string ext = text::ToLowerAscii(text::ExtensionOf(name));
    return ext == "jpg" || ext == "bmp" || ext == "wmf" || ext == "jpeg";
}

} // namespace

modPrint::modPrint(frmCreate& form, const modCreate& store, CreatorServices& services)
    : m_form(form), m_store(store), m_services(services) {}

void modPrint::message(const char* text) {
    m_services.dialogs.message(text, Dialogs::Buttons::Ok, Dialogs::Icon::Critical);
}

void modPrint::mnuFilePrint_Click() {
    if (m_form.txtTitle->text().isEmpty() || m_form.txtTeacher->text().isEmpty()) {
        message("Please fill in all fields before attempting to print this test.");
        return;
    }
    if (m_store.QuestionCounter < 2) {
        message("There are no questions in this test.");
        return;
    }
    Printer& printer = m_services.printer;
    try {
        if (!PrintTestHeader()) {
            printer.killDoc();
            message(kPrintError);
            return;
        }
        const int last = std::min<int>(m_store.QuestionCounter - 1, record::kMaxQuestions);
        for (std::int16_t n = 1; n <= last; ++n) {
            const std::string& r = m_store.QuestionRecords[static_cast<std::size_t>(n)];
            const char kind = r.empty() ? ' ' : r.front();
            if (kind == 'm' || kind == 'M')
                PrintMultipleChoice(r, n);
            else if (kind == 't' || kind == 'T')
                PrintTrueFalse(r, n);
        }
    } catch (const std::exception&) {
        // A broken-off test is thrown away: half a test on paper is no use in class.
        printer.killDoc();
        message(kPrintError);
        return;
    }
    PrintKeyAndFinish();
}

void modPrint::rule() {
    Printer& printer = m_services.printer;
    printer.setDrawWidth(2);
    const double y = printer.currentY();
    printer.line(PrintMargin, y, printer.scaleWidth() - 10, y);
}

bool modPrint::PrintTestHeader() {
    PrintKey =
        m_services.dialogs.message("Would you like to print a key also?", Dialogs::Buttons::YesNo,
                                   Dialogs::Icon::Question) == Dialogs::Answer::Yes;
    Printer& printer = m_services.printer;
    try {
        printer.print(QString());
        printer.print(QString());
        printer.setScaleMode(Printer::Millimetres);
        PrintMargin = 10;
        printer.setFontName(QStringLiteral("courier new"));
        printer.setFontSize(8);
        printer.setCurrentX(PrintMargin);
        printer.setCurrentY(10);
        printer.print(QStringLiteral("class/hour:                                name:"));
        rule();
        printer.print(QString());
        printer.setFontSize(12);
        printer.setCurrentX(PrintMargin);
        printer.setCurrentY(printer.currentY() + 1);
        printer.setFontBold(true);
        printFitted(m_form.txtTitle->text(), PrintMargin);
        printer.setFontSize(8);
        printer.setFontBold(false);
        printer.setCurrentX(PrintMargin);
        printFitted(m_form.txtTeacher->text(), PrintMargin);
        rule();
        printer.print(QString());
        return true;
    } catch (const std::exception&) {
        message("Error initializing printer!");
        return false;
    }
}

void modPrint::printFitted(const QString& text, double left) {
    Printer& printer = m_services.printer;
    QString rest = text;
    bool first = true;
    do {
        if (!first)
            printer.setCurrentX(left);
        first = false;
        const double width = printer.scaleWidth() - printer.currentX();
        QString piece = rest;
        rest.clear();
        if (width > 0 && printer.textWidth(piece) > width) {
            qsizetype cut = breakToFit(printer, piece, width);
            // A word no line can hold starts here and runs to the edge, rather than leaving
            // the words before it alone on a line.
            qsizetype next = cut;
            while (next < piece.size() && piece[next] == QLatin1Char(' '))
                ++next;
            const qsizetype end = piece.indexOf(QLatin1Char(' '), next);
            const QString word = piece.mid(next, end < 0 ? -1 : end - next);
            if (printer.textWidth(word) > printer.scaleWidth() - left)
                cut = fittingLength(printer, piece, width);
            rest = piece.mid(cut);
            piece.truncate(cut);
            while (piece.endsWith(QLatin1Char(' ')) && piece.size() > 1)
                piece.chop(1);
            while (rest.startsWith(QLatin1Char(' ')))
                rest.remove(0, 1);
        }
        printer.print(piece);
    } while (!rest.isEmpty());
}

void modPrint::printQuestionText(const std::string& questionText, std::int16_t n) {
    Printer& printer = m_services.printer;
    const QString questionLine = fromQuizText(questionText);
    // An empty text has no words at all.
    const QStringList words =
        questionLine.isEmpty() ? QStringList() : questionLine.split(QLatin1Char(' '));
    QString line = QString::fromStdString(text::Dec(n)) + QStringLiteral(".  ");
    for (const QString& word : words) {
        line += word + QLatin1Char(' ');
        if (line.size() > kWrapLength) {
            printer.setCurrentX(PrintMargin);
            printFitted(line, PrintMargin);
            line.clear();
        }
    }
    printer.setCurrentX(PrintMargin);
    printFitted(line, PrintMargin);
}

std::string modPrint::picturePath(const std::string& mediaField) const {
    const std::string media = cp1252::toUtf8(mediaField);
    if (media.empty() || record::IsNoneMedia(media) || !isPictureName(media))
        return {};
    // A bare name belongs to the quiz, never to whatever folder the process is in.
    std::string path = media;
    if (media.front() != '/') {
        if (m_store.QuizFolder.empty())
            return {};
        path = m_store.QuizFolder + media;
    }
    return files::FileExists(path) ? path : std::string();
}

void modPrint::printPicture(const std::string& mediaField, double offset, double gapAfter) {
    const std::string path = picturePath(mediaField);
    if (path.empty())
        return;
    const QImage picture = m_services.pictures.load(QString::fromStdString(path));
    if (picture.isNull())
        throw PrintError("The picture " + path + " cannot be loaded.");
    Printer& printer = m_services.printer;
    double w = pixelsToMillimetres(picture.width());
    double h = pixelsToMillimetres(picture.height());
    // Natural size, unless that is more than one page holds: then as large as fits.
    const double room = printer.scaleHeight() - offset;
    const double across = printer.scaleWidth() - PrintMargin;
    if (h > room) {
        w = w * room / h;
        h = room;
    }
    if (w > across) {
        h = h * across / w;
        w = across;
    }
    // The whole picture, with its offset, goes where it fits, never past the foot.
    if (printer.scaleHeight() - printer.currentY() < h + offset)
        printer.newPage();
    const double y = printer.currentY();
    printer.paintPicture(picture, PrintMargin, y + offset, w, h);
    printer.setCurrentY(y + h + gapAfter);
}

void modPrint::PrintMultipleChoice(const std::string& r, std::int16_t n) {
    const auto fields = record::SplitFields(r);
    if (fields.size() < record::kMultipleChoiceFields) {
        message("Cannot print this multiple choice question.");
        return;
    }
    printPicture(fields[6], 0, 2);
    printQuestionText(fields[1], n);
    Printer& printer = m_services.printer;
    static constexpr std::array<const char*, 4> kLabels = {"  A.  ", "  B.  ", "  C.  ", "  D.  "};
    for (std::size_t i = 0; i < kLabels.size(); ++i) {
        printer.setCurrentX(PrintMargin);
        printer.print(QString::fromLatin1(kLabels[i]), false);
        printFitted(fromQuizText(fields[2 + i]), printer.currentX());
    }
    printer.print(QString());
}

void modPrint::printAnswerBoxes() {
    Printer& printer = m_services.printer;
    double c = text::RoundHalfEven(printer.currentY() + 1);
    // The printer would carry the words over to the next page by themselves and leave their
    // boxes behind: the whole row goes there instead.
    if (c - 1 + printer.textHeight(QStringLiteral("True")) > printer.scaleHeight() - 1e-6) {
        printer.newPage();
        c = text::RoundHalfEven(printer.currentY() + 1);
    }
    const double b = PrintMargin + 3;
    printer.box(b, c, b + 2, c + 2);
    printer.setCurrentX(b + 4);
    printer.setCurrentY(c - 1);
    printer.print(QStringLiteral("True"));
    const double d = text::RoundHalfEven(printer.currentX() + 28);
    printer.box(d, c, d + 2, c + 2);
    printer.setCurrentX(d + 4);
    printer.setCurrentY(c - 1);
    printer.print(QStringLiteral("False"));
}

void modPrint::PrintTrueFalse(const std::string& r, std::int16_t n) {
    const auto fields = record::SplitFields(r);
    if (fields.size() < record::kTrueFalseFields) {
        message("There was an error printing this true/false question.");
        return;
    }
    printPicture(fields[2], 5, 10);
    printQuestionText(fields[1], n);
    printAnswerBoxes();
    m_services.printer.print(QString());
}

QString modPrint::keyLine(int i) const {
    const auto fields = record::SplitFields(m_store.QuestionRecords[static_cast<std::size_t>(i)]);
    std::string answer;
    if (fields.size() == record::kMultipleChoiceFields) {
        answer = text::Trim(fields[7]);
        static constexpr std::array<const char*, 4> kLetters = {"A.  ", "B.  ", "C.  ", "D.  "};
        for (std::size_t k = 0; k < kLetters.size(); ++k)
            if (answer == text::Dec(static_cast<long long>(k))) {
                answer = kLetters[k] + fields[2 + k];
                break;
            }
    } else if (fields.size() == record::kTrueFalseFields) {
        answer = text::Trim(fields[3]);
        if (answer == "0")
            answer = "True";
        else if (answer == "1")
            answer = "False";
    }
    return QString::fromStdString(text::Str(i)) + QStringLiteral(".      ") +
           fromQuizText(text::Trim(answer));
}

void modPrint::PrintKeyAndFinish() {
    Printer& printer = m_services.printer;
    try {
        if (PrintKey) {
            printer.newPage();
            printer.setCurrentX(PrintMargin);
            printer.setCurrentY(10);
            printFitted(QStringLiteral("Key for ") + m_form.txtTitle->text(), PrintMargin);
            printer.print(QString());
            const int last = std::min<int>(m_store.QuestionCounter - 1, record::kMaxQuestions);
            for (int i = 1; i <= last; ++i) {
                printer.setCurrentX(PrintMargin);
                printFitted(keyLine(i), PrintMargin);
            }
        }
        printer.endDoc();
    } catch (const std::exception&) {
        printer.killDoc();
        message("Error printing this test.");
    }
}

} // namespace examo
