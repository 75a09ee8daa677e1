#include "platform/linux/qtdialogs.h"

#include <QApplication>
#include <QCloseEvent>
#include <QInputDialog>
#include <QKeyEvent>
#include <QMessageBox>

#include <memory>
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

// A Yes/No box has no answer that Escape or the close button could stand for: it stays open
// until Yes or No is chosen. (A button's own answer still closes it: QDialog eats that close
// event before it reaches closeEvent.)
class YesNoBox : public QMessageBox {
public:
    using QMessageBox::QMessageBox;

protected:
    void closeEvent(QCloseEvent* event) override { event->ignore(); }
    void keyPressEvent(QKeyEvent* event) override {
        if (event->matches(QKeySequence::Cancel)) {
            event->accept();
            return;
        }
        QMessageBox::keyPressEvent(event);
    }
};

} // namespace

QtDialogs::QtDialogs(std::string programTitle) : programTitle_(std::move(programTitle)) {}

Dialogs::Answer QtDialogs::message(const std::string& text, Buttons buttons, Icon icon,
                                   const std::string& title) {
    QMessageBox::StandardButtons choices = QMessageBox::Ok;
    if (buttons == Buttons::YesNo)
        choices = QMessageBox::Yes | QMessageBox::No;
    else if (buttons == Buttons::YesNoCancel)
        choices = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    const QString caption = QString::fromStdString(title.empty() ? programTitle_ : title);
    std::unique_ptr<QMessageBox> shown =
        buttons == Buttons::YesNo
            ? std::make_unique<YesNoBox>(qtIcon(icon), caption, QString::fromStdString(text),
                                         choices, QApplication::activeWindow())
            : std::make_unique<QMessageBox>(qtIcon(icon), caption, QString::fromStdString(text),
                                            choices, QApplication::activeWindow());
    QMessageBox& box = *shown;
    // Messages quote questions and file names ("a<b"): never read as markup.
    box.setTextFormat(Qt::PlainText);
    // Escape or the title bar close an Ok box as Ok and a three-way box as Cancel.
    if (buttons != Buttons::YesNo)
        box.setEscapeButton(buttons == Buttons::Ok ? QMessageBox::Ok : QMessageBox::Cancel);
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
