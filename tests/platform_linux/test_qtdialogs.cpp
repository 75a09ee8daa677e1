#include "platform/linux/qtdialogs.h"

#include "support/modalanswer.h"

#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>

using namespace Qt::StringLiterals;
using examo::Dialogs;

namespace {
void pressEscape(QWidget* box) {
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(box, &press);
}
} // namespace

TEST(QtDialogs, BoxesShowTheRequestAndReportTheAnswer) {
    examo::QtDialogs dialogs("ExamoMe");
    answerNextModal<QMessageBox>([](QMessageBox* box) {
        EXPECT_EQ(box->windowTitle(), u"ExamoMe"_s);
        EXPECT_EQ(box->text(), u"Save “Zoë”?"_s);
        EXPECT_EQ(box->icon(), QMessageBox::Warning);
        box->button(QMessageBox::Yes)->click();
    });
    EXPECT_EQ(dialogs.message("Save “Zoë”?", Dialogs::Buttons::YesNo, Dialogs::Icon::Exclamation),
              Dialogs::Answer::Yes);
    // A Yes/No box has no Cancel: Escape and the close button leave it open for an answer.
    for (const auto& [pick, answer] : {std::pair{QMessageBox::Yes, Dialogs::Answer::Yes},
                                       std::pair{QMessageBox::No, Dialogs::Answer::No}}) {
        answerNextModal<QMessageBox>([pick](QMessageBox* box) {
            pressEscape(box);
            EXPECT_TRUE(box->isVisible()) << "Escape";
            box->close();
            EXPECT_TRUE(box->isVisible()) << "close button";
            box->button(pick)->click();
        });
        EXPECT_EQ(dialogs.message("You must type a name.  Try again?", Dialogs::Buttons::YesNo,
                                  Dialogs::Icon::None),
                  answer);
    }
    answerNextModal<QMessageBox>([](QMessageBox* box) { pressEscape(box); });
    EXPECT_EQ(dialogs.message("Done.", Dialogs::Buttons::Ok, Dialogs::Icon::None),
              Dialogs::Answer::Ok);
    // Yes, No and Cancel each come back; closing the box cancels.
    const std::pair<QMessageBox::StandardButton, Dialogs::Answer> threeWay[] = {
        {QMessageBox::Yes, Dialogs::Answer::Yes},
        {QMessageBox::No, Dialogs::Answer::No},
        {QMessageBox::Cancel, Dialogs::Answer::Cancel},
        {QMessageBox::NoButton, Dialogs::Answer::Cancel}};
    for (const auto& [button, answer] : threeWay) {
        answerNextModal<QMessageBox>([button](QMessageBox* box) {
            EXPECT_EQ(box->standardButtons(),
                      QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
            if (button == QMessageBox::NoButton)
                box->close();
            else
                box->button(button)->click();
        });
        EXPECT_EQ(dialogs.message("Save changes to a.exm?", Dialogs::Buttons::YesNoCancel,
                                  Dialogs::Icon::Question),
                  answer);
    }
    answerNextModal<QInputDialog>([](QInputDialog* input) {
        EXPECT_EQ(input->textValue(), u"Ann"_s);
        input->setTextValue(u"Zoë"_s);
        input->accept();
    });
    EXPECT_EQ(dialogs.input("Your name:", "Player", "Ann"), "Zoë");
    answerNextModal<QInputDialog>([](QInputDialog* input) { input->reject(); });
    EXPECT_EQ(dialogs.input("Your name:", ""), std::nullopt);
}

TEST(QtDialogs, MessagesQuotingQuizTextShowItAsTypedNeverAsMarkup) {
    examo::QtDialogs dialogs("ExamoMe");
    const QString text =
        u"The file /home/a.b/x<b>y</b>z.exm could not be opened: Is a<b and c>d?"_s;
    answerNextModal<QMessageBox>([&text](QMessageBox* box) {
        EXPECT_EQ(box->textFormat(), Qt::PlainText);
        EXPECT_EQ(box->text(), text);
        // What the box shows is its label: plain too, so "<b>" is not taken as bold.
        const auto* label = box->findChild<QLabel*>(u"qt_msgbox_label"_s);
        ASSERT_NE(label, nullptr);
        EXPECT_EQ(label->textFormat(), Qt::PlainText);
        EXPECT_EQ(label->text(), text);
        box->button(QMessageBox::Ok)->click();
    });
    EXPECT_EQ(dialogs.message(text.toStdString(), Dialogs::Buttons::Ok, Dialogs::Icon::Critical),
              Dialogs::Answer::Ok);
}
