// The creator with this desktop's real services; only the boxes a person answers are scripted.
#include "../avimaker/bitmaps.h"
#include "../storage/test_support.h"
#include "app/examoforge/examoforgedesktop.h"
#include "avimaker/frmavi.h"
#include "creator/examoforge.h"
#include "creator/frmpreview.h"
#include "fakes/fakedialogs.h"
#include "fakes/fakefiledialogs.h"
#include "fakes/fakeprograminfo.h"
#include "logviewer/frmlog.h"
#include "platform/linux/ffmpegavifilelibrary.h"
#include "platform/linux/gstenvironment.h"
#include "platform/linux/gstmediacommandservice.h"
#include "platform/linux/percentshortpath.h"
#include "storage/quizfile.h"
#include "storage/scorelog.h"
#include "support/tools.h"
#include "widgets/controltable.h"

#include <QCoreApplication>
#include <QPlainTextEdit>
#include <QStandardPaths>
#include <QTest>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

using namespace examo;
using examo::testing::TempFolder;

namespace {

struct CreatorEndToEnd : ::testing::Test, examo::testing::SilentAudio {
    TempFolder dir;
    fakes::FakeDialogs dialogs;
    fakes::FakeFileDialogs fileDialogs;
    fakes::FakeProgramInfo program;
};

} // namespace

TEST_F(CreatorEndToEnd, ALogOnTheCommandLineOpensInTheViewer) {
    scorelog::ScoreLogRecord entry;
    entry.studentName = "\xC8ric";
    entry.score = 2;
    entry.questionCount = 3;
    entry.percentText = "66";
    entry.timeText = "45 seconds";
    ASSERT_TRUE(scorelog::AppendEntry(dir.path("math.log"), entry));
    program.command = dir.path("math.log");
    ExamoForgeDesktop creatorDesktop(dialogs, fileDialogs, program, std::nullopt);
    ExamoForge creator(creatorDesktop.services, creatorDesktop.aviLibrary);
    creator.module().Main();
    auto* viewer = dynamic_cast<frmLog*>(creator.scoreLogViewer());
    ASSERT_NE(viewer, nullptr);
    EXPECT_TRUE(viewer->isVisible());
    EXPECT_TRUE(
        viewer->txtLog->toPlainText().startsWith(QStringLiteral("\u00C8ric.    Score 2 of 3.")));
    creator.window().close();
    QCoreApplication::processEvents();
    EXPECT_EQ(creator.scoreLogViewer(), nullptr); // closed with the creator
}

TEST_F(CreatorEndToEnd, TheRecentFilesReachTheSettingsFileAtExit) {
    const QString file = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
                         QStringLiteral("/ExamoForge/ExamoForge.conf");
    std::filesystem::remove(file.toStdString()); // a first run, also when the test is repeated
    ASSERT_TRUE(
        quizfile::Write(dir.path("farm.exm"), "Farm", "Grade 3", {"t\xA9Q1\xA9none\xA9 0"}));
    {
        ExamoForgeDesktop creatorDesktop(dialogs, fileDialogs, program, std::nullopt);
        ExamoForge creator(creatorDesktop.services, creatorDesktop.aviLibrary);
        creator.module().Main();
        fileDialogs.paths.push_back(dir.path("farm.exm"));
        creator.window().mnuFileOpen->trigger();
        fileDialogs.paths.push_back(dir.path("Copy Of Farm.exm"));
        creator.window().cmdOkay->click();
        creator.window().close();
    }
    const std::string text = examo::testing::readBytes(file.toStdString());
    EXPECT_NE(text.find("[Settings]"), std::string::npos) << text;
    EXPECT_NE(text.find("MRU1=" + dir.path("Copy Of Farm.exm")), std::string::npos) << text;
    EXPECT_NE(text.find("MRU2=" + dir.path("farm.exm")), std::string::npos) << text;
    EXPECT_NE(text.find("MRU3=untitled"), std::string::npos) << text;
    EXPECT_NE(text.find("MRU4=untitled"), std::string::npos) << text;
    // The next start shows them again.
    ExamoForgeDesktop againDesktop(dialogs, fileDialogs, program, std::nullopt);
    ExamoForge again(againDesktop.services, againDesktop.aviLibrary);
    again.module().Main();
    EXPECT_EQ(again.window().mnuRecent[1]->text().toStdString(), dir.path("Copy Of Farm.exm"));
    EXPECT_TRUE(again.window().mnuFileRecent->menuAction()->isVisible());
    again.window().close();
}

