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

#include <algorithm>
#include <filesystem>
#include <tuple>

using examo::AviCompressOptions;
using examo::frmAVI;

namespace {

class AviMakerTest : public ::testing::Test {
protected:
    AviMakerTest()
        : avi([this](const examo::AviCompressionRequest& request, AviCompressOptions& options) {
              offers = request.offers;
              options = chosen;
              return !chosen.codec.empty();
          }),
          form(dialogs, fileDialogs, shell, program, avi, pictures) {}

    std::string path(const std::string& name) const {
        return dir.filePath(QString::fromStdString(name)).toStdString();
    }
    // Adds bitmap files of these bytes through the window.
    void addBitmaps(const std::vector<std::vector<std::uint8_t>>& files) {
        for (const auto& bytes : files) {
            const std::string file = path("bitmap" + std::to_string(++added) + ".bmp");
            bitmaps::write(file, bytes);
            fileDialogs.paths.push_back(file);
            form.cmdFileOpen_Click();
        }
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
        if (chosen.codec != chosenCodec)
            chosen = AviCompressOptions{chosenCodec, 0, 0, examo::avicompress::kValid};
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
    AviCompressOptions chosen;
    int added = 0;
    std::vector<examo::AviCompressorOffer> offers;
    examo::FfmpegAviFileLibrary avi;
    frmAVI form;
};

// Each movie is read back by FFmpeg's own tools and played by the player's media service.
TEST_F(AviMakerTest, ThreeFramesWithEveryCodecOfferedPlayRightWayUp) {
    const examo::testing::SilentAudio silent;
    const examo::GstEnvironment environment;
    examo::GstMediaCommandService media(environment);
    for (const int bits : {24, 8}) {
        form.cmdClearList_Click();
        const auto shown = addFrames(3, 320, 240, bits);
        const auto choices = avi.compressorsFor(320, 240);
        ASSERT_EQ(choices.size(), 6u);
        for (const auto& offer : choices) {
            SCOPED_TRACE(offer.codec + " from " + std::to_string(bits) + " bits");
            const std::string movie = writeMovie(offer.codec + std::to_string(bits) + ".avi",
                                                 offer.codec, QStringLiteral("13.5"));
            EXPECT_TRUE(dialogs.messages.empty());
            EXPECT_EQ(form.lblStatus->text(), QStringLiteral("Finished!"));
            const auto p = movies::probe(movie);
            EXPECT_EQ(p.codec, offer.codec);
            EXPECT_EQ(p.frameRate, "14/1"); // halves to the even neighbour
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

            std::string reply;
            EXPECT_EQ(media.send("open AVIvideo!" + examo::encodeShortPath(movie) + " alias movie",
                                 reply, 256),
                      0u);
            // The first picture the player shows is the first frame, the right way up.
            const auto picture = media.shownPicture("movie");
            ASSERT_TRUE(picture);
            const QImage first(picture->rgb.data(), picture->size.width, picture->size.height,
                               picture->size.width * 3, QImage::Format_RGB888);
            EXPECT_LE(bitmaps::meanDifference(first.scaled(shown[0].size()), shown[0]),
                      movies::tolerance(offer.codec) + 2);
            media.send("close all", reply, 256);
        }
    }
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

TEST_F(AviMakerTest, UncommonLayoutsComeOutRightWayUp) {
    const QImage picture = bitmaps::quarters(21, 13);
    // A top-down bitmap: rows first to last, height negative.
    auto topDown = bitmaps::bmp24(picture.mirrored(false, true));
    bitmaps::put32(topDown, 22, static_cast<std::uint32_t>(-13));
    // 16 bits (0RRRRRGGGGGBBBBB) and 32 bits a pixel, rows bottom-up.
    const QImage wide = bitmaps::quarters(32, 16);
    auto b16 = bitmaps::header(32, 16, 16, 0, 32 * 2 * 16);
    auto b32 = bitmaps::header(32, 16, 32, 0, 32 * 4 * 16);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 32; ++x) {
            const QRgb c = wide.pixel(x, 15 - y);
            bitmaps::put16(b16, 54 + (y * 32 + x) * 2,
                           (qRed(c) >> 3) << 10 | (qGreen(c) >> 3) << 5 | (qBlue(c) >> 3));
            bitmaps::put32(b32, 54 + (y * 32 + x) * 4, c & 0xFFFFFF);
        }
    const std::tuple<const char*, std::vector<std::uint8_t>, QImage, double> cases[] = {
        {"odd width, 24 bits", bitmaps::bmp24(picture), picture, 0.0},
        {"odd width, 8 bits", bitmaps::bmp8(picture), picture, 0.0},
        {"top-down", topDown, picture, 0.0},
        {"16 bits", b16, wide.convertToFormat(QImage::Format_RGB555), 4.0},
        {"32 bits", b32, wide, 0.0},
    };
    for (const auto& [name, bytes, expected, tolerance] : cases) {
        SCOPED_TRACE(name);
        form.cmdClearList_Click();
        addBitmaps({bytes});
        const std::string movie = writeMovie(std::string(name) + ".avi", "rawvideo");
        EXPECT_LE(bitmaps::meanDifference(movies::frame(movie), expected), tolerance);
    }
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(AviMakerTest, RunLengthBitmapsAreDecoded) {
    const std::string rle = path("rle.bmp"), png = path("rle.png");
    ASSERT_TRUE(
        examo::testing::runProgram(QStringLiteral("convert"),
                                   {QStringLiteral("-size"), QStringLiteral("64x48"),
                                    QStringLiteral("gradient:red-blue"), QStringLiteral("-type"),
                                    QStringLiteral("palette"), QStringLiteral("-compress"),
                                    QStringLiteral("RLE"), QString::fromStdString(rle)})
            .ok);
    ASSERT_TRUE(examo::testing::runProgram(QStringLiteral("convert"), {QString::fromStdString(rle),
                                                                       QString::fromStdString(png)})
                    .ok);
    const auto bytes = bitmaps::read(rle);
    ASSERT_EQ(bitmaps::get32(bytes, 30), 1u); // run-length, 8 bits
    addBitmaps({bytes, bytes});
    for (const std::string codec : {"rawvideo", "ffv1"}) {
        EXPECT_EQ(bitmaps::meanDifference(
                      movies::frame(writeMovie(codec + "-rle.avi", codec)),
                      QImage(QString::fromStdString(png)).convertToFormat(QImage::Format_RGB32)),
                  0.0)
            << codec;
    }
}

TEST_F(AviMakerTest, KeyFrameAndDataRateOptionsAreHonoured) {
    addFrames(6, 64, 48);
    chosen = {"mpeg4", 2, 0, examo::avicompress::kValid | examo::avicompress::kKeyFrames};
    const std::string keys = writeMovie("keys.avi", "mpeg4");
    const auto marks = examo::testing::runProgram(
        QStringLiteral("ffprobe"),
        {QStringLiteral("-v"), QStringLiteral("error"), QStringLiteral("-select_streams"),
         QStringLiteral("v:0"), QStringLiteral("-show_entries"), QStringLiteral("frame=key_frame"),
         QStringLiteral("-of"), QStringLiteral("csv=p=0"), QString::fromStdString(keys)});
    EXPECT_EQ(marks.output.simplified().remove(QLatin1Char(' ')), QStringLiteral("101010"));

    // Faint noise over the quarters: fine detail that costs bits only while it is kept.
    form.cmdClearList_Click();
    std::vector<std::vector<std::uint8_t>> noisy;
    std::uint32_t seed = 7;
    for (int i = 0; i < 60; ++i) {
        QImage picture = bitmaps::quarters(160, 120, i);
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x < picture.width(); ++x) {
                seed = seed * 1103515245 + 12345;
                const int d = static_cast<int>((seed >> 16) % 17) - 8;
                const QRgb c = picture.pixel(x, y);
                picture.setPixel(x, y,
                                 qRgb(std::clamp(qRed(c) + d, 0, 255),
                                      std::clamp(qGreen(c) + d, 0, 255),
                                      std::clamp(qBlue(c) + d, 0, 255)));
            }
        noisy.push_back(bitmaps::bmp24(picture));
    }
    addBitmaps(noisy);
    for (const std::string codec : {"mjpeg", "mpeg4"}) {
        std::uintmax_t sizes[2] = {};
        for (const int k : {0, 1}) {
            chosen = {codec, 0, (k == 0 ? 20u : 400u) * 1024,
                      examo::avicompress::kValid | examo::avicompress::kDataRate};
            sizes[k] = std::filesystem::file_size(writeMovie("rate.avi", codec));
        }
        EXPECT_LT(sizes[0] * 10, sizes[1] * 9) << codec;
    }
}

} // namespace
