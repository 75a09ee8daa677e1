#include "creatorfixture.h"

#include "storage/record.h"
#include "support/captionfit.h"

#include <QDir>
#include <QMenuBar>

using namespace examo;
using namespace Qt::StringLiterals;
using examo::testing::CreatorTest;
using Sound = std::pair<int, std::uint32_t>;

namespace {

constexpr std::uint32_t kSync = 4, kAsync = 5; // wave flags: from memory, and how

// Every file below the folders with its size and time, to prove nothing was written there.
std::vector<std::string> filesBelow(const std::vector<std::string>& folders) {
    std::vector<std::string> out;
    std::error_code ec;
    for (const std::string& folder : folders)
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

    // Whether the previewer is gone once its closing has been processed.
    bool closed() {
        QCoreApplication::processEvents();
        return forge.previewer() == nullptr;
    }
};

} // namespace

TEST_F(PreviewTest, FiveQuestionsWithFourRightEndInAPrintedScoreAndTheWindowCloses) {
    type(form.txtTitle, u"Farm Animals"_s);
    type(form.txtTeacher, u"Grade 3"_s);
    for (int i = 1; i <= 5; ++i)
        addMultipleChoice(u"Q%1"_s.arg(i)); // C is right
    const std::vector<std::string> folders = {dir.folder(), QDir::homePath().toStdString()};
    const auto disk = filesBelow(folders);
    const auto records = mod.QuestionRecords;
    form.cmdPreview->click();
    frmPreview& w = preview();
    EXPECT_EQ(w.lblScore->text(), u"Score: 0 correct of 5 total."_s);
    // The player's window without menus, at its own size.
    EXPECT_EQ(w.windowTitle(), u"Examo Me Previewer"_s);
    EXPECT_EQ(w.client()->size(), QSize(9480 / 15, 5445 / 15));
    EXPECT_EQ(w.size(), w.client()->size()); // no menu bar above it
    EXPECT_TRUE(w.findChildren<QMenuBar*>().isEmpty());
    EXPECT_EQ(w.lblScore->pos(), QPoint(120 / 15, 240 / 15));
    // The running score's box is sized for scores, not for its design placeholder.
    EXPECT_EQ(examo::testing::captionsCutOff(w, {u"lblScore"_s}), "");

    clock.advance(75);
    dialogs.answers = {Dialogs::Answer::Ok, Dialogs::Answer::Yes};
    for (int q = 1; q <= 5; ++q)
        click(w.optABCD[q == 2 ? 0 : 2]);
    std::vector<Sound> sounds;
    for (const auto& p : waves.plays)
        sounds.emplace_back(p.image.at(4), p.flags);
    EXPECT_EQ(sounds, (std::vector<Sound>{
                          {101, kSync}, {102, kAsync}, {101, kSync}, {101, kSync}, {101, kSync}}));
    ASSERT_EQ(dialogs.messages.size(), 2u);
    EXPECT_EQ(dialogs.messages[0].text, "The correct answer was C. Pig");
    EXPECT_EQ(dialogs.messages[0].icon, Dialogs::Icon::Critical);
    EXPECT_EQ(dialogs.messages[1].title, "Your Score!");
    EXPECT_EQ(dialogs.messages[1].text,
              "You got 4 correct out of 5 total questions.\r\nYou scored 80 "
              "percent.\r\nYou spent 1 minutes and 15 seconds on this quiz.\r\n\r\n"
              "Would you like to print your score?");
    EXPECT_TRUE(printer.calls.contains(u"Print|Score 4 of 5.  80%   Time spent 1 minutes and 15 "
                                       "seconds.  Test date:  12/6/26|1"_s))
        << printer.calls.join(u'\n').toStdString();
    EXPECT_TRUE(closed());
    // The teacher's trial leaves no score log, and the creator as it was.
    EXPECT_EQ(filesBelow(folders), disk);
    EXPECT_EQ(mod.QuestionRecords, records);
    EXPECT_EQ(mod.QuestionCounter, 6);
}

