#include "creatorfixture.h"

#include "storage/record.h"
#include "support/captionfit.h"

#include <QDir>
#include <QMenuBar>

using namespace examo;
using examo::testing::CreatorTest;
using Sound = std::pair<int, std::uint32_t>;

namespace {

constexpr std::uint32_t kSyncFromMemory = 4, kAsyncFromMemory = 5;

// Every file below the folder with its size and time, to prove nothing was written there.
std::vector<std::string> filesBelow(const std::string& folder) {
    std::vector<std::string> out;
    std::error_code ec;
    for (const auto& e : std::filesystem::recursive_directory_iterator(folder, ec)) {
        std::string line = e.path().string();
        if (e.is_regular_file())
            line += " " + std::to_string(e.file_size()) + " " +
                    std::to_string(e.last_write_time().time_since_epoch().count());
        out.push_back(line);
    }
    std::sort(out.begin(), out.end());
    return out;
}

class PreviewTest : public CreatorTest {
protected:
    PreviewTest() {
        // The creator's built-in sounds: n is the wave "RIFF" n.
        for (int n : {101, 102})
            resources.items[n] = {'R', 'I', 'F', 'F', static_cast<std::uint8_t>(n)};
        start();
    }

    frmPreview& preview() {
        if (forge.previewer() == nullptr)
            throw std::logic_error("the previewer is not open");
        return *forge.previewer();
    }

    void click(QRadioButton* button) {
        QTest::mouseClick(button, Qt::LeftButton);
        QCoreApplication::processEvents();
    }

    // The built-in sounds played so far, with their wave flags.
    std::vector<Sound> sounds() const {
        std::vector<Sound> out;
        for (const auto& p : waves.plays)
            if (p.image.size() == 5)
                out.emplace_back(p.image[4], p.flags);
        return out;
    }

    std::vector<std::string> diskNow() const {
        auto out = filesBelow(dir.folder());
        const auto home = filesBelow(QDir::homePath().toStdString());
        out.insert(out.end(), home.begin(), home.end());
        return out;
    }
};

} // namespace

TEST_F(PreviewTest, FiveQuestionsWithFourRightEndInAPrintedScoreAndTheWindowCloses) {
    type(form.txtTitle, QStringLiteral("Farm Animals"));
    type(form.txtTeacher, QStringLiteral("Grade 3"));
    for (int i = 1; i <= 5; ++i)
        addMultipleChoice(QStringLiteral("Q%1").arg(i)); // C is right
    const auto disk = diskNow();
    const auto records = mod.QuestionRecords;
    ASSERT_TRUE(form.cmdPreview->isEnabled());
    form.cmdPreview->click();
    EXPECT_EQ(preview().lblTeacher->text(), QStringLiteral("Grade 3"));
    EXPECT_EQ(preview().lblScore->text(), QStringLiteral("Score: 0 correct of 5 total."));

    clock.advance(75);
    dialogs.answers = {Dialogs::Answer::Ok, Dialogs::Answer::Yes};
    for (int q = 1; q <= 5; ++q)
        click(preview().optABCD[q == 2 ? 0 : 2]);
    EXPECT_EQ(sounds(), (std::vector<Sound>{{101, kSyncFromMemory},
                                            {102, kAsyncFromMemory},
                                            {101, kSyncFromMemory},
                                            {101, kSyncFromMemory},
                                            {101, kSyncFromMemory}}));
    ASSERT_EQ(dialogs.messages.size(), 2u);
    EXPECT_EQ(dialogs.messages[0].text, "The correct answer was C. Pig");
    EXPECT_EQ(dialogs.messages[0].icon, Dialogs::Icon::Critical);
    EXPECT_EQ(dialogs.messages[1].title, "Your Score!");
    EXPECT_EQ(dialogs.messages[1].text,
              "You got 4 correct out of 5 total questions.\r\nYou scored 80 "
              "percent.\r\nYou spent 1 minutes and 15 seconds on this quiz.\r\n\r\n"
              "Would you like to print your score?");
    EXPECT_EQ(printer.calls,
              (QStringList{QStringLiteral("Print||1"), QStringLiteral("Print|Student Name|1"),
                           QStringLiteral("Print|Test Name.....Teacher|1"),
                           QStringLiteral("Print|Score 4 of 5.  80%   Time spent 1 minutes and 15 "
                                          "seconds.  Test date:  12/6/26|1"),
                           QStringLiteral("EndDoc")}));
    QCoreApplication::processEvents(); // the closed window is deleted
    EXPECT_EQ(forge.previewer(), nullptr);
    // The teacher's trial leaves no score log, and the creator as it was.
    EXPECT_EQ(diskNow(), disk);
    EXPECT_EQ(mod.QuestionRecords, records);
    EXPECT_EQ(mod.QuestionCounter, 6);
}

