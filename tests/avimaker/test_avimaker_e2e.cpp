#include "avimaker/frmavi.h"
#include "platform/linux/ffmpegavifilelibrary.h"
#include "platform/linux/gstenvironment.h"
#include "platform/linux/gstmediacommandservice.h"
#include "platform/linux/magickpictureloader.h"
#include "platform/linux/percentshortpath.h"

#include "bitmaps.h"
#include "fakes/fakedialogs.h"
#include "fakes/fakefiledialogs.h"
#include "fakes/fakeprograminfo.h"
#include "fakes/fakeshell.h"
#include "movies.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

using examo::AviCompressOptions;
using examo::frmAVI;

namespace {

class AviMakerTest : public ::testing::Test {
protected:
    AviMakerTest()
        : avi([this](const examo::AviCompressionRequest& request, AviCompressOptions& options) {
              offers = request.offers;
              if (codec.empty())
                  return false;
              options = AviCompressOptions{codec, 0, 0, examo::avicompress::kValid};
              return true;
          }),
          form(dialogs, fileDialogs, shell, program, avi, pictures) {}

    std::string path(const std::string& name) const {
        return dir.filePath(QString::fromStdString(name)).toStdString();
    }
    // Adds bitmaps of the quarters picture through the window, frame number by frame number.
    std::vector<QImage> addFrames(int count, int width, int height, int bits = 24) {
        std::vector<QImage> shown;
        for (int i = 0; i < count; ++i) {
            shown.push_back(bitmaps::quarters(width, height, i));
            const std::string file = path("frame" + std::to_string(i) + ".bmp");
            bitmaps::write(file,
                           bits == 8 ? bitmaps::bmp8(shown.back()) : bitmaps::bmp24(shown.back()));
            fileDialogs.paths.push_back(file);
            form.cmdFileOpen_Click();
        }
        return shown;
    }
    std::string writeMovie(const std::string& name, const std::string& chosenCodec,
                           const QString& fps = QStringLiteral("6")) {
        codec = chosenCodec;
        form.txtFPS->setText(fps);
        fileDialogs.paths.push_back(path(name));
        form.cmdWriteAVI_Click();
        return path(name);
    }

    QTemporaryDir dir;
    examo::fakes::FakeDialogs dialogs;
    examo::fakes::FakeFileDialogs fileDialogs;
    examo::fakes::FakeShell shell;
    examo::fakes::FakeProgramInfo program;
    examo::MagickPictureLoader pictures;
    std::string codec;
    std::vector<examo::AviCompressorOffer> offers;
    examo::FfmpegAviFileLibrary avi;
    frmAVI form;
};

TEST_F(AviMakerTest, ThreeFramesWithEveryCodecOffered) {
    for (const int bits : {24, 8}) {
        form.cmdClearList_Click();
        const auto shown = addFrames(3, 320, 240, bits);
        const auto choices = avi.compressorsFor(320, 240);
        ASSERT_EQ(choices.size(), 6u);
        for (const auto& offer : choices) {
            SCOPED_TRACE(offer.codec + " from " + std::to_string(bits) + " bits");
            const std::string movie = writeMovie(offer.codec + std::to_string(bits) + ".avi",
                                                 offer.codec, QStringLiteral("12"));
            EXPECT_TRUE(dialogs.messages.empty());
            EXPECT_EQ(form.lblStatus->text(), QStringLiteral("Finished!"));
            const auto p = movies::probe(movie);
            EXPECT_EQ(p.codec, offer.codec);
            EXPECT_EQ(p.frameRate, "12/1");
            EXPECT_EQ(p.frames, 3);
            // Uncompressed frames keep their depth, and 8-bit ones their colour table.
            if (offer.codec == "rawvideo") {
                EXPECT_EQ(p.pixelFormat, bits == 8 ? "pal8" : "bgr24");
            }
            for (const int i : {0, 2}) {
                const QImage decoded = movies::frame(movie, i);
                EXPECT_LE(bitmaps::meanDifference(decoded, shown[i]),
                          movies::tolerance(offer.codec));
                // Upside down it would be far off.
                EXPECT_GT(bitmaps::meanDifference(decoded, shown[i].mirrored(false, true)), 40.0);
            }
        }
    }
}

TEST_F(AviMakerTest, FramesPerSecondAsWritten) {
    addFrames(2, 64, 48);
    const std::pair<QString, std::string> cases[] = {
        {QStringLiteral("0"), "1/1"},     {QString(), "1/1"},
        {QStringLiteral("abc"), "1/1"},   {QStringLiteral("45"), "30/1"},
        {QStringLiteral("12.5"), "12/1"}, {QStringLiteral("13.5"), "14/1"},
    };
    for (const auto& [fps, rate] : cases) {
        const std::string movie = writeMovie("fps.avi", "mjpeg", fps);
        EXPECT_EQ(movies::probe(movie).frameRate, rate) << fps.toStdString();
    }
}

TEST_F(AviMakerTest, ADifferentFormatIsRefusedAndLeftOut) {
    addFrames(2, 64, 48);
    const std::string other = path("other.bmp");
    bitmaps::write(other, bitmaps::bmp8(bitmaps::quarters(64, 48)));
    fileDialogs.paths.push_back(other);
    form.cmdFileOpen_Click();
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, "Chosen bitmap file is a different format!");
    EXPECT_EQ(movies::probe(writeMovie("two.avi", "ffv1")).frames, 2);
}

