#include "platform/linux/qtdialogs.h"

#include "support/modalanswer.h"

#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>

using namespace Qt::StringLiterals;
using examo::Dialogs;

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
    answerNextModal<QMessageBox>([](QMessageBox* box) { box->close(); }); // no consent
    EXPECT_EQ(dialogs.message("Quit?", Dialogs::Buttons::YesNo, Dialogs::Icon::Question),
              Dialogs::Answer::No);
    answerNextModal<QInputDialog>([](QInputDialog* input) {
        EXPECT_EQ(input->textValue(), u"Ann"_s);
        input->setTextValue(u"Zoë"_s);
        input->accept();
    });
    EXPECT_EQ(dialogs.input("Your name:", "Player", "Ann"), "Zoë");
    answerNextModal<QInputDialog>([](QInputDialog* input) { input->reject(); });
    EXPECT_EQ(dialogs.input("Your name:", ""), std::nullopt);
}
