#include "creator/frmmediacheck.h"

#include "platform/printerfit.h"
#include "widgets/screenreadernames.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

#include <exception>

namespace examo {

frmMediaCheck::frmMediaCheck(const QString& report, Printer& printer, Dialogs& dialogs,
                             QWidget* parent)
    : QDialog(parent), m_printer(printer), m_dialogs(dialogs) {
    setWindowTitle(QStringLiteral("Check Media"));
    txtReport = new QPlainTextEdit(this);
    txtReport->setReadOnly(true);
    txtReport->setPlainText(report);
    txtReport->setAccessibleName(QStringLiteral("Media check report"));
    cmdPrint = new QPushButton(QStringLiteral("&Print"), this);
    cmdClose = new QPushButton(QStringLiteral("&Close"), this);
    cmdClose->setDefault(true);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdPrint);
    buttons->addWidget(cmdClose);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(txtReport);
    layout->addLayout(buttons);
    resize(640, 360);
    nameForScreenReaders(this);
    connect(cmdPrint, &QPushButton::clicked, this, &frmMediaCheck::cmdPrint_Click);
    connect(cmdClose, &QPushButton::clicked, this, &QDialog::close);
}

void frmMediaCheck::cmdPrint_Click() {
    try {
        QString text = txtReport->toPlainText();
        text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
        m_printer.print(fitToPage(m_printer, text));
        m_printer.endDoc();
    } catch (const std::exception&) {
        // Nothing of a broken document may come out with the next one.
        m_printer.killDoc();
        m_dialogs.message("There has been an error in printing this media check.",
                          Dialogs::Buttons::Ok, Dialogs::Icon::Critical);
    }
}

} // namespace examo