TEST_F(PreviewTest, TheKeyboardAnswersAndReadsAloudInThePreviewerAsInThePlayer) {
    addMultipleChoice(u"Q1"_s); // C is right
    addTrueFalse(u"Q2"_s, 1);   // False is right
    form.cmdPreview->click();
    frmPreview& w = preview();
    EXPECT_EQ(w.focusWidget(), w.optABCD[0]);
    QTest::keyClick(w.focusWidget(), Qt::Key_C);
    QCoreApplication::processEvents();
    EXPECT_EQ(w.focusWidget(), w.optTrueFalse[0]);
    EXPECT_EQ(w.lblScore->text(), u"Score: 1 correct of 2 total."_s);
    // F5 reads aloud here as in the player; closing the window ends the reading.
    QTest::keyClick(w.focusWidget(), Qt::Key_F5);
    ASSERT_EQ(speech.said.size(), 1);
    EXPECT_TRUE(speech.said[0].startsWith(u"Question # 2.\nQ2"_s)) << speech.said[0].toStdString();
    dialogs.answers = {Dialogs::Answer::No};
    QTest::keyClick(w.focusWidget(), Qt::Key_F);
    QCoreApplication::processEvents();
    EXPECT_TRUE(closed());
    EXPECT_FALSE(speech.speaking());
    EXPECT_EQ(dialogs.messages.back().text.rfind("You got 2 correct out of 2", 0), 0u);
}

TEST_F(PreviewTest, QuestionsChangedInTheCreatorAreShownChangedWhenReached) {
    addMultipleChoice(u"Q1"_s);
    addMultipleChoice(u"Q2"_s);
    form.cmdPreview->click();
    choose(1);
    type(form.txtMQuestion, u"Is <b> a tag?"_s);
    form.cmdEdit->click();
    addTrueFalse(u"Added meanwhile"_s, 1);
    click(preview().optABCD[2]);
    EXPECT_EQ(preview().lblMQuestion->text(), u"Is <b> a tag?"_s);
    EXPECT_EQ(preview().lblMQuestion->textFormat(), Qt::PlainText); // shown as typed
    EXPECT_EQ(preview().lblScore->text(), u"Score: 1 correct of 3 total."_s);
    click(preview().optABCD[2]);
    EXPECT_EQ(preview().lblTrueQuestion->text(), u"Added meanwhile"_s);
}

TEST_F(PreviewTest, PreviewStopsTheEditorsTuneFirstAndASecondPreviewGoesOnWithTheRun) {
    const std::string tune = dir.path("tune.mid");
    examo::testing::writeBytes(tune, "MThd");
    shortPaths.shortForms[tune] = tune;
    addMultipleChoice(u"Which animal?"_s, 2, QString::fromStdString(tune));
    addTrueFalse(u"Hens lay eggs."_s, 0);
    mod.PreviewMedia(tune);
    ASSERT_EQ(mci.commands.back(), "play song");
    mci.commands.clear();
    form.cmdPreview->click();
    ASSERT_GE(mci.commands.size(), 2u);
    EXPECT_EQ(mci.commands[0], "close all"); // before the previewer's own tune
    EXPECT_EQ(mci.commands.back(), "play song");
    EXPECT_EQ(preview().cmdPreview->text(), u"Play Music"_s);

    click(preview().optABCD[2]);
    type(form.txtTitle, u"Renamed"_s);
    mci.commands.clear();
    form.cmdPreview->click();
    EXPECT_EQ(mci.commands, std::vector<std::string>{"close all"});
    EXPECT_EQ(preview().module().CurrentQuestion, 2);
    EXPECT_EQ(preview().module().Score, 1);
    EXPECT_EQ(preview().lblTitle->text(), u"Renamed"_s);

    // Closing stops the previewer's media; a new run starts from the first question; the
    // creator's unload closes it too.
    mci.commands.clear();
    preview().cmdExit->click();
    EXPECT_EQ(mci.commands, std::vector<std::string>{"close all"});
    EXPECT_TRUE(closed());
    form.cmdPreview->click();
    EXPECT_EQ(preview().module().CurrentQuestion, 1);
    form.close();
    EXPECT_TRUE(closed());
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
    EXPECT_EQ(preview().module().CurrentQuestion, 1);
}
