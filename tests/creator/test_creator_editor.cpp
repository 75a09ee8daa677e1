#include "creatorfixture.h"

#include "storage/record.h"
#include "support/modalanswer.h"

using namespace examo;
using examo::testing::CreatorTest;

TEST_F(CreatorTest, StartsEmptyInAddMode) {
    start();
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Examo Me Test Creator - untitled.exm"));
    EXPECT_EQ(leftTwips(form.grpMultiple), 120);
    EXPECT_LT(leftTwips(form.grpTrueFalse), -19980);
    EXPECT_EQ(mod.QuestionCounter, 1);
    EXPECT_TRUE(form.cmdAdd->isEnabled());
    EXPECT_FALSE(form.cmdEdit->isEnabled());
    EXPECT_FALSE(form.cmdRemove->isEnabled());
    EXPECT_FALSE(form.cmdOkay->isEnabled());
    EXPECT_FALSE(form.cmdPreview->isEnabled());
    EXPECT_FALSE(form.mnuFileSaveas->isEnabled());
    EXPECT_FALSE(form.mnuFilePrint->isEnabled());
    EXPECT_TRUE(form.lblEditMode->isHidden());
    EXPECT_EQ(form.cboExist->currentText(), QStringLiteral("No Questions Yet"));
    EXPECT_FALSE(form.mnuFileRecent->menuAction()->isVisible()); // first run: no recent files
}

TEST_F(CreatorTest, AddingBothKindsBuildsTheirRecords) {
    start();
    addMultipleChoice(QStringLiteral("Which animal says oink?"), 2);
    // The media box's first text, "None", is kept as it stands.
    EXPECT_EQ(mod.QuestionRecords[1], "m\xA9Which animal says oink?\xA9"
                                      "Cow\xA9Hen\xA9Pig\xA9Goat\xA9None\xA9 2");
    addTrueFalse(QStringLiteral(" "), 1); // one blank is a question
    EXPECT_EQ(mod.QuestionRecords[2], "t\xA9 \xA9none\xA9 1");
    EXPECT_EQ(mod.QuestionCounter, 3);
    EXPECT_EQ(form.lblNumber->text(), QStringLiteral("Question # 3"));
    EXPECT_EQ(listEntries(),
              (QStringList{QStringLiteral("Which animal says oink?"), QStringLiteral(" ")}));
    EXPECT_TRUE(form.cmdOkay->isEnabled());
    EXPECT_TRUE(form.mnuFileSaveas->isEnabled());
    EXPECT_TRUE(form.cboExist->isEnabled());
    // The editor is empty again for the next question.
    EXPECT_EQ(form.txtTFquestion->text(), QString());
    EXPECT_EQ(form.txtMpic->text(), QStringLiteral("none"));
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(CreatorTest, EmptyQuestionsAndAnswersAreRefused) {
    start();
    form.cmdAdd->click();
    typeMultipleChoice(QStringLiteral("Q"));
    form.txtManswer[3]->clear();
    form.cmdAdd->click();
    ASSERT_EQ(dialogs.messages.size(), 2u);
    EXPECT_EQ(dialogs.messages[0].text, "You must enter a question!");
    EXPECT_EQ(dialogs.messages[0].icon, Dialogs::Icon::Critical);
    EXPECT_EQ(dialogs.messages[1].text, "You must enter four possible answers!");
    EXPECT_EQ(dialogs.messages[1].icon, Dialogs::Icon::None);
    EXPECT_EQ(mod.QuestionCounter, 1);
    EXPECT_EQ(mod.QuestionRecords[1], "");
}

TEST_F(CreatorTest, TextsThatWouldCorruptTheRecordAreRefusedByName) {
    start();
    addMultipleChoice(QStringLiteral("Copyright \u00A9 2026?"));
    typeMultipleChoice(QStringLiteral("Who is \u0141ukasz?"));
    form.cmdAdd->click();
    ASSERT_EQ(dialogs.messages.size(), 2u);
    EXPECT_NE(dialogs.messages[0].text.find("\u00A9"), std::string::npos);
    EXPECT_NE(dialogs.messages[1].text.find("\u0141"), std::string::npos);
    EXPECT_EQ(mod.QuestionCounter, 1);
    EXPECT_EQ(mod.QuestionTexts[1], "");
    // Pasted control characters would scramble into the record's line end: refused by number.
    typeMultipleChoice(QStringLiteral("Line\u0010\u0017break?"));
    form.cmdAdd->click();
    ASSERT_EQ(dialogs.messages.size(), 3u);
    EXPECT_NE(dialogs.messages[2].text.find("U+0010"), std::string::npos);
    EXPECT_EQ(mod.QuestionCounter, 1);
    // Letters that Windows-1252 holds are welcome.
    addMultipleChoice(QStringLiteral("Qu'est-ce que \u00E7a?"));
    EXPECT_EQ(mod.QuestionTexts[1], "Qu'est-ce que \xE7"
                                    "a?");
}

TEST_F(CreatorTest, AHundredQuestionsIsTheLimit) {
    start();
    for (int i = 1; i <= 100; ++i)
        addTrueFalse(QStringLiteral("Q%1").arg(i), 0);
    EXPECT_EQ(mod.QuestionCounter, 101);
    addTrueFalse(QStringLiteral("One too many"), 0);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, "Tests are limited to 100 questions.");
    EXPECT_EQ(mod.QuestionCounter, 101);
    EXPECT_EQ(form.cboExist->count(), 100);
}