TEST_F(AviMakerTest, CancellingTheCompressionDialogLeavesNoFrames) {
    addFrames(2, 64, 48);
    const std::string movie = writeMovie("cancelled.avi", "");
    EXPECT_EQ(offers.size(), 6u);
    EXPECT_TRUE(dialogs.messages.empty());
    ASSERT_TRUE(std::filesystem::exists(movie));
    EXPECT_EQ(std::filesystem::file_size(movie), 0u);
    EXPECT_EQ(form.lblStatus->text(), QStringLiteral("AVI Status"));
}

TEST_F(AviMakerTest, AFailedWriteLeavesNoMovie) {
    addFrames(2, 64, 48);
    // The second bitmap is replaced by one of another size after it was added.
    bitmaps::write(path("frame1.bmp"), bitmaps::bmp24(bitmaps::quarters(32, 48)));
    const std::string movie = writeMovie("failed.avi", "mpeg4");
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, "There was an error writing the file.");
    EXPECT_FALSE(std::filesystem::exists(movie));
}

TEST_F(AviMakerTest, AWrittenMoviePlaysInThePlayersMediaService) {
    setenv("EXAMO_AUDIO", "silent", 1);
    const examo::GstEnvironment environment;
    examo::GstMediaCommandService media(environment);
    for (const int bits : {24, 8}) {
        form.cmdClearList_Click();
        addFrames(3, 320, 240, bits);
        for (const auto& offer : avi.compressorsFor(320, 240)) {
            SCOPED_TRACE(offer.codec + " from " + std::to_string(bits) + " bits");
            const std::string movie =
                writeMovie("play " + offer.codec + std::to_string(bits) + ".avi", offer.codec);
            std::string reply;
            EXPECT_EQ(media.send("open AVIvideo!" + examo::encodeShortPath(movie) + " alias movie",
                                 reply, 256),
                      0u);
            EXPECT_EQ(media.send("where movie source", reply, 256), 0u);
            EXPECT_EQ(reply.c_str(), std::string("0 0 320 240")); // the reply ends with a NUL
            // The first picture shown is the first frame, the right way up.
            const auto shown = media.shownPicture("movie");
            ASSERT_TRUE(shown);
            const QImage picture(shown->rgb.data(), shown->size.width, shown->size.height,
                                 shown->size.width * 3, QImage::Format_RGB888);
            const QImage first = bitmaps::quarters(320, 240, 0);
            EXPECT_LE(bitmaps::meanDifference(picture.scaled(first.size()), first),
                      movies::tolerance(offer.codec) + 2);
            media.send("close all", reply, 256);
        }
    }
}

} // namespace
