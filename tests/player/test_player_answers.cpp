#include "playerfixture.h"

#include "storage/scorelog.h"

#include <QDialog>
#include <QEvent>

using namespace examo;
using examo::testing::PlayerTest;
using Sound = std::pair<int, std::uint32_t>;

namespace {

// Records the window's back colour each time it changes.
class ColourLog : public QObject {
public:
    explicit ColourLog(QWidget* w) : m_widget(w) { w->installEventFilter(this); }
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::PaletteChange)
            colours.push_back(m_widget->palette().color(QPalette::Window));
        return false;
    }
    std::vector<QColor> colours;

private:
    QWidget* m_widget;
};

const std::string kTrueFalse = record::BuildTrueFalse("t", "Hens lay eggs.", "none", 0);

} // namespace

TEST_F(PlayerTest, AWholeQuizAnsweredRightAndWrong) {
    openAsAnn(writeQuiz("ten.exm", multipleChoice(10)));
    std::string counterDuringResults;
    dialogs.answers = {};
    dialogs.onMessage = [&](const fakes::FakeDialogs::Message& m) {
        if (m.title == "Your Score!")
            counterDuringResults = form.lblCount->text().toStdString();
    };
    for (int q = 1; q <= 10; ++q) {
        EXPECT_EQ(form.lblCount->text(), QStringLiteral("Question # %1").arg(q));
        click(form.optABCD[q % 3 == 0 ? 0 : 2]); // questions 3, 6, 9 wrong
        if (q == 3) {
            EXPECT_EQ(form.lblScore->text(), QStringLiteral("Score: 2 correct of 10 total."));
        }
    }
    EXPECT_EQ(counterDuringResults, "Question # 11");
    EXPECT_EQ(dialogs.messages[0].text, "The correct answer was C. Pig");
    EXPECT_EQ(dialogs.messages[0].icon, Dialogs::Icon::None);
    const auto& summary = dialogs.messages.at(3);
    EXPECT_EQ(summary.title, "Your Score!");
    EXPECT_EQ(summary.buttons, Dialogs::Buttons::YesNo);
    EXPECT_EQ(summary.text, "You got 7 correct out of 10 total questions.\r\nYou scored 70 "
                            "percent.\r\nYou spent 0 seconds on this quiz.\r\n\r\nWould you like "
                            "to print your score?");
    // The player is empty again for the next student.
    EXPECT_FALSE(mod.QuizOpen);
    EXPECT_EQ(form.lblCount->text(), QStringLiteral("Question # 1"));
    EXPECT_EQ(form.lblScore->text(), QStringLiteral("Score: 0 correct of 0 total."));
}

TEST_F(PlayerTest, RightAndWrongSoundsRotateAcrossQuizzes) {
    openAsAnn(writeQuiz("a.exm", multipleChoice(16)));
    dialogs.answers = std::deque<Dialogs::Answer>(1, Dialogs::Answer::No);
    for (int q = 1; q <= 15; ++q)
        click(form.optABCD[2]);
    click(form.optABCD[0]);
    std::vector<Sound> expected;
    for (int n = 109; n <= 122; ++n)
        expected.push_back({n, 4}); // sync, from memory
    expected.push_back({109, 4});
    expected.push_back({101, 5}); // async
    EXPECT_EQ(sounds(), expected);

    waves.plays.clear();
    openAsAnn(writeQuiz("b.exm", multipleChoice(9)));
    for (int q = 1; q <= 9; ++q)
        click(form.optABCD[3]);
    std::vector<Sound> wrong;
    for (int n = 102; n <= 108; ++n)
        wrong.push_back({n, 5});
    wrong.push_back({101, 5});
    wrong.push_back({102, 5});
    EXPECT_EQ(sounds(), wrong);
}

TEST_F(PlayerTest, OnlyARightTrueFalseAnswerFlashesRed) {
    openAsAnn(writeQuiz("mix.exm", {multipleChoice(1)[0], kTrueFalse, kTrueFalse}));
    ColourLog log(&form);
    const QColor own = backColor(&form);
    click(form.optABCD[2]);
    EXPECT_EQ(log.colours, (std::vector<QColor>{QColor(150, 200, 255), own}));
    log.colours.clear();
    EXPECT_EQ(leftTwips(form.grpTrueFalse), 4320);
    EXPECT_LT(leftTwips(form.grpMultiple), -19980);
    click(form.optTrueFalse[0]);
    EXPECT_EQ(log.colours, (std::vector<QColor>{QColor(150, 200, 255), QColor(255, 0, 0), own}));
    EXPECT_EQ(mod.Score, 2);
    click(form.optTrueFalse[1]);
    EXPECT_EQ(dialogs.messages[0].text, "The correct answer was True.");
}