// Uncompressed frames written top-down do not play in GStreamer: the movie is checked in the
// player's own media service, the right way up.
TEST_F(CreatorEndToEnd, AMovieFromTheAviMakerPlaysRightWayUpInThePlayersMediaService) {
    ExamoForgeDesktop desktop(dialogs, fileDialogs, program, std::nullopt);
    FfmpegAviFileLibrary uncompressed([](const AviCompressionRequest&, AviCompressOptions& o) {
        o = AviCompressOptions{.codec = "rawvideo", .flags = avicompress::kValid};
        return true; // the compression dialog, answered
    });
    ExamoForge creator(desktop.services, uncompressed);
    creator.window().mnuToolAVI->trigger();
    auto* maker = dynamic_cast<frmAVI*>(creator.aviMaker());
    ASSERT_NE(maker, nullptr);
    const QImage frame = bitmaps::quarters(160, 120);
    bitmaps::write(dir.path("frame.bmp"), bitmaps::bmp24(frame));
    fileDialogs.paths = {dir.path("frame.bmp"), dir.path("frame.bmp"), dir.path("movie.avi")};
    maker->cmdFileOpen_Click();
    maker->cmdFileOpen_Click();
    maker->cmdWriteAVI_Click();
    ASSERT_EQ(maker->lblStatus->text(), QStringLiteral("Finished!"));

    std::string reply;
    GstEnvironment gst;
    PercentShortPath shortPaths;
    GstMediaCommandService media(gst, shortPaths);
    ASSERT_EQ(media.send("open AVIvideo!" + encodeShortPath(dir.path("movie.avi")) + " alias movie",
                         reply, 256),
              0u);
    const auto picture = media.shownPicture("movie");
    ASSERT_TRUE(picture);
    const QImage first(picture->rgb.data(), picture->size.width, picture->size.height,
                       picture->size.width * 3, QImage::Format_RGB888);
    EXPECT_LE(bitmaps::meanDifference(first, frame), 2.0);
    EXPECT_GT(bitmaps::meanDifference(first, frame.mirrored(false, true)), 40.0);
    media.send("close all", reply, 256);
}

// The teacher tries the sample quiz in the previewer: real pictures, sounds and movies, and
// nothing left on disk.
TEST_F(CreatorEndToEnd, TheSampleQuizTakenInThePreviewerLeavesNoTrace) {
    std::filesystem::copy(EXAMO_SAMPLES_DIR, dir.path("sample"));
    program.command = dir.path("sample/sample.exm");
    ExamoForgeDesktop desktop(dialogs, fileDialogs, program, std::nullopt);
    ExamoForge creator(desktop.services, desktop.aviLibrary);
    creator.module().Main();
    ASSERT_TRUE(creator.window().cmdPreview->isEnabled());
    creator.window().cmdPreview->click();
    frmPreview* preview = creator.previewer();
    ASSERT_NE(preview, nullptr);
    // Question 1's picture, the cow, is drawn from its bare name beside the quiz.
    const QImage box = preview->picPic->grab().toImage();
    EXPECT_NE(box.pixelColor(box.width() / 2, box.height() / 2), backColor(preview->picPic));
    dialogs.answers.assign(20, Dialogs::Answer::No); // no printed score
    for (int question = 1; question <= 8 && creator.previewer() != nullptr; ++question) {
        // The frame out of use stands out of sight, not hidden.
        QTest::mouseClick(leftTwips(preview->grpTrueFalse) >= 0 ? preview->optTrueFalse[0]
                                                                : preview->optABCD[0],
                          Qt::LeftButton);
        QCoreApplication::processEvents();
    }
    QCoreApplication::processEvents();
    EXPECT_EQ(creator.previewer(), nullptr); // closed after the summary
    EXPECT_FALSE(std::filesystem::exists(dir.path("sample/sample.log")));
    bool summary = false;
    for (const auto& m : dialogs.messages) {
        EXPECT_EQ(m.text.find("error"), std::string::npos) << m.text;
        summary = summary || m.text.starts_with("You got ");
    }
    EXPECT_TRUE(summary);
    creator.window().close();
}

// The media check opens each movie and tune on the real devices and loads each picture: the
// sample's own media pass, a torn movie, tune and picture do not, and with a blank in a name.
TEST_F(CreatorEndToEnd, TheMediaCheckProbesWithTheRealDevices) {
    std::filesystem::copy(EXAMO_SAMPLES_DIR, dir.path("sample"));
    const std::string avi = std::string("RIFF\x40\0\0\0AVI LIST", 16) + std::string(48, '\x5A');
    examo::testing::writeBytes(dir.path("sample/torn movie.avi"), avi);
    examo::testing::writeBytes(dir.path("sample/torn.mid"), "MThd" + std::string(40, '\x01'));
    examo::testing::writeBytes(dir.path("sample/torn.jpg"),
                               "\xFF\xD8\xFF\xE0" + std::string(40, 'x'));
    std::vector<std::string> records;
    for (const char* media :
         {"cow.bmp", "pig.jpg", "barn.wmf", "bell.wav", "lamb.mp3", "macdonald.mid", "sunrise.avi",
          "tractor.mpg", "torn movie.avi", "torn.mid", "torn.jpg"})
        records.push_back("t\xA9Q?\xA9" + std::string(media) + "\xA9 0");
    ASSERT_TRUE(quizfile::Write(dir.path("sample/check.exm"), "Farm", "C", records));
    ExamoForgeDesktop desktop(dialogs, fileDialogs, program, std::nullopt);
    ExamoForge creator(desktop.services, desktop.aviLibrary);
    creator.module().Main();
    ASSERT_TRUE(creator.module().LoadQuiz(dir.path("sample/check.exm")));

    creator.window().mnuFileCheckMedia->trigger();

    auto* report = creator.mediaCheck()->findChild<QPlainTextEdit*>();
    ASSERT_NE(report, nullptr);
    EXPECT_EQ(report->toPlainText().toStdString(),
              "Media check of \"Farm\"\nThe quiz's folder: " + dir.path("sample/") +
                  "\n\n"
                  "Question 9: \"torn movie.avi\" cannot be played.\n"
                  "Question 10: \"torn.mid\" cannot be played.\n"
                  "Question 11: \"torn.jpg\" cannot be shown.\n");
    EXPECT_TRUE(dialogs.messages.empty());
}
