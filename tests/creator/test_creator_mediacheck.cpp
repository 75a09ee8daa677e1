#include "creatorfixture.h"

#include "creator/frmmediacheck.h"
#include "creator/mediacheck.h"
#include "storage/quizfile.h"

using namespace examo;
using examo::testing::CreatorTest;
using examo::testing::readBytes;
using examo::testing::rec;
using examo::testing::TempFolder;
using examo::testing::writeBytes;

namespace {

const std::string kWave = std::string("RIFF\x24\0\0\0WAVEfmt ", 16);
const std::string kAvi = std::string("RIFF\x24\0\0\0AVI LIST", 16);
const std::string kMpeg = std::string("\0\0\x01\xBA", 4) + "mpeg";

class MediaCheckTest : public CreatorTest {
protected:
    // A media file written into the test folder whose short form is known to the device.
    std::string addMedia(const std::string& name, const std::string& bytes) {
        std::filesystem::create_directories(std::filesystem::path(dir.path(name)).parent_path());
        writeBytes(dir.path(name), bytes);
        shortPaths.shortForms[dir.path(name)] = "/short/" + name;
        return dir.path(name);
    }

    frmMediaCheck* checkMedia() {
        form.mnuFileCheckMedia->trigger();
        return dynamic_cast<frmMediaCheck*>(forge.mediaCheck());
    }
};

} // namespace

// The check a teacher runs before handing a quiz out: one missing, one outside and one
// unplayable file are listed, a good picture and a good movie are not, and nothing changes.
TEST_F(MediaCheckTest, ListsMissingOutsideAndUnplayableMediaAndChangesNothing) {
    TempFolder elsewhere;
    writeBytes(elsewhere.path("moo.wav"), kWave);
    addPicture("quiz/good.bmp", 20, 10);
    addMedia("quiz/broken.avi", kAvi);
    addMedia("quiz/clip.mpg", kMpeg);
    mci.results["open AVIvideo!/short/quiz/broken.avi alias movie"] = 277;
    const std::vector<std::string> records = {
        rec("m|Which?|A|B|C|D|good.bmp| 0"),
        rec("t|Gone?|gone.wav| 0"),
        rec("m|Moo?|A|B|C|D|" + elsewhere.path("moo.wav") + "| 1"),
        rec("t|Broken?|broken.avi| 1"),
        rec("t|Quiet?|none| 0"),
        rec("t|Clip?|clip.mpg| 0")};
    const std::string quiz = dir.path("quiz/farm.exm");
    ASSERT_TRUE(quizfile::Write(quiz, "Farm", "Class 3", records));
    const std::string bytes = readBytes(quiz);
    start();
    ASSERT_TRUE(mod.LoadQuiz(quiz));
    mci.commands.clear();

    frmMediaCheck* window = checkMedia();

    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Check Media"));
    const std::string folder = dir.path("quiz/");
    EXPECT_EQ(window->txtReport->toPlainText().toStdString(),
              "Media check of \"Farm\"\n"
              "The quiz's folder: " +
                  folder +
                  "\n"
                  "\n"
                  "Question 2: \"gone.wav\" is missing.\n"
                  "Question 3: \"" +
                  elsewhere.path("moo.wav") + "\" lies outside the quiz's folder (" + folder +
                  ").\n"
                  "Question 4: \"broken.avi\" cannot be played.\n");
    // Each movie is opened on its device as the player opens it, and closed again at once.
    EXPECT_EQ(mci.commands, (std::vector<std::string>{
                                "open AVIvideo!/short/quiz/broken.avi alias movie", "close all",
                                "open MPEGvideo!/short/quiz/clip.mpg alias movie", "close all"}));
    EXPECT_TRUE(waves.plays.empty());
    for (std::size_t i = 0; i < records.size(); ++i)
        EXPECT_EQ(mod.QuestionRecords[i + 1], records[i]);
    EXPECT_EQ(readBytes(quiz), bytes);
    EXPECT_TRUE(dialogs.messages.empty());
}

