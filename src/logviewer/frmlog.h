#pragma once

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QPlainTextEdit>

#include <cstdint>
#include <string>

namespace examo {

class Dialogs;
class FileDialogs;
class Printer;
class ProgramInfo;

// "View Score Logs": shows score logs unscrambled in one editable text that the teacher can
// save as a text file or print. Modeless; the creator may make several.
class frmLog : public QMainWindow {
public:
    // commandLine is the program's command line (or empty): when it names a score log, the
    // window opens it at once.
    frmLog(Dialogs& dialogs, FileDialogs& fileDialogs, ProgramInfo& program, Printer& printer,
           std::string commandLine = {}, QWidget* parent = nullptr);

    QPlainTextEdit* txtLog;
    QMenu* mnuFile;
    QAction* mnuOpen;
    QAction* mnuSave;
    QAction* mnuExportCsv;
    QAction* mnuFileBar;
    QAction* mnuPrint;
    QAction* mnuExit;
    QMenu* mnuEdit;
    QAction* mnuEditUndo;
    QAction* mnuBarE1;
    QAction* mnuEditCut;
    QAction* mnuEditCopy;
    QAction* mnuEditPaste;

    // The file last opened or saved (UTF-8); empty before the first and after Exit.
    std::string LogFileName;

    // How much of a log goes into the text box before the window is let answer again.
    static constexpr qsizetype kPieceChars = 1 << 20;

    // Inserts the entries of LogFileName at the caret, then puts the caret at the start, so a
    // newly opened log stands above what was shown. A log that cannot be read adds nothing.
    void OpenThisLog();

    void mnuOpen_Click();
    void mnuSave_Click();
    // The shown entries as a spreadsheet file, one row each; says how many could be read only
    // in part.
    void mnuExportCsv_Click();
    void mnuPrint_Click();
    void mnuExit_Click();
    void mnuEditUndo_Click();
    void mnuEditCut_Click();
    void mnuEditCopy_Click();
    void mnuEditPaste_Click();

private:
    void Form_Load();
    // The text as shown, lines separated by CR LF.
    QString shownText() const;
    void caretToStart();
    // False when the window was deleted while the text went in.
    bool insertInPieces(const QString& text);
    std::intptr_t owner();

    Dialogs& m_dialogs;
    FileDialogs& m_fileDialogs;
    ProgramInfo& m_program;
    Printer& m_printer;
    std::string m_commandLine;
};

} // namespace examo