TEST_F(CreatorTest, ChoosingAQuestionWithAPendingOneAsksToAddItFirst) {
    start();
    addMultipleChoice(QStringLiteral("First"));
    typeMultipleChoice(QStringLiteral("Pending"));
    dialogs.answers = {Dialogs::Answer::Yes};
    choose(0);
    EXPECT_EQ(dialogs.messages[0].icon, Dialogs::Icon::Question);
    EXPECT_EQ(dialogs.messages[0].buttons, Dialogs::Buttons::YesNo);
    EXPECT_EQ(mod.QuestionCounter, 3); // Yes added it
    EXPECT_TRUE(form.lblEditMode->isHidden());

    typeMultipleChoice(QStringLiteral("Dropped"));
    dialogs.answers = {Dialogs::Answer::No};
    choose(1);
    EXPECT_EQ(mod.QuestionCounter, 3);
    EXPECT_FALSE(form.lblEditMode->isHidden());
    EXPECT_EQ(form.txtMQuestion->text(), QStringLiteral("Pending"));
    EXPECT_EQ(form.lblNumber->text(), QStringLiteral("Question # 2"));
    EXPECT_TRUE(form.cmdEdit->isEnabled());
    EXPECT_TRUE(form.cmdRemove->isEnabled());
    EXPECT_FALSE(form.cmdAdd->isEnabled());
    EXPECT_FALSE(form.cmdOkay->isEnabled());
    EXPECT_FALSE(form.grpType->isEnabled());
    EXPECT_FALSE(form.mnuFilePrint->isEnabled());

    // In edit mode another choice switches without asking.
    choose(0);
    EXPECT_EQ(dialogs.messages.size(), 2u);
    EXPECT_EQ(form.txtMQuestion->text(), QStringLiteral("First"));
}

TEST_F(CreatorTest, EditingQuestionFourMarksItsKindField) {
    start();
    for (int i = 1; i <= 5; ++i)
        addMultipleChoice(QStringLiteral("Q%1").arg(i));
    choose(3);
    ASSERT_EQ(form.txtMQuestion->text(), QStringLiteral("Q4"));
    EXPECT_TRUE(form.optABCD[2]->isChecked());
    type(form.txtMQuestion, QStringLiteral("Q4 changed"));
    form.optABCD[1]->click();
    form.cmdEdit->click();
    EXPECT_EQ(mod.QuestionRecords[4].substr(0, 5), "m  4\xA9");
    EXPECT_EQ(record::ParseQuestion(mod.QuestionRecords[4]).question->correct, 1);
    EXPECT_EQ(listEntries().at(3), QStringLiteral("Q4 changed"));
    EXPECT_TRUE(form.lblEditMode->isHidden());
    EXPECT_EQ(mod.QuestionCounter, 6);

    // A failed save says so twice and stays in edit mode.
    addTrueFalse(QStringLiteral("TF"), 1);
    choose(5);
    form.txtTFquestion->clear();
    form.cmdEdit->click();
    const auto texts = dialogs.texts();
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[0], "You must enter a question!");
    EXPECT_EQ(texts[1], "There has been an error in editing this question.");
    EXPECT_FALSE(form.lblEditMode->isHidden());
}

TEST_F(CreatorTest, RemovingQuestionsMovesTheLaterOnesUp) {
    start();
    for (int i = 1; i <= 5; ++i)
        addMultipleChoice(QStringLiteral("Q%1").arg(i));
    choose(1);
    form.cmdRemove->click();
    EXPECT_EQ(mod.QuestionCounter, 5);
    EXPECT_EQ(listEntries(), (QStringList{QStringLiteral("Q1"), QStringLiteral("Q3"),
                                          QStringLiteral("Q4"), QStringLiteral("Q5")}));
    EXPECT_EQ(mod.QuestionTexts[2], "Q3");
    EXPECT_EQ(form.lblNumber->text(), QStringLiteral("Question # 5"));
    EXPECT_TRUE(form.lblEditMode->isHidden());
    for (int left = 4; left >= 1; --left) { // down to an empty list
        choose(0);
        form.cmdRemove->click();
    }
    EXPECT_EQ(mod.QuestionCounter, 1);
    EXPECT_EQ(form.cboExist->count(), 0);
    EXPECT_TRUE(form.cboExist->isEnabled());
    EXPECT_EQ(form.lblNumber->text(), QStringLiteral("Question # 1"));
}