TEST_F(PlayerTest, AnyMouseButtonAnswers) {
    openAsAnn(writeQuiz("a.exm", multipleChoice(3)));
    click(form.optABCD[2], Qt::RightButton);
    EXPECT_EQ(mod.CurrentQuestion, 2);
    click(form.optABCD[2], Qt::MiddleButton);
    EXPECT_EQ(mod.CurrentQuestion, 3);
    EXPECT_EQ(mod.Score, 2);
}

// A student who cannot use a mouse answers with the letters, or with Space or Enter on the
// focused answer button, and gets the same grading, sounds and log entry as with the mouse.
TEST_F(PlayerTest, TheKeyboardAnswersExactlyAsTheMouseDoes) {
    const std::vector<std::string> quiz = {multipleChoice(1)[0], kTrueFalse, multipleChoice(1)[0]};
    const auto key = [&](Qt::Key k) {
        QTest::keyClick(form.focusWidget(), k);
        QCoreApplication::processEvents();
    };
    dialogs.answers = {Dialogs::Answer::Ok, Dialogs::Answer::No};
    openAsAnn(writeQuiz("mouse.exm", quiz));
    click(form.optABCD[2]);
    click(form.optTrueFalse[0]);
    click(form.optABCD[0]);
    const auto byMouse = sounds();
    const auto mouseMessages = dialogs.texts();

    waves.plays.clear();
    dialogs.messages.clear();
    dialogs.answers = {Dialogs::Answer::Ok, Dialogs::Answer::No};
    openAsAnn(writeQuiz("keys.exm", quiz));
    EXPECT_EQ(form.focusWidget(), form.optABCD[0]); // ready for the first answer
    key(Qt::Key_C);
    EXPECT_EQ(form.focusWidget(), form.optTrueFalse[0]);
    key(Qt::Key_T);
    key(Qt::Key_Return); // on A, which has the focus
    EXPECT_EQ(sounds().size(), byMouse.size());
    EXPECT_EQ(dialogs.texts(), mouseMessages);
    const auto logged = [&](const char* log) {
        return scorelog::Read(dir.path(log)).entries.at(0).substr(3); // without the name
    };
    EXPECT_EQ(logged("keys.log"), logged("mouse.log"));
    EXPECT_NE(logged("keys.log").find("Score 2 of 3."), std::string::npos);

    // Space answers as a click does; a letter of the other panel, an arrow or a letter with
    // Ctrl answers nothing.
    openAsAnn(writeQuiz("space.exm", multipleChoice(2)));
    key(Qt::Key_T);
    QTest::keyClick(form.focusWidget(), Qt::Key_C, Qt::ControlModifier);
    key(Qt::Key_Down);
    QCoreApplication::processEvents();
    EXPECT_EQ(mod.CurrentQuestion, 1);
    form.optABCD[2]->setFocus();
    key(Qt::Key_Space);
    EXPECT_EQ(mod.CurrentQuestion, 2);
    EXPECT_EQ(mod.Score, 1);
}

TEST_F(PlayerTest, KeysWhileAMessageBoxIsOpenGradeNothing) {
    openAsAnn(writeQuiz("box.exm", multipleChoice(3)));
    // Keys come as a person's do, through the window system, which holds them back from a
    // window under a modal box.
    const auto press = [&](Qt::Key k) {
        QTest::keyClick(form.windowHandle(), k);
        QCoreApplication::processEvents();
    };
    int questionWhileBoxOpen = 0;
    dialogs.onMessage = [&](const fakes::FakeDialogs::Message&) {
        QDialog box(&form);
        box.setModal(true);
        box.show();
        press(Qt::Key_C);
        questionWhileBoxOpen = mod.CurrentQuestion;
    };
    click(form.optABCD[0]); // wrong: the right answer is named in a box
    EXPECT_EQ(questionWhileBoxOpen, 1);
    EXPECT_EQ(mod.CurrentQuestion, 2);
    EXPECT_EQ(mod.Score, 0);
    dialogs.onMessage = nullptr;
    press(Qt::Key_C); // with no box, the same key answers
    EXPECT_EQ(mod.CurrentQuestion, 3);
    EXPECT_EQ(mod.Score, 1);
}

