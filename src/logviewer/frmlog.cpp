#include "logviewer/frmlog.h"

#include "platform/cp1252.h"
#include "platform/dialogs.h"
#include "platform/printer.h"
#include "platform/printerfit.h"
#include "platform/programinfo.h"
#include "platform/twips.h"
#include "storage/files.h"
#include "storage/modfileio.h"
#include "storage/scorecsv.h"
#include "storage/scorelog.h"
#include "storage/textrules.h"
#include "widgets/controltable.h"
#include "widgets/menutable.h"
#include "widgets/screenreadernames.h"

#include <QCoreApplication>
#include <QKeySequence>
#include <QMenuBar>
#include <QPointer>
#include <QStringList>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>
#include <exception>
#include <filesystem>
#include <system_error>
#include <utility>

namespace examo {

namespace {

constexpr const char* kSaveError = "There has been an error saving this log as a text file.";
constexpr const char* kExportError = "There has been an error exporting this log as a CSV file.";
constexpr const char* kExportOverLog =
    "A score log cannot be written over with its export.  Give the CSV file a name of its own.";
constexpr const char* kPrintError = "There has been an error in printing this log.";

// Edit's shortcuts are shown as a reminder; with the text box focused it takes the key itself.
constexpr MenuEntry<frmLog> kLogMenus[] = {
    {.menu = &frmLog::mnuFile,
     .action = &frmLog::mnuOpen,
     .caption = "&Open",
     .handler = &frmLog::mnuOpen_Click},
    {.menu = &frmLog::mnuFile,
     .action = &frmLog::mnuSave,
     .caption = "&Save as Text File",
     .handler = &frmLog::mnuSave_Click},
    {.menu = &frmLog::mnuFile,
     .action = &frmLog::mnuExportCsv,
     .caption = "&Export as CSV...",
     .handler = &frmLog::mnuExportCsv_Click},
    {.menu = &frmLog::mnuFile, .action = &frmLog::mnuFileBar},
    {.menu = &frmLog::mnuFile,
     .action = &frmLog::mnuPrint,
     .caption = "&Print",
     .handler = &frmLog::mnuPrint_Click},
    {.menu = &frmLog::mnuFile,
     .action = &frmLog::mnuExit,
     .caption = "E&xit",
     .handler = &frmLog::mnuExit_Click},
    {.menu = &frmLog::mnuEdit,
     .action = &frmLog::mnuEditUndo,
     .caption = "&Undo",
     .handler = &frmLog::mnuEditUndo_Click,
     .standardKey = QKeySequence::Undo},
    {.menu = &frmLog::mnuEdit, .action = &frmLog::mnuBarE1},
    {.menu = &frmLog::mnuEdit,
     .action = &frmLog::mnuEditCut,
     .caption = "Cu&t",
     .handler = &frmLog::mnuEditCut_Click,
     .standardKey = QKeySequence::Cut},
    {.menu = &frmLog::mnuEdit,
     .action = &frmLog::mnuEditCopy,
     .caption = "&Copy",
     .handler = &frmLog::mnuEditCopy_Click,
     .standardKey = QKeySequence::Copy},
    {.menu = &frmLog::mnuEdit,
     .action = &frmLog::mnuEditPaste,
     .caption = "&Paste",
     .handler = &frmLog::mnuEditPaste_Click,
     .standardKey = QKeySequence::Paste},
};

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

// The command line's first line, made absolute, when it names a score log. The extension is
// taken after the first full stop of the file name, as the creator's start-up takes it, and in
// any letter case, so that every log the creator hands over is opened.
std::string logNamedOn(const std::string& commandLine) {
    const std::string first = files::PathNamedOn(commandLine);
    if (text::BareName(first).find('.') == std::string::npos)
        return {};
    return text::EqualsNoCase(text::ExtensionOf(first), "log") ? first : std::string();
}

// The entries as the text box shows them: each followed by one more line break, and every
// CR LF pair a single line break. Built in one pass straight from Windows-1252, since a
// log of many megabytes must not be copied again for every line break replaced.
QString entriesAsShown(const std::vector<std::string>& entries) {
    std::size_t size = 0;
    for (const std::string& entry : entries)
        size += entry.size() + 1;
    QString text;
    text.reserve(qsizetype(size));
    bool pendingCr = false;
    const auto put = [&](unsigned char byte) {
        if (pendingCr) {
            pendingCr = false;
            if (byte == '\n') {
                text += QLatin1Char('\n');
                return;
            }
            text += QLatin1Char('\r');
        }
        if (byte == '\r')
            pendingCr = true;
        else
            text += QChar(char16_t(cp1252::toUnicode(byte)));
    };
    for (const std::string& entry : entries) {
        for (const char byte : entry)
            put(static_cast<unsigned char>(byte));
        put('\r');
        put('\n');
    }
    if (pendingCr)
        text += QLatin1Char('\r');
    return text;
}

} // namespace

frmLog::frmLog(Dialogs& dialogs, FileDialogs& fileDialogs, ProgramInfo& program, Printer& printer,
               std::string commandLine, QWidget* parent)
    : QMainWindow(parent), m_dialogs(dialogs), m_fileDialogs(fileDialogs), m_program(program),
      m_printer(printer), m_commandLine(std::move(commandLine)) {
    setWindowTitle(QStringLiteral("View Score Logs"));
    useDesignFont(this);
    resize(twipsToPixels(11400), twipsToPixels(6000));

    txtLog = new QPlainTextEdit(this);
    txtLog->setAccessibleName(QStringLiteral("Score log entries"));
    setCentralWidget(txtLog);

    mnuFile = menuBar()->addMenu(QStringLiteral("&File"));
    mnuEdit = menuBar()->addMenu(QStringLiteral("&Edit"));
    addMenuEntries<frmLog>(this, kLogMenus);
    nameForScreenReaders(this);

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
    scorelog::ReadResult log = scorelog::Read(LogFileName);
    // A missing log adds nothing; one that is there but cannot be shown says why, so that an
    // empty window never passes for an empty log.
    if (log.error == scorelog::ReadError::TooLarge ||
        log.error == scorelog::ReadError::Unreadable) {
        const std::string name = text::QuoteInMessage(LogFileName);
        m_dialogs.message(
            log.error == scorelog::ReadError::TooLarge
                ? "The score log " + name + " is too large to show.  Logs of up to " +
                      text::Dec(static_cast<long long>(scorelog::kMaxLogBytes / (1024 * 1024))) +
                      " MB can be shown."
                : "The score log " + name + " cannot be read.",
            Dialogs::Buttons::Ok, Dialogs::Icon::Critical);
    }
    const QString text = entriesAsShown(log.entries);
    log.entries = {}; // a large log is not held three times over while the box takes it
    if (!text.isEmpty() && !insertInPieces(text))
        return; // the window was closed while the log went in
    caretToStart();
}

bool frmLog::insertInPieces(const QString& text) {
    // A log of many megabytes takes the text box seconds to take in. It goes in a piece at a
    // time, and the window is repainted and answers the desktop between pieces, so it never
    // seems hung. Nothing can be typed or chosen until the whole log is in, so nothing lands
    // in its middle.
    const QPointer<frmLog> alive(this);
    txtLog->setReadOnly(true);
    for (const MenuEntry<frmLog>& entry : kLogMenus)
        (this->*entry.action)->setEnabled(false);
    setCursor(Qt::WaitCursor);
    txtLog->viewport()->setCursor(Qt::WaitCursor);

    QTextCursor cursor = txtLog->textCursor();
    for (qsizetype at = 0; at < text.size();) {
        // Whole lines, so that a piece never ends between the halves of a line break.
        qsizetype end = text.indexOf(QLatin1Char('\n'), std::min(at + kPieceChars, text.size()));
        end = end < 0 ? text.size() : end + 1;
        // One step for Undo, replacing the selection as typing would.
        if (at == 0)
            cursor.beginEditBlock();
        else
            cursor.joinPreviousEditBlock();
        cursor.insertText(text.sliced(at, end - at));
        cursor.endEditBlock();
        at = end;
        if (at < text.size()) {
            QCoreApplication::processEvents();
            if (alive == nullptr)
                return false;
        }
    }

    txtLog->viewport()->setCursor(Qt::IBeamCursor);
    unsetCursor();
    for (const MenuEntry<frmLog>& entry : kLogMenus)
        (this->*entry.action)->setEnabled(true);
    txtLog->setReadOnly(false);
    return true;
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

void frmLog::mnuExportCsv_Click() {
    try {
        const std::string path = modFileIO::ShowSaveDialog(
            m_fileDialogs, owner(), modFileIO::Filter({"CSV Files (*.csv)", "*.csv"}),
            m_program.currentFolder(), "csv");
        if (path.empty())
            return;
        // The log itself is the only record of the results: it is never written over.
        if (scorecsv::NamesScoreLog(path)) {
            m_dialogs.message(kExportOverLog, Dialogs::Buttons::Ok, Dialogs::Icon::Critical);
            return;
        }
        // The entries as shown, with the teacher's corrections, as the text file would have them.
        const std::vector<scorecsv::Row> rows = scorecsv::RowsOfText(shownText().toStdString());
        if (!files::WriteFileReplacing(path, scorecsv::Document(rows, false))) {
            m_dialogs.message(kExportError, Dialogs::Buttons::Ok, Dialogs::Icon::Critical);
            return;
        }
        if (const int incomplete = scorecsv::IncompleteCount(rows); incomplete > 0)
            m_dialogs.message(scorecsv::IncompleteMessage(incomplete), Dialogs::Buttons::Ok,
                              Dialogs::Icon::Information);
    } catch (const std::exception&) {
        m_dialogs.message(kExportError, Dialogs::Buttons::Ok, Dialogs::Icon::Critical);
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
