// Taking a quiz as the shared code does it, under rules other than the player's.
#include "fakes/fakeclock.h"
#include "fakes/fakemediaservices.h"
#include "fakes/fakepictureloader.h"
#include "fakes/fakeprinter.h"
#include "quizrun/fitpicture.h"
#include "quizrun/quizrun.h"

#include <QCoreApplication>
#include <QTest>

#include <gtest/gtest.h>

using namespace examo;

TEST(FittedRect, ShrinksKeepingTheShapeRoundsHalvesToEvenAndCentresDown) {
    struct Case {
        double w, h;
        QRect drawn;
    };
    // A box of 270 by 270.
    for (const Case& c : {Case{201, 100, {34, 85, 201, 100}}, // fits: own size, centred down
                          Case{540, 301, {0, 60, 270, 150}},  // 150.5 rounds to 150
                          Case{303, 540, {59, 0, 152, 270}},  // 151.5 rounds to 152
                          Case{270, 270, {0, 0, 270, 270}}, Case{2700, 27, {0, 133, 270, 3}}}) {
        EXPECT_EQ(FittedRect(c.w, c.h, 270, 270), c.drawn) << c.w << " x " << c.h;
    }
}

namespace {

// A quiz run over plain records, with the stricter rules the creator's previewer uses.
class RecordsRun : public QuizRun {
public:
    RecordsRun(QuizForm& form, QuizServices& services, std::vector<std::string> records)
        : QuizRun(form, services,
                  QuizRunRules{.wrongAnswerIcon = Dialogs::Icon::Critical,
                               .redStepOnTrueFalse = false,
                               .hideMediaClosesAll = false,
                               .playButtonError = "Error in media file.",
                               .outOfRangeAnswerCountsWrong = false}),
          m_records(std::move(records)) {}

    void ShowResults() override { ++results; }
    int results = 0;
    int rightSounds = 0;
    int wrongSounds = 0;

protected:
    std::string recordAt(int n) override { return m_records.at(static_cast<std::size_t>(n - 1)); }
    int questionCount() override { return static_cast<int>(m_records.size()); }
    std::string quizFolder() override { return {}; }
    bool acceptsAnswer(bool) override { return true; }
    void playRightSound() override { ++rightSounds; }
    void playWrongSound() override { ++wrongSounds; }
    void markQuizEnd() override {}

private:
    std::vector<std::string> m_records;
};

struct QuizRunTest : ::testing::Test, fakes::FakeMediaServices {
    // Answers go to the run as the program's window sends them.
    void connect(RecordsRun& run) {
        form.attachRun(&run);
        run.ShowQuestion();
    }

    void click(QRadioButton* button) {
        QTest::mouseClick(button, Qt::LeftButton);
        QCoreApplication::processEvents();
    }

    fakes::FakeClock clock;
    fakes::FakePictureLoader pictures;
    fakes::FakePrinter printer;
    QuizServices services{.media = media,
                          .dialogs = dialogs,
                          .clock = clock,
                          .pictures = pictures,
                          .printer = printer};
    QuizForm form{QuizForm::Layout{.caption = QStringLiteral("Quiz"),
                                   .clientWidthTwips = 9510,
                                   .clientHeightTwips = 5475,
                                   .scoreLeftTwips = 120}};
};

} // namespace

TEST_F(QuizRunTest, TrueIsAnswerZeroAndAWrongAnswerNamesTheRightOneWithTheRulesIcon) {
    RecordsRun run(form, services,
                   {"t\xA9Hens lay eggs.\xA9none\xA9 0",
                    "t\xA9"
                    "Cows fly.\xA9none\xA9 1",
                    "m\xA9Which?\xA9"
                    "Cow\xA9Hen\xA9Pig\xA9Goat\xA9none\xA9 3"});
    connect(run);
    click(form.optTrueFalse[0]); // True: right
    click(form.optTrueFalse[0]); // True: wrong, False was right
    EXPECT_EQ(form.lblMQuestion->text(), QStringLiteral("Which?"));
    click(form.optABCD[1]);
    EXPECT_EQ(run.Score, 1);
    EXPECT_EQ(run.rightSounds, 1);
    EXPECT_EQ(run.wrongSounds, 2);
    ASSERT_EQ(dialogs.messages.size(), 2u);
    EXPECT_EQ(dialogs.messages[0].text, "The correct answer was False.");
    EXPECT_EQ(dialogs.messages[1].text, "The correct answer was D. Goat");
    EXPECT_EQ(dialogs.messages[1].icon, Dialogs::Icon::Critical);
    EXPECT_EQ(run.results, 1);
}

TEST_F(QuizRunTest, AnAnswerNamingNoButtonIsReportedAndTheQuestionStays) {
    RecordsRun run(form, services, {"t\xA9Odd\xA9none\xA9 3", "t\xA9Next\xA9none\xA9 0"});
    connect(run);
    click(form.optTrueFalse[1]);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, "There has been an error in this question.");
    EXPECT_EQ(dialogs.messages[0].icon, Dialogs::Icon::Critical);
    EXPECT_EQ(run.CurrentQuestion, 1);
    EXPECT_EQ(run.Score, 0);
}
