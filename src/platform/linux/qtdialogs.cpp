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
    QMessageBox::StandardButtons choices = QMessageBox::Ok;
    // Closing the box by Escape or the title bar counts as the harmless answer.
    QMessageBox::StandardButton escape = QMessageBox::Ok;
    if (buttons == Buttons::YesNo) {
        choices = QMessageBox::Yes | QMessageBox::No;
        escape = QMessageBox::No;
    } else if (buttons == Buttons::YesNoCancel) {
        choices = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
        escape = QMessageBox::Cancel;
    }
    QMessageBox box(qtIcon(icon), QString::fromStdString(title.empty() ? programTitle_ : title),
                    QString::fromStdString(text), choices, QApplication::activeWindow());
    // Messages quote questions and file names ("a<b"): never read as markup.
    box.setTextFormat(Qt::PlainText);
    box.setEscapeButton(escape);
    box.exec();
    if (buttons == Buttons::Ok)
        return Answer::Ok;
    if (box.clickedButton() == box.button(QMessageBox::Yes))
        return Answer::Yes;
    if (buttons == Buttons::YesNo || box.clickedButton() == box.button(QMessageBox::No))
        return Answer::No;
    return Answer::Cancel;
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
