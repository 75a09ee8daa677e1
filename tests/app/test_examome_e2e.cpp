// The player with this desktop's real services (storage, media on silent sinks, PDF
// printing); only the boxes a person answers are scripted.
#include "../storage/test_support.h"
#include "app/examome/examomedesktop.h"
#include "fakes/fakedialogs.h"
#include "fakes/fakeprograminfo.h"
#include "platform/linux/qtfiledialogs.h"
#include "player/examome.h"
#include "storage/quizfile.h"
#include "storage/record.h"
#include "storage/scorelog.h"
#include "support/tools.h"
#include "widgets/controltable.h"

#include <QCoreApplication>
#include <QDir>
#include <QImage>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

using namespace examo;
using examo::testing::TempFolder;
using examo::testing::writeWave;

namespace {

std::string mc(const std::string& text, const std::string& media, int right) {
    return record::BuildMultipleChoice("m", text, {"Cow", "Hen", "Pig", "Goat"}, media, right);
}

// The player put together as its main() does, on the quiz its command line names; the student
// signs in as `name`. Printed scores go to PDFs in `pdfFolder`.
class PlayerRun {
public:
    PlayerRun(const std::string& command, const std::string& name,
              std::optional<std::string> pdfFolder = std::nullopt) {
        dialogs.inputAnswers.push_back(name);
        program.command = command;
        if (pdfFolder)
            program.folderPath = *pdfFolder;
        desktop.emplace(dialogs, fileDialogs, program,
                        pdfFolder ? std::optional(QString::fromStdString(*pdfFolder))
                                  : std::nullopt);
        player.emplace(desktop->services);
    }
    void start() { player->module().Main(); }
    frmExamoMe& form() { return player->window(); }
    modExamo& module() { return player->module(); }

    fakes::FakeDialogs dialogs;
    fakes::FakeProgramInfo program;
    QtFileDialogs fileDialogs;
    std::optional<ExamoMeDesktop> desktop;
    std::optional<ExamoMe> player;
};

void click(QAbstractButton* button) {
    QTest::mouseClick(button, Qt::LeftButton);
    QCoreApplication::processEvents();
}

struct PlayerEndToEnd : ::testing::Test, examo::testing::SilentAudio {
    examo::testing::KeepCurrentFolder keepFolder;
};

} // namespace

