#include "platform/linux/qtdialogs.h"

#include <QApplication>
#include <QInputDialog>
#include <QMessageBox>

#include <utility>

namespace examo {

namespace {

QMessageBox::Icon qtIcon(Dialogs::Icon icon) {
    switch (icon) {
    case Dialogs::Icon::Critical:
        return QMessageBox::Critical;
    case Dialogs::Icon::Question:
        return QMessageBox::Question;
    case Dialogs::Icon::Exclamation:
        return QMessageBox::Warning;
    case Dialogs::Icon::Information:
        return QMessageBox::Information;
    case Dialogs::Icon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

} // namespace

QtDialogs::QtDialogs(std::string programTitle) : programTitle_(std::move(programTitle)) {}

Dialogs::Answer QtDialogs::message(const std::string& text, Buttons buttons, Icon icon,
                                   const std::string& title) {
    const bool yesNo = buttons == Buttons::YesNo;
    QMessageBox box(qtIcon(icon), QString::fromStdString(title.empty() ? programTitle_ : title),
                    QString::fromStdString(text),
                    yesNo ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok,
                    QApplication::activeWindow());
    // Closing the box by Escape or the title bar counts as the harmless answer.
    box.setEscapeButton(yesNo ? QMessageBox::No : QMessageBox::Ok);
    box.exec();
    if (!yesNo)
        return Answer::Ok;
    return box.clickedButton() == box.button(QMessageBox::Yes) ? Answer::Yes : Answer::No;
}

std::optional<std::string> QtDialogs::input(const std::string& prompt, const std::string& title,
                                            const std::string& initialText) {
    bool ok = false;
    const QString text = QInputDialog::getText(
        QApplication::activeWindow(), QString::fromStdString(title.empty() ? programTitle_ : title),
        QString::fromStdString(prompt), QLineEdit::Normal, QString::fromStdString(initialText),
        &ok);
    if (!ok)
        return std::nullopt;
    return text.toStdString();
}

} // namespace examo