TEST_F(PlayerTest, TabGoesThroughTheAnswerButtonsAndThePlayButtonInScreenOrder) {
    examo::testing::writeBytes(dir.path("moo.wav"), "RIFF....WAVE");
    openAsAnn(writeQuiz("tab.exm",
                        {record::BuildMultipleChoice("m", "Which animal?",
                                                     {"Cow", "Hen", "Pig", "Goat"}, "moo.wav", 0),
                         kTrueFalse}));
    ASSERT_TRUE(form.cmdPreview->isVisible());
    std::vector<QWidget*> order;
    for (int i = 0; i < 6; ++i) {
        order.push_back(form.focusWidget());
        QTest::keyClick(form.focusWidget(), Qt::Key_Tab);
    }
    EXPECT_EQ(order, (std::vector<QWidget*>{form.optABCD[0], form.optABCD[1], form.optABCD[2],
                                            form.optABCD[3], form.cmdExit, form.cmdPreview}));
    click(form.optABCD[0]);
    EXPECT_EQ(form.focusWidget(), form.optTrueFalse[0]);
    QTest::keyClick(form.focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(form.focusWidget(), form.optTrueFalse[1]);
    QTest::keyClick(form.focusWidget(), Qt::Key_Backtab);
    QTest::keyClick(form.focusWidget(), Qt::Key_Backtab);
    EXPECT_EQ(form.focusWidget(), form.cmdExit); // no Play button: this question has no media
}

TEST_F(PlayerTest, AnswersWithNoQuizOpenPlayTheNoQuizSound) {
    const std::string text =
        "No quiz is open.  Please choose 'Open' from the 'File' menu to begin another quiz.";
    std::vector<Sound> soundsWhenShown;
    dialogs.onMessage = [&](const fakes::FakeDialogs::Message&) { soundsWhenShown = sounds(); };
    click(form.optABCD[0]);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, text);
    EXPECT_EQ(soundsWhenShown, (std::vector<Sound>{{123, 4}})); // heard before the box
    setLeftTwips(form.grpTrueFalse, QuizForm::kInView);
    click(form.optTrueFalse[1]);
    EXPECT_EQ(sounds().back(), (Sound{123, 5}));
    EXPECT_EQ(mod.Score, 0);
}

TEST_F(PlayerTest, ARightAnswerFieldOutsideTheButtonsCountsWrongAndMovesOn) {
    openAsAnn(writeQuiz("odd.exm", {record::BuildTrueFalse("t", "Odd", "none", 3), kTrueFalse}));
    click(form.optTrueFalse[0]);
    EXPECT_EQ(mod.CurrentQuestion, 2);
    EXPECT_EQ(mod.Score, 0);
    EXPECT_TRUE(dialogs.messages.empty()); // no letter to name
    EXPECT_EQ(sounds().back().second, 5u);
}

TEST_F(PlayerTest, ACorruptedRecordIsReportedWithItsFirstFieldCut) {
    const std::string huge = "m" + std::string(7 * 1024 * 1024, 'x');
    const std::pair<std::string, std::string> cases[] = {
        {"m\xA9Q\xA9"
         "a\xA9"
         "b\xA9"
         "c\xA9"
         "d\xA9none",
         "m"}, // too few fields
        {"m\xA9Q\xA9"
         "a\xA9"
         "b\xA9"
         "c\xA9"
         "d\xA9none\xA9"
         "1e400",
         "m"}, // an answer too big to read is not A
        {huge + "\xA9Q\xA9"
                "a\xA9"
                "b\xA9"
                "c\xA9"
                "d\xA9none\xA9"
                "abc",
         huge.substr(0, 200) + "\u2026"},
    };
    for (const auto& [line, quoted] : cases) {
        dialogs.messages.clear();
        openAsAnn(writeQuiz("corrupt.exm", {line, kTrueFalse}));
        ASSERT_EQ(dialogs.messages.size(), 1u);
        EXPECT_EQ(dialogs.messages[0].text,
                  "An error has occured.  Unable to process question " + quoted);
        EXPECT_EQ(dialogs.messages[0].icon, Dialogs::Icon::None);
        EXPECT_EQ(form.lblMQuestion->text(), QString());
    }
}