TEST_F(PlayerEndToEnd, AStudentTakesAQuizWithAPictureASoundAndAMovie) {
    TempFolder dir;
    QImage picture(120, 80, QImage::Format_RGB32);
    picture.fill(QColor(200, 120, 40));
    ASSERT_TRUE(picture.save(QString::fromStdString(dir.path("barn.bmp"))));
    writeWave(dir.path("moo.wav"), 0.5);
    ASSERT_TRUE(
        examo::testing::runProgram(
            QStringLiteral("ffmpeg"),
            {QStringLiteral("-loglevel"), QStringLiteral("error"), QStringLiteral("-f"),
             QStringLiteral("lavfi"), QStringLiteral("-i"),
             QStringLiteral("color=c=blue:size=160x120:rate=10:duration=2"), QStringLiteral("-c:v"),
             QStringLiteral("mjpeg"), QString::fromStdString(dir.path("clip.avi"))})
            .ok);
    // Quiz text is shown as typed: markup-like text is no markup.
    ASSERT_TRUE(quizfile::Write(dir.path("farm.exm"), "Farm", "Grade 3",
                                {mc("Which <b>building</b>?", "barn.bmp", 0),
                                 record::BuildTrueFalse("t", "Cows moo.", "moo.wav", 0),
                                 mc("What moves?", "clip.avi", 2)}));

    PlayerRun run(dir.path("farm.exm"), "\xC3\x88ric", dir.folder()); // Èric, UTF-8 as typed
    run.start();
    auto& dialogs = run.dialogs;
    frmExamoMe& form = run.form();
    ASSERT_TRUE(run.module().QuizOpen);
    EXPECT_EQ(form.lblTitle->text(), QStringLiteral("Farm"));
    EXPECT_EQ(form.lblMQuestion->text(), QStringLiteral("Which <b>building</b>?"));
    EXPECT_EQ(form.lblMQuestion->textFormat(), Qt::PlainText);
    EXPECT_TRUE(form.picPic->isVisible()); // the picture, found beside the quiz
    EXPECT_EQ(form.picPic->canvas().pixelColor(form.picPic->innerWidth() / 2,
                                               form.picPic->innerHeight() / 2),
              QColor(200, 120, 40));

    click(form.optABCD[0]); // right; the sound plays to its end
    EXPECT_EQ(form.cmdPreview->text(), QStringLiteral("Play Sound"));
    click(form.optTrueFalse[1]); // wrong
    EXPECT_EQ(form.cmdPreview->text(), QStringLiteral("Play Movie"));
    EXPECT_TRUE(form.picPic->isVisible());
    // The movie, painted by the window itself, centred at its own size in the box.
    auto shownAt = [&](int x, int y) { return form.picPic->grab().toImage().pixelColor(x, y); };
    auto pureBlue = [](QColor c) { return c.red() < 30 && c.green() < 30 && c.blue() > 200; };
    EXPECT_TRUE(examo::testing::waitHandlingEvents([&] { return pureBlue(shownAt(137, 137)); }));
    EXPECT_FALSE(pureBlue(shownAt(137, 40))); // above the movie: the box's own colour
    dialogs.answers = {Dialogs::Answer::Yes};
    click(form.optABCD[2]); // right; then the summary, printed

    ASSERT_GE(dialogs.messages.size(), 2u);
    EXPECT_EQ(dialogs.messages[0].text, "The correct answer was True.");
    EXPECT_EQ(dialogs.messages.back().title, "Your Score!");
    EXPECT_EQ(dialogs.messages.back().text.rfind("You got 2 correct out of 3 total questions.", 0),
              0u);

    const auto log = scorelog::Read(dir.path("farm.log"));
    ASSERT_EQ(log.entries.size(), 1u);
    EXPECT_EQ(log.entries[0].rfind("\xC8ric.    Score 2 of 3.  66%   Time spent ", 0), 0u);
    EXPECT_NE(log.entries[0].find(".  Test date:  "), std::string::npos);

    const QString pdf = run.desktop->printer.lastPdfPath();
    ASSERT_FALSE(pdf.isEmpty()) << dialogs.messages.back().text;
    // Text drawn in a proportional font comes back with its runs of blanks as one.
    const QString words = examo::testing::pdfText(pdf).simplified();
    EXPECT_TRUE(
        words.contains(QStringLiteral("\u00C8ric Farm Grade 3 Score 2 of 3. 66% Time spent")))
        << words.toStdString();
    EXPECT_FALSE(run.module().QuizOpen);
}

// Pictures of the window for a person to look at: set EXAMO_SCREENSHOT_DIR to keep them.
TEST_F(PlayerEndToEnd, TheSampleQuizAsAStudentSeesIt) {
    const QString shots = qEnvironmentVariable("EXAMO_SCREENSHOT_DIR");
    // A copy: the score log the run appends to stays out of the source tree.
    TempFolder dir;
    std::filesystem::copy(EXAMO_SAMPLES_DIR, dir.path("sample"));
    PlayerRun run(dir.path("sample/sample.exm"), "Ann");
    run.start();
    auto& dialogs = run.dialogs;
    frmExamoMe& form = run.form();
    ASSERT_TRUE(run.module().QuizOpen);
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_TRUE(form.picPic->isVisible());
    auto keep = [&](const QString& name) {
        if (!shots.isEmpty())
            form.grab().save(shots + QLatin1Char('/') + name);
    };
    keep(QStringLiteral("examome-question1.png"));
    click(form.optABCD[0]);
    keep(QStringLiteral("examome-truefalse.png"));
    EXPECT_EQ(leftTwips(form.grpTrueFalse), 4320);
    // On to the movies (questions 7 and 8): each shows its pictures in the box.
    dialogs.answers.assign(10, Dialogs::Answer::No);
    for (int question = 2; question <= 8; ++question) {
        if (question >= 7) {
            // The first picture has come when the box's middle shows neither the box's own
            // colour nor the black of a movie without a picture yet.
            EXPECT_TRUE(examo::testing::waitHandlingEvents([&] {
                const QColor middle = form.picPic->grab().toImage().pixelColor(137, 137);
                return middle != backColor(form.picPic) && middle != QColor(Qt::black);
            })) << question;
            QCoreApplication::processEvents();
            keep(QStringLiteral("examome-movie%1.png").arg(question));
        }
        // The frame out of use stands out of sight, not hidden.
        click(leftTwips(form.grpTrueFalse) >= 0 ? form.optTrueFalse[0] : form.optABCD[0]);
    }
}