TEST_F(PreviewTest, TheWindowIsThePlayersWithoutMenusAtItsOwnSize) {
    addMultipleChoice(QStringLiteral("Which animal lays eggs?"), 1);
    form.cmdPreview->click();
    frmPreview& w = preview();
    EXPECT_EQ(w.windowTitle(), QStringLiteral("Examo Me Previewer"));
    EXPECT_EQ(w.client()->size(), QSize(9480 / 15, 5445 / 15));
    EXPECT_EQ(w.size(), w.client()->size()); // no menu bar above it
    EXPECT_TRUE(w.findChildren<QMenuBar*>().isEmpty());
    EXPECT_EQ(w.lblScore->pos(), QPoint(120 / 15, 240 / 15));
    EXPECT_EQ(w.lblTitle->pos(), QPoint(4320 / 15, 120 / 15));
    EXPECT_FALSE(w.cursor().pixmap().isNull());
    EXPECT_EQ(w.cursor().pixmap().toImage(), w.ownCursor().pixmap().toImage());
    EXPECT_EQ(w.grab().toImage().pixelColor(2, 2), QColor(53, 53, 255));
    // The running score's box is sized for scores, not for its design placeholder.
    EXPECT_EQ(examo::testing::captionsCutOff(w, {QStringLiteral("lblScore")}), "");
}

TEST_F(PreviewTest, TheTitleComesAfterTheFirstQuestionAndASecondPreviewGoesOnWithTheRun) {
    mod.QuestionRecords[1] = "m\xA9Q"; // too few fields: reported while question 1 is shown
    mod.QuestionRecords[2] = record::BuildTrueFalse("t", "Hens lay eggs.", "none", 0);
    mod.QuestionCounter = 3;
    type(form.txtTitle, QStringLiteral("Never saved"));
    QString titleWhileReported;
    dialogs.onMessage = [&](const fakes::FakeDialogs::Message&) {
        titleWhileReported = preview().lblTitle->text();
    };
    forge.cmdPreview_Click();
    EXPECT_EQ(dialogs.texts(),
              std::vector<std::string>{"An error has occured.  Unable to process question m"});
    EXPECT_EQ(titleWhileReported, QStringLiteral("Test Title")); // the design caption still
    EXPECT_EQ(preview().lblTitle->text(), QStringLiteral("Never saved"));

    dialogs.onMessage = nullptr;
    click(preview().optABCD[1]); // the load step made B right
    EXPECT_EQ(preview().module().Score, 1);
    EXPECT_EQ(leftTwips(preview().grpTrueFalse), 4320);
    type(form.txtTitle, QStringLiteral("Renamed"));
    mci.commands.clear();
    forge.cmdPreview_Click();
    EXPECT_EQ(mci.commands, std::vector<std::string>{"close all"});
    EXPECT_EQ(preview().module().CurrentQuestion, 2);
    EXPECT_EQ(preview().module().Score, 1);
    EXPECT_EQ(preview().lblTitle->text(), QStringLiteral("Renamed"));
}

TEST_F(PreviewTest, QuestionsChangedInTheCreatorAreShownChangedWhenReached) {
    addMultipleChoice(QStringLiteral("Q1"));
    addMultipleChoice(QStringLiteral("Q2"));
    form.cmdPreview->click();
    choose(1);
    type(form.txtMQuestion, QStringLiteral("Is <b> a tag?"));
    form.cmdEdit->click();
    addTrueFalse(QStringLiteral("Added meanwhile"), 1);
    click(preview().optABCD[2]);
    EXPECT_EQ(preview().lblMQuestion->text(), QStringLiteral("Is <b> a tag?"));
    EXPECT_EQ(preview().lblMQuestion->textFormat(), Qt::PlainText); // shown as typed
    EXPECT_EQ(preview().lblScore->text(), QStringLiteral("Score: 1 correct of 3 total."));
    click(preview().optABCD[2]);
    EXPECT_EQ(preview().lblTrueQuestion->text(), QStringLiteral("Added meanwhile"));
}