TEST_F(PlayerTest, TheFinishedQuizIsLoggedBesideTheQuizAndPrintedOnYes) {
    const auto path = writeQuiz("math.exm", multipleChoice(9), "Math", "Mr. Smith");
    openAsAnn(path);
    clock.advance(75.9); // whole seconds count
    std::string logWhenSummaryShown;
    dialogs.onMessage = [&](const fakes::FakeDialogs::Message& m) {
        if (m.title == "Your Score!" && std::filesystem::exists(dir.path("math.log")))
            logWhenSummaryShown = examo::testing::readBytes(dir.path("math.log"));
    };
    dialogs.answers = {Dialogs::Answer::Ok, Dialogs::Answer::Ok, Dialogs::Answer::Yes};
    for (int q = 1; q <= 9; ++q)
        click(form.optABCD[q <= 7 ? 2 : 0]);
    const std::string entry = "Ann.    Score 7 of 9.  77%   Time spent 1 minutes and 15 seconds."
                              "  Test date:  Sunday, Dec 6 2026  09:41 AM\r\n";
    EXPECT_EQ(examo::testing::readBytes(dir.path("math.log")),
              examo::testing::xorAll(entry, 197) + "\r\n");
    EXPECT_EQ(logWhenSummaryShown, examo::testing::readBytes(dir.path("math.log"))); // logged first
    EXPECT_EQ(printer.calls,
              (QStringList{QStringLiteral("Print||1"), QStringLiteral("Print|\r\n|1"),
                           QStringLiteral("Print|Ann|1"), QStringLiteral("Print|Math  Mr. Smith|1"),
                           QStringLiteral("Print|Score 7 of 9.  77%   Time spent 1 minutes and 15 "
                                          "seconds.  Test date:  12/6/26|1"),
                           QStringLiteral("EndDoc")}));

    // No prints nothing; the second student's entry follows the first.
    printer.calls.clear();
    dialogs.onMessage = nullptr;
    dialogs.answers = {Dialogs::Answer::No};
    dialogs.inputAnswers.push_back("Ben");
    fileDialogs.paths.push_back(path);
    mod.mnuFileOpen_Click();
    for (int q = 1; q <= 9; ++q)
        click(form.optABCD[2]);
    EXPECT_TRUE(printer.calls.isEmpty());
    const auto log = scorelog::Read(dir.path("math.log"));
    ASSERT_EQ(log.entries.size(), 2u);
    EXPECT_EQ(log.entries[1].substr(0, 28), "Ben.    Score 9 of 9.  100% ");
}

TEST_F(PlayerTest, AFailingPrinterOrLogIsReportedAndThePlayerStillResets) {
    const auto path = writeQuiz("math.exm", multipleChoice(1));
    openAsAnn(path);
    std::filesystem::create_directory(dir.path("math.log")); // the log cannot be appended
    printer.fail = true;
    dialogs.answers = {Dialogs::Answer::Ok, Dialogs::Answer::Yes};
    click(form.optABCD[2]);
    const auto texts = dialogs.texts();
    ASSERT_EQ(texts.size(), 3u);
    EXPECT_NE(texts[0].find(dir.path("math.log")), std::string::npos);
    EXPECT_EQ(texts[1].rfind("You got 1 correct out of 1", 0), 0u);
    EXPECT_EQ(texts[2], "There was an error printing the quiz score.");
    EXPECT_EQ(dialogs.messages[2].icon, Dialogs::Icon::Critical);
    EXPECT_FALSE(mod.QuizOpen);
}

TEST_F(PlayerTest, AFailureWhileGradingIsReportedInsteadOfEndingTheProgram) {
    openAsAnn(writeQuiz("one.exm", multipleChoice(1)));
    const QColor own = backColor(&form);
    waves.breaks = true; // during the right-answer sound, in the highlight colour
    click(form.optABCD[2]);
    waves.breaks = false;
    EXPECT_EQ(backColor(&form), own);
    EXPECT_EQ(mod.CurrentQuestion, 1);
    EXPECT_EQ(mod.Score, 0);
    dialogs.onMessage = [](const fakes::FakeDialogs::Message& m) {
        if (m.title == "Your Score!")
            throw std::runtime_error("the box broke");
    };
    click(form.optABCD[2]);
    const auto texts = dialogs.texts();
    ASSERT_EQ(texts.size(), 3u);
    EXPECT_EQ(texts[0], "There has been an error in this question.");
    EXPECT_EQ(texts[2], texts[0]);
    for (const auto& m : dialogs.messages)
        EXPECT_EQ(m.icon, m.title.empty() ? Dialogs::Icon::Critical : Dialogs::Icon::None);
}