// Dotted folders are common here: a quiz inside one, started by a relative name from another
// folder, plays its media and logs beside itself.
TEST_F(PlayerEndToEnd, AQuizInADottedFolderStartedByARelativeNameLogsBesideItself) {
    TempFolder dir;
    std::filesystem::create_directories(dir.path("x/a.b/c"));
    std::filesystem::create_directories(dir.path("my.dir"));
    writeWave(dir.path("x/a.b/c/moo.wav"), 0.2);
    ASSERT_TRUE(quizfile::Write(dir.path("x/a.b/c/quiz.exm"), "Farm", "Grade 3",
                                {mc("Who moos?", dir.path("x/a.b/c/moo.wav"), 0)}));
    std::filesystem::current_path(dir.path("my.dir"));

    PlayerRun run("../x/a.b/c/quiz.exm", "Ann", dir.folder());
    auto& dialogs = run.dialogs;
    dialogs.answers = {Dialogs::Answer::No}; // no printed score
    run.start();
    frmExamoMe& form = run.form();
    ASSERT_TRUE(run.module().QuizOpen);
    EXPECT_EQ(form.cmdPreview->text(), QStringLiteral("Play Sound")); // the wave's own kind
    EXPECT_TRUE(form.cmdPreview->isVisible());
    click(form.optABCD[0]);

    ASSERT_FALSE(dialogs.messages.empty());
    EXPECT_EQ(dialogs.messages.back().title, "Your Score!");
    const auto log = scorelog::Read(dir.path("x/a.b/c/quiz.log"));
    ASSERT_EQ(log.entries.size(), 1u) << dialogs.messages.front().text;
    EXPECT_EQ(log.entries[0].rfind("Ann.    Score 1 of 1.  100% ", 0), 0u);
    EXPECT_FALSE(std::filesystem::exists(dir.path("x/a.log")));
    EXPECT_FALSE(std::filesystem::exists(dir.path("my.log")));
}

// A quiz that cannot be taken is refused at once with a message naming it, and nothing is
// logged: a quiz without questions (a first click would log 100%), and a named pipe where its
// log should be. (A named pipe as the quiz is a row of the hostile-input table.)
TEST_F(PlayerEndToEnd, QuizzesAndLogsThatCannotBeUsedGiveAMessageNotAHangOrAFalseScore) {
    TempFolder dir;
    examo::testing::writeBytes(dir.path("empty.exm"), quizfile::Encode("Farm", "Grade 3", {}));
    ASSERT_TRUE(quizfile::Write(dir.path("quiz.exm"), "Farm", "Grade 3", {mc("Who moos?", "", 0)}));
    ASSERT_EQ(::mkfifo(dir.path("quiz.log").c_str(), 0600), 0);
    const int reader = ::open(dir.path("quiz.log").c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);

    {
        PlayerRun empty(dir.path("empty.exm"), "Ann", dir.folder());
        empty.start();
        EXPECT_FALSE(empty.module().QuizOpen);
        EXPECT_EQ(
            empty.dialogs.texts(),
            std::vector<std::string>{"The file " + dir.path("empty.exm") + " has no questions."});
    }
    EXPECT_FALSE(std::filesystem::exists(dir.path("empty.log")));

    PlayerRun run(dir.path("quiz.exm"), "Ann", dir.folder());
    run.dialogs.answers = {Dialogs::Answer::Ok, Dialogs::Answer::No};
    run.start();
    ASSERT_TRUE(run.module().QuizOpen);
    click(run.form().optABCD[0]);
    const auto texts = run.dialogs.texts();
    EXPECT_NE(std::find(texts.begin(), texts.end(),
                        "Your score could not be written to the score log " + dir.path("quiz.log") +
                            ".  Please tell your teacher."),
              texts.end());
    char byte;
    EXPECT_LE(::read(reader, &byte, 1), 0) << "the entry went into a pipe";
    ::close(reader);
}