TEST_F(PreviewTest, PreviewStopsTheEditorsTuneFirstAndClosingStopsThePreviewersMedia) {
    examo::testing::writeBytes(dir.path("tune.mid"), "MThd");
    shortPaths.shortForms[dir.path("tune.mid")] = dir.path("tune.mid");
    typeMultipleChoice(QStringLiteral("Which animal?"), 2,
                       QString::fromStdString(dir.path("tune.mid")));
    form.cmdAdd->click();
    mod.PreviewMedia(dir.path("tune.mid"));
    ASSERT_EQ(mci.commands.back(), "play song");
    mci.commands.clear();
    form.cmdPreview->click();
    ASSERT_GE(mci.commands.size(), 2u);
    EXPECT_EQ(mci.commands[0], "close all"); // before the previewer's own tune
    EXPECT_EQ(mci.commands.back(), "play song");
    EXPECT_TRUE(preview().cmdPreview->isVisible());
    EXPECT_EQ(preview().cmdPreview->text(), QStringLiteral("Play Music"));

    mci.commands.clear();
    preview().cmdExit->click();
    EXPECT_EQ(mci.commands, std::vector<std::string>{"close all"});
    QCoreApplication::processEvents();
    EXPECT_EQ(forge.previewer(), nullptr);

    // A new run starts from the first question; the creator's unload closes it too.
    form.cmdPreview->click();
    EXPECT_EQ(preview().module().CurrentQuestion, 1);
    form.close();
    QCoreApplication::processEvents();
    EXPECT_EQ(forge.previewer(), nullptr);
}

TEST_F(PreviewTest, AnEmptyQuizCountsOneQuestionAndBIsRight) {
    form.mnuFileNew->trigger();
    ASSERT_TRUE(form.cmdPreview->isEnabled());
    form.cmdPreview->click();
    EXPECT_EQ(preview().lblScore->text(), QStringLiteral("Score: 0 correct of 0 total."));
    dialogs.answers = {Dialogs::Answer::No};
    click(preview().optABCD[1]);
    EXPECT_EQ(sounds(), (std::vector<Sound>{{101, kSyncFromMemory}}));
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text.rfind("You got 1 correct out of 1 total questions.", 0), 0u);
    EXPECT_TRUE(printer.calls.isEmpty());
    QCoreApplication::processEvents();
    EXPECT_EQ(forge.previewer(), nullptr);
}

TEST_F(PreviewTest, FailuresEndTheHandlerWithTheirMessages) {
    examo::testing::writeBytes(dir.path("SONG.WAV"), "RIFF");
    mod.QuestionRecords[1] = record::BuildTrueFalse("t", "Odd", dir.path("SONG.WAV"), 3);
    mod.QuestionCounter = 2;
    forge.cmdPreview_Click();
    // A capital extension replays as it played when shown.
    waves.plays.clear();
    preview().cmdPreview->click();
    ASSERT_EQ(waves.plays.size(), 1u);
    EXPECT_EQ(waves.plays[0].path, dir.path("SONG.WAV"));

    waves.breaks = true;
    preview().cmdPreview->click();
    click(preview().optTrueFalse[0]); // the right answer names no button
    const std::vector<std::string> texts = {"Error in media file.",
                                            "There has been an error in this question."};
    EXPECT_EQ(dialogs.texts(), texts);
    for (const auto& m : dialogs.messages)
        EXPECT_EQ(m.icon, Dialogs::Icon::Critical);
    EXPECT_EQ(preview().cursor().pixmap().toImage(), preview().ownCursor().pixmap().toImage());
    EXPECT_EQ(preview().module().CurrentQuestion, 1);

    // A failure inside the results ends in the answer's message, and the window stays.
    preview().cmdExit->click();
    QCoreApplication::processEvents();
    mod.QuestionRecords[1] = record::BuildTrueFalse("t", "Fixed", "none", 0);
    forge.cmdPreview_Click();
    dialogs.messages.clear();
    dialogs.onMessage = [](const fakes::FakeDialogs::Message& m) {
        if (m.title == "Your Score!")
            throw std::runtime_error("the box broke");
    };
    click(preview().optTrueFalse[0]);
    EXPECT_EQ(dialogs.texts().back(), texts[1]);
    QCoreApplication::processEvents();
    ASSERT_NE(forge.previewer(), nullptr);
    EXPECT_TRUE(preview().isVisible());
}
