#pragma once

#include <QCheckBox>
#include <QDialog>
#include <QLabel>
#include <QPushButton>

namespace examo {

class modCreate;

// Asks before edit mode is left, with a way not to be asked again in this run.
class dlgAsk : public QDialog {
public:
    dlgAsk(modCreate& module, QWidget* parent);

    QLabel* Label1;
    QCheckBox* chkAsk;
    QPushButton* OKButton;
    QPushButton* CancelButton;

    void Form_Load();
    void OKButton_Click();
    void CancelButton_Click();
    void chkAsk_Click();

    // Shows the dialog modally, starting afresh as a newly loaded one does.
    void showModal();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    modCreate& m_module;
};

} // namespace examo
