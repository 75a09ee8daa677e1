#include "creator/dlgask.h"

#include "creator/modcreate.h"
#include "widgets/controltable.h"
#include "widgets/screenreadernames.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QVBoxLayout>

namespace examo {

dlgAsk::dlgAsk(modCreate& module, QWidget* parent) : QDialog(parent), m_module(module) {
    setWindowTitle(QStringLiteral("Leaving Edit Mode"));
    useDesignFont(this);
    setModal(true);
    Label1 = new QLabel(
        QStringLiteral(
            "You are leaving Edit Mode.  Any unsaved changes to questions will be lost."),
        this);
    Label1->setTextFormat(Qt::PlainText);
    Label1->setWordWrap(true);
    chkAsk = new QCheckBox(QStringLiteral("Don't ask again."), this);
    OKButton = new QPushButton(QStringLiteral("OK"), this);
    CancelButton = new QPushButton(QStringLiteral("Cancel"), this);
    OKButton->setDefault(true);
    OKButton->setAutoDefault(true);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(OKButton);
    buttons->addWidget(CancelButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    layout->addWidget(chkAsk);
    layout->addLayout(buttons);
    setFixedWidth(360);
    nameForScreenReaders(this);

    connect(OKButton, &QPushButton::clicked, this, &dlgAsk::OKButton_Click);
    connect(CancelButton, &QPushButton::clicked, this, &dlgAsk::CancelButton_Click);
    connect(chkAsk, &QCheckBox::clicked, this, &dlgAsk::chkAsk_Click);
}

void dlgAsk::keyPressEvent(QKeyEvent* event) {
    // Escape answers Cancel; closing by the title bar keeps the OK answer.
    if (event->key() == Qt::Key_Escape) {
        CancelButton_Click();
        return;
    }
    QDialog::keyPressEvent(event);
}

void dlgAsk::Form_Load() {
    // Closing by the title bar counts as OK.
    m_module.LeaveEditModeAnswer = true;
    chkAsk->setChecked(false);
}

void dlgAsk::OKButton_Click() {
    m_module.LeaveEditModeAnswer = true;
    accept();
}

void dlgAsk::CancelButton_Click() {
    m_module.LeaveEditModeAnswer = false;
    reject();
}

void dlgAsk::chkAsk_Click() {
    m_module.DontAskAgain = chkAsk->isChecked();
}

void dlgAsk::showModal() {
    Form_Load();
    exec();
}

} // namespace examo
