#pragma once

#include "platform/dialogs.h"
#include "platform/printer.h"

#include <QDialog>
#include <QPlainTextEdit>
#include <QPushButton>

namespace examo {

// Shows the media check of a quiz as text the teacher can read and print.
class frmMediaCheck : public QDialog {
public:
    frmMediaCheck(const QString& report, Printer& printer, Dialogs& dialogs,
                  QWidget* parent = nullptr);

    QPlainTextEdit* txtReport;
    QPushButton* cmdPrint;
    QPushButton* cmdClose;

    void cmdPrint_Click();

private:
    Printer& m_printer;
    Dialogs& m_dialogs;
};

} // namespace examo