TEST_F(CreatorTest, SwitchingTheTypeKeepsTheOtherFramesText) {
    start();
    type(form.txtMQuestion, QStringLiteral("Multiple"));
    form.optType[1]->click();
    EXPECT_EQ(leftTwips(form.grpTrueFalse), 120);
    type(form.txtTFquestion, QStringLiteral("True or false"));
    form.optType[0]->click();
    EXPECT_EQ(leftTwips(form.grpMultiple), 120);
    EXPECT_EQ(form.txtMQuestion->text(), QStringLiteral("Multiple"));
    EXPECT_EQ(form.txtTFquestion->text(), QStringLiteral("True or false"));
}

TEST_F(CreatorTest, DontAskAgainRemembersTheAnswerForGood) {
    struct Case {
        bool ok;
        bool editModeAfter;
    };
    for (const Case& c : {Case{false, true}, Case{true, false}}) {
        ExamoForge other{services, aviLibrary};
        modCreate& m = other.module();
        frmCreate& f = other.window();
        m.Main();
        f.optType[1]->click();
        type(f.txtTFquestion, QStringLiteral("Q"));
        f.cmdAdd->click();
        f.cboExist->setCurrentIndex(0);
        Q_EMIT f.cboExist->activated(0);
        answerNextModal<QDialog>([&m, &c](QDialog*) {
            EXPECT_FALSE(m.askDialog().chkAsk->isChecked());
            m.askDialog().chkAsk->click();
            (c.ok ? m.askDialog().OKButton : m.askDialog().CancelButton)->click();
        });
        f.lblEditMode->onClick();
        EXPECT_EQ(m.askDialog().windowTitle(), QStringLiteral("Leaving Edit Mode"));
        EXPECT_TRUE(m.DontAskAgain);
        EXPECT_EQ(f.lblEditMode->isHidden(), !c.editModeAfter);
        f.cboExist->setCurrentIndex(0);
        Q_EMIT f.cboExist->activated(0);
        f.lblEditMode->onClick(); // not asked again: the same answer
        EXPECT_EQ(f.lblEditMode->isHidden(), !c.editModeAfter);
    }
}

TEST_F(CreatorTest, EnterAddsTheQuestionAsTheDefaultButtonDoes) {
    start();
    typeMultipleChoice(QStringLiteral("Which animal lays eggs?"), 1);
    QTest::keyClick(form.txtManswer[3], Qt::Key_Return);
    EXPECT_EQ(mod.QuestionCounter, 2);
    EXPECT_EQ(mod.QuestionTexts[1], "Which animal lays eggs?");
    form.optType[1]->click();
    type(form.txtTFquestion, QStringLiteral("Hens lay eggs."));
    QTest::keyClick(form.txtTFquestion, Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_EQ(mod.QuestionCounter, 3);
    // In edit mode the add button is out of use, and so is Enter.
    choose(0);
    ASSERT_TRUE(mod.inEditMode());
    QTest::keyClick(form.txtMQuestion, Qt::Key_Return);
    EXPECT_EQ(mod.QuestionCounter, 3);
}

TEST_F(CreatorTest, ARightAnswerNamingNoOptionIsReportedAfterTheFieldsAreFilled) {
    start();
    addMultipleChoice(QStringLiteral("Which animal says oink?"), 2);
    // Out of the options, or no number that fits: both are corrupted, never read as A.
    for (const char* answer : {" 7", "1e400"}) {
        dialogs.messages.clear();
        mod.QuestionRecords[1] = std::string("m\xA9Q\xA9"
                                             "A\xA9"
                                             "B\xA9"
                                             "C\xA9"
                                             "D\xA9none\xA9") +
                                 answer;
        choose(0);
        ASSERT_EQ(dialogs.messages.size(), 2u) << answer;
        EXPECT_EQ(dialogs.messages[0].text, "An error has occured.  Unable to process question m");
        EXPECT_EQ(dialogs.messages[1].text,
                  "Unable to display this question.  Question appears to be corrupted.");
        EXPECT_FALSE(form.optABCD[0]->isChecked()) << answer;
        if (std::string_view(answer) == " 7") { // the fields were filled before the check
            EXPECT_EQ(form.txtMQuestion->text(), QStringLiteral("Q"));
            EXPECT_EQ(form.txtManswer[3]->text(), QStringLiteral("D"));
        }
    }
}
