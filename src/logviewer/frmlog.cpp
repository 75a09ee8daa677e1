#include "logviewer/frmlog.h"

#include "platform/cp1252.h"
#include "platform/dialogs.h"
#include "platform/printer.h"
#include "platform/programinfo.h"
#include "platform/twips.h"
#include "storage/files.h"
#include "storage/modfileio.h"
#include "storage/scorelog.h"
#include "storage/textrules.h"

#include <QMenuBar>
#include <QStringList>
#include <QTextCursor>
#include <QTextDocument>

#include <exception>
#include <filesystem>
#include <system_error>
#include <utility>

namespace examo {

namespace {

const char* const kSaveError = "There has been an error saving this log as a text file.";
const char* const kPrintError = "There has been an error in printing this log.";

// Blanks only: line breaks at either end are part of the text the teacher sees.
QString trimBlanks(const QString& text) {
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text[first] == QLatin1Char(' '))
        ++first;
    while (last > first && text[last - 1] == QLatin1Char(' '))
        --last;
    return text.mid(first, last - first);
}

// The command line's first line when it names a score log. The extension is taken after the
// first full stop, as the creator's start-up takes it, and in any letter case, so that every
// log the creator hands over is opened.
std::string logNamedOn(const std::string& commandLine) {
    const std::string first = commandLine.substr(0, commandLine.find("\r\n"));
    if (first.find('.') == std::string::npos)
        return {};
    return text::EqualsNoCase(text::ExtensionOf(first), "log") ? first : std::string();
}

// Where a line too wide for the page breaks: after the last word that fits, or, for one word
// wider than the page, after as many characters as fit (at least one).
qsizetype breakAt(Printer& printer, const QString& line, double width) {
    qsizetype start = 0;
    while (start < line.size() && line[start] == QLatin1Char(' '))
        ++start;
    qsizetype best = 0;
    for (qsizetype i = line.indexOf(QLatin1Char(' '), start); i > start;
         i = line.indexOf(QLatin1Char(' '), i + 1)) {
        if (printer.textWidth(line.left(i)) > width)
            break;
        best = i;
    }
    if (best > 0)
        return best;
    qsizetype low = 1;
    qsizetype high = line.size();
    while (low < high) {
        const qsizetype middle = (low + high + 1) / 2;
        if (printer.textWidth(line.left(middle)) <= width)
            low = middle;
        else
            high = middle - 1;
    }
    if (low < line.size() && line[low - 1].isHighSurrogate())
        ++low;
    return low;
}

// The printer draws each line as it is, so a log entry wider than the paper would lose its
// end at the edge: such lines are broken to the printable width instead.
QString fitToPage(Printer& printer, const QString& text) {
    const double width = printer.scaleWidth();
    QStringList lines;
    for (QString rest : text.split(QStringLiteral("\r\n"))) {
        bool broken = false;
        while (!rest.isEmpty() && printer.textWidth(rest) > width) {
            broken = true;
            const qsizetype cut = breakAt(printer, rest, width);
            QString piece = rest.left(cut);
            while (piece.endsWith(QLatin1Char(' ')))
                piece.chop(1);
            lines << piece;
            rest.remove(0, cut);
            while (rest.startsWith(QLatin1Char(' ')))
                rest.remove(0, 1);
        }
        if (!broken || !rest.isEmpty())
            lines << rest;
    }
    return lines.join(QStringLiteral("\r\n"));
}

} // namespace

frmLog::frmLog(Dialogs& dialogs, FileDialogs& fileDialogs, ProgramInfo& program, Printer& printer,
               std::string commandLine, QWidget* parent)
    : QMainWindow(parent), m_dialogs(dialogs), m_fileDialogs(fileDialogs), m_program(program),
      m_printer(printer), m_commandLine(std::move(commandLine)) {
    setWindowTitle(QStringLiteral("View Score Logs"));
    resize(twipsToPixels(11400), twipsToPixels(6000));

    txtLog = new QPlainTextEdit(this);
    setCentralWidget(txtLog);

    mnuFile = menuBar()->addMenu(QStringLiteral("&File"));
    mnuOpen = mnuFile->addAction(QStringLiteral("&Open"));
    mnuSave = mnuFile->addAction(QStringLiteral("&Save as Text File"));
    mnuFileBar = mnuFile->addSeparator();
    mnuPrint = mnuFile->addAction(QStringLiteral("&Print"));
    mnuExit = mnuFile->addAction(QStringLiteral("E&xit"));

    mnuEdit = menuBar()->addMenu(QStringLiteral("&Edit"));
    mnuEditUndo = mnuEdit->addAction(QStringLiteral("&Undo"));
    mnuBarE1 = mnuEdit->addSeparator();
    mnuEditCut = mnuEdit->addAction(QStringLiteral("Cu&t"));
    mnuEditCopy = mnuEdit->addAction(QStringLiteral("&Copy"));
    mnuEditPaste = mnuEdit->addAction(QStringLiteral("&Paste"));
    // Shown as reminders; with the text box focused it takes these keys itself.
    mnuEditUndo->setShortcut(QKeySequence::Undo);
    mnuEditCut->setShortcut(QKeySequence::Cut);
    mnuEditCopy->setShortcut(QKeySequence::Copy);
    mnuEditPaste->setShortcut(QKeySequence::Paste);

    connect(mnuOpen, &QAction::triggered, this, [this] { mnuOpen_Click(); });
    connect(mnuSave, &QAction::triggered, this, [this] { mnuSave_Click(); });
    connect(mnuPrint, &QAction::triggered, this, [this] { mnuPrint_Click(); });
    connect(mnuExit, &QAction::triggered, this, [this] { mnuExit_Click(); });
    connect(mnuEditUndo, &QAction::triggered, this, [this] { mnuEditUndo_Click(); });
    connect(mnuEditCut, &QAction::triggered, this, [this] { mnuEditCut_Click(); });
    connect(mnuEditCopy, &QAction::triggered, this, [this] { mnuEditCopy_Click(); });
    connect(mnuEditPaste, &QAction::triggered, this, [this] { mnuEditPaste_Click(); });

    Form_Load();
}