// Each way a file can fail its kind, and the ways a file is fine where it lies.
TEST_F(MediaCheckTest, EachKindIsProbedAsTheProgramsTakeIt) {
    using mediacheck::Problem;
    struct Case {
        std::string name, bytes;
        bool loads;              // the picture loader reads it
        std::string refusedOpen; // the device refuses this command
        std::vector<Problem> problems;
    } cases[] = {
        {"shown.jpg", "\xFF\xD8\xFF\xE0", true, "", {}},
        {"unreadable.jpg", "\xFF\xD8\xFF\xE0", false, "", {Problem::CannotShow}},
        {"text.bmp", "hello", true, "", {Problem::CannotShow}},
        {"fine.wav", kWave, false, "", {}},
        {"noise.wav", "not a wave at all", false, "", {Problem::CannotPlay}},
        {"tune.mid",
         "MThd",
         false,
         "open sequencer!/short/tune.mid alias song ",
         {Problem::CannotPlay}},
        {"song.mp3",
         "ID3\x03",
         false,
         "open MPEGvideo!/short/song.mp3 alias song ",
         {Problem::CannotPlay}},
        // Never handed to a device: its bytes are no movie, whatever its name says.
        {"fake.avi", "#!/bin/sh", false, "", {Problem::CannotPlay}},
        {"notes.txt", "notes", false, "", {Problem::CannotPlay}},
        {"media/deeper.wav", kWave, false, "", {}},
        {"../above.wav", kWave, false, "", {Problem::Outside}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = addMedia("q/" + c.name, c.bytes);
        if (c.loads)
            pictures.pictures.insert(QString::fromStdString(path),
                                     QImage(4, 4, QImage::Format_RGB32));
        mci.results.clear();
        if (!c.refusedOpen.empty())
            mci.results[c.refusedOpen] = 277;
        shortPaths.shortForms[path] = "/short/" + c.name;
        const auto findings =
            mediacheck::Check({rec("t|Q?|" + c.name + "| 0")}, dir.path("q/"), media, pictures);
        std::vector<Problem> problems;
        for (const auto& f : findings)
            problems.push_back(f.problem);
        EXPECT_EQ(problems, c.problems);
    }
}

TEST_F(MediaCheckTest, OfferedExactlyWhenPrintIsAndForAnUnsavedQuizSaysSo) {
    start();
    EXPECT_FALSE(form.mnuFileCheckMedia->isEnabled());
    addPicture("pics/cow.bmp", 8, 8);
    addMultipleChoice(QStringLiteral("Which?"), 0, QStringLiteral("cow.bmp"));
    addTrueFalse(QStringLiteral("Cow?"), 0, QString::fromStdString(dir.path("pics/cow.bmp")));
    EXPECT_TRUE(form.mnuFileCheckMedia->isEnabled());
    choose(0); // edit mode: neither printing nor checking
    EXPECT_FALSE(form.mnuFilePrint->isEnabled());
    EXPECT_FALSE(form.mnuFileCheckMedia->isEnabled());
    form.cmdEdit->click(); // saved unchanged, back to add mode
    ASSERT_TRUE(form.mnuFileCheckMedia->isEnabled());
    form.txtTitle->setText(QStringLiteral("Cows"));

    frmMediaCheck* window = checkMedia();

    ASSERT_NE(window, nullptr);
    // No folder yet: a bare name cannot be found, and a full path is not yet "outside".
    EXPECT_EQ(window->txtReport->toPlainText().toStdString(),
              "Media check of \"Cows\"\n"
              "This quiz has not been saved yet, so it has no folder of its own: media named "
              "without a full path are missing until the quiz is saved beside them, and saving "
              "copies the other media into its folder.\n"
              "\n"
              "Question 1: \"cow.bmp\" is missing.\n");
}

TEST_F(MediaCheckTest, PrintsTheReportAndSaysSoWhenThePrinterFails) {
    addPicture("quiz/good.bmp", 20, 10);
    const std::string quiz = dir.path("quiz/farm.exm");
    ASSERT_TRUE(quizfile::Write(quiz, "Farm", "C", {rec("t|Good?|good.bmp| 0")}));
    start();
    ASSERT_TRUE(mod.LoadQuiz(quiz));
    frmMediaCheck* window = checkMedia();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->txtReport->toPlainText().toStdString(),
              "Media check of \"Farm\"\nThe quiz's folder: " + dir.path("quiz/") +
                  "\n\nEvery question's media is in the quiz's folder and can be played.\n");

    window->cmdPrint->click();
    EXPECT_EQ(printer.calls,
              QStringList({QStringLiteral("Print|Media check of \"Farm\"\r\nThe quiz's folder: ") +
                               QString::fromStdString(dir.path("quiz/")) +
                               QStringLiteral("\r\n\r\nEvery question's media is in the quiz's "
                                              "folder and can be played.\r\n|1"),
                           QStringLiteral("EndDoc")}));
    EXPECT_TRUE(dialogs.messages.empty());

    printer.calls.clear();
    printer.fail = true;
    window->cmdPrint->click();
    EXPECT_EQ(printer.calls, QStringList{QStringLiteral("KillDoc")});
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, "There has been an error in printing this media check.");
    EXPECT_EQ(dialogs.messages[0].icon, Dialogs::Icon::Critical);
}