void frmLog::Form_Load() {
    LogFileName.clear();
    const std::string log = logNamedOn(m_commandLine);
    if (log.empty())
        return;
    LogFileName = log;
    OpenThisLog();
}

void frmLog::OpenThisLog() {
    // A missing, unreadable or oversized log simply adds nothing.
    const scorelog::ReadResult log = scorelog::Read(LogFileName);
    QString text;
    for (const std::string& entry : log.entries) {
        // Each entry ends with its own line break; the one added after it leaves an empty line.
        text += QString::fromStdString(cp1252::toUtf8(entry));
        text += QStringLiteral("\r\n");
    }
    if (!text.isEmpty()) {
        text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        QTextCursor cursor = txtLog->textCursor();
        // One step for Undo, replacing the selection as typing would.
        cursor.beginEditBlock();
        cursor.insertText(text);
        cursor.endEditBlock();
    }
    caretToStart();
}

void frmLog::mnuOpen_Click() {
    LogFileName = modFileIO::ShowOpenDialog(m_fileDialogs, m_dialogs, owner(),
                                            modFileIO::Filter({"Score Logs (*.log)", "*.log"}),
                                            m_program.currentFolder());
    std::error_code ec;
    if (!LogFileName.empty() && std::filesystem::exists(LogFileName, ec))
        OpenThisLog();
}

void frmLog::mnuSave_Click() {
    try {
        LogFileName = modFileIO::ShowSaveDialog(m_fileDialogs, owner(),
                                                modFileIO::Filter({"Text Files (*.txt)", "*.txt"}),
                                                m_program.currentFolder(), "txt");
        if (LogFileName.empty())
            return;
        // Plain UTF-8, this desktop's text encoding, so names with accents read right.
        const QString text = trimBlanks(shownText()) + QStringLiteral("\r\n");
        if (!files::WriteFileReplacing(LogFileName, text.toStdString())) {
            m_dialogs.message(kSaveError, Dialogs::Buttons::Ok, Dialogs::Icon::Critical);
            return;
        }
        caretToStart();
    } catch (const std::exception&) {
        m_dialogs.message(kSaveError, Dialogs::Buttons::Ok, Dialogs::Icon::Critical);
    }
}

void frmLog::mnuPrint_Click() {
    try {
        const QString text = trimBlanks(shownText());
        m_printer.print(QString());
        m_printer.print(fitToPage(m_printer, QString::fromStdString(LogFileName)) +
                        QStringLiteral("\r\n\r\n"));
        m_printer.print(fitToPage(m_printer, text));
        m_printer.endDoc();
    } catch (const std::exception&) {
        // Nothing of a broken document may come out with the next one.
        m_printer.killDoc();
        m_dialogs.message(kPrintError, Dialogs::Buttons::Ok, Dialogs::Icon::Critical);
    }
}

void frmLog::mnuExit_Click() {
    LogFileName.clear();
    close();
}

void frmLog::mnuEditUndo_Click() {
    txtLog->undo();
}

void frmLog::mnuEditCut_Click() {
    txtLog->cut();
}

void frmLog::mnuEditCopy_Click() {
    txtLog->copy();
}

void frmLog::mnuEditPaste_Click() {
    txtLog->paste();
}

QString frmLog::shownText() const {
    // The raw text keeps non-breaking blanks, which the plain-text form turns into blanks.
    QString text = txtLog->document()->toRawText();
    text.replace(QChar::ParagraphSeparator, QStringLiteral("\r\n"));
    text.replace(QChar::LineSeparator, QStringLiteral("\r\n"));
    return text;
}

void frmLog::caretToStart() {
    QTextCursor cursor = txtLog->textCursor();
    cursor.movePosition(QTextCursor::Start);
    txtLog->setTextCursor(cursor);
}

std::intptr_t frmLog::owner() {
    return static_cast<std::intptr_t>(winId());
}

} // namespace examo
