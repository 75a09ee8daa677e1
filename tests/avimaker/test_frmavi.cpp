#include "avimaker/frmavi.h"
#include "media/modsound.h"
#include "platform/linux/ffmpegavifilelibrary.h"
#include "platform/linux/gstenvironment.h"
#include "platform/linux/gstmediacommandservice.h"
#include "platform/linux/magickpictureloader.h"
#include "platform/linux/percentshortpath.h"

#include "bitmaps.h"
#include "fakes/fakeavifilelibrary.h"
#include "fakes/fakedialogs.h"
#include "fakes/fakefiledialogs.h"
#include "fakes/fakeprograminfo.h"
#include "fakes/fakeshell.h"
#include "movies.h"
#include "support/tools.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <filesystem>

using Texts = std::vector<std::string>;
using Fake = examo::fakes::FakeAviFileLibrary;
namespace fs = std::filesystem;

namespace {

// FFmpeg writing movies with the codec the test chose in the compression dialog.
struct Ffmpeg : examo::FfmpegAviFileLibrary {
    Ffmpeg()
        : FfmpegAviFileLibrary([this](const auto&, examo::AviCompressOptions& options) {
              options = {chosen, 0, 0, examo::avicompress::kValid};
              return true;
          }) {}
    std::string chosen;
};

// The window on a fake or the real AVI library, adding bitmap files through its dialog.
template <class Library> class AviWindow : public ::testing::Test {
protected:
    std::string path(const std::string& name) const {
        return dir.filePath(QString::fromStdString(name)).toStdString();
    }
    std::string add(const bitmaps::Bytes& bytes) {
        fileDialogs.paths.push_back(path("bitmap" + std::to_string(++added) + ".bmp"));
        bitmaps::write(*fileDialogs.paths.back(), bytes);
        form.cmdFileOpen_Click();
        return path("bitmap" + std::to_string(added) + ".bmp");
    }
    std::string add(int width, int height, int bits = 24, int frame = 0) {
        return add(bitmaps::bmp(bitmaps::quarters(width, height, frame), bits));
    }
    std::string write(const std::string& movie) {
        fileDialogs.paths.push_back(path(movie));
        form.cmdWriteAVI_Click();
        return path(movie);
    }

    QTemporaryDir dir;
    int added = 0;
    examo::fakes::FakeDialogs dialogs;
    examo::fakes::FakeFileDialogs fileDialogs;
    examo::fakes::FakeShell shell;
    examo::fakes::FakeProgramInfo program;
    Library avi;
    examo::MagickPictureLoader pictures;
    examo::frmAVI form{dialogs, fileDialogs, shell, program, avi, pictures};
};
using FrmAviTest = AviWindow<Fake>;
using AviMakerTest = AviWindow<Ffmpeg>;

TEST_F(FrmAviTest, OnlyBitmapsOfTheFirstOnesFormatJoinTheList) {
    const std::string first = add(32, 24);
    EXPECT_EQ(form.imgPreview->pixmap().size(), QSize(32, 24));
    add(40, 24);
    add(32, 32);
    add(32, 24, 8);
    auto rle = bitmaps::bmp(bitmaps::quarters(32, 24));
    bitmaps::put(rle, 30, 1); // claims run-length compression, which 24-bit bitmaps never have
    const std::string claims = add(rle);
    const std::string junk = add({'J', 'U', 'N', 'K'});
    fileDialogs.paths.push_back(first); // the same file twice is two frames
    form.cmdFileOpen_Click();
    EXPECT_EQ(form.lstDIBList->count(), 2);
    // Frames are decoded with the first one's colour masks: other masks are another format.
    form.cmdClearList_Click();
    const auto masked = [](std::array<std::uint32_t, 4> masks) {
        return bitmaps::bmp(bitmaps::quarters(32, 24),
                            bitmaps::Layout{.bits = 16, .compression = 3, .masks = masks});
    };
    add(masked({0x7C00, 0x03E0, 0x001F, 0}));
    add(masked({0xF800, 0x07E0, 0x001F, 0}));
    EXPECT_EQ(form.lstDIBList->count(), 1);
    Texts expected(3, "Chosen bitmap file is a different format!");
    for (const std::string& refused : {claims, junk})
        expected.push_back("File is not a supported bitmap format:\r\n" + refused);
    expected.push_back("Chosen bitmap file is a different format!");
    EXPECT_EQ(dialogs.texts(), expected);
    form.cmdClearList_Click();
    add(64, 48); // the first format is forgotten
    EXPECT_EQ(form.lstDIBList->count(), 1);
}

TEST_F(FrmAviTest, FramesPerSecondRule) {
    const std::pair<const char*, std::uint32_t> cases[] = {
        {"  7", 7}, {"2.5x", 2}, {"-3", 1}, {"1e1", 10}, {"0.5", 1}, {"abc", 1}, {"45", 30}};
    for (const auto& [text, rate] : cases)
        EXPECT_EQ(examo::frmAVI::FramesPerSecond(text), rate) << '"' << text << '"';
}

TEST_F(FrmAviTest, MissingBitmapsAndCancelledDialogs) {
    const std::string a = add(16, 16, 24, 0), b = add(16, 16, 24, 1);
    fileDialogs.paths.push_back(std::nullopt);
    form.cmdWriteAVI_Click();
    avi.saveOptionsResult = 0;
    write("cancel.avi");
    EXPECT_TRUE(avi.frames.empty() && dialogs.messages.empty());
    avi.saveOptionsResult = 1;
    fs::remove(b);
    write("repeat.avi");
    ASSERT_EQ(avi.frames.size(), 2u);
    EXPECT_EQ(avi.frames[1], avi.frames[0]); // the frame before it again
    fs::remove(a);
    write("first.avi");
    EXPECT_EQ(dialogs.texts(),
              (Texts{"File does not exist:\r\n" + b, "File does not exist:\r\n" + a,
                     "Could not load first bitmap file in list!"}));
}

TEST_F(FrmAviTest, EveryFailureIsOneMessageReleasesAllAndDeletesTheMovie) {
    add(16, 16);
    const std::string second = add(16, 16), movie = path("movie.avi");
    for (long Fake::*result :
         {&Fake::createStreamResult, &Fake::compressResult, &Fake::setFormatResult,
          &Fake::writeResult, &Fake::fileReleaseResult, &Fake::openResult}) {
        dialogs.messages.clear();
        bitmaps::write(movie, {1, 2, 3});
        avi.*result = examo::avierr::kFileWrite;
        write("movie.avi");
        avi.*result = 0;
        EXPECT_EQ(dialogs.texts(), Texts{"There was an error writing the file."});
        EXPECT_TRUE(avi.live.empty());
        // A file the library could not open is not its to delete, nor a link's target below.
        EXPECT_EQ(fs::exists(movie), result == &Fake::openResult);
    }
    bitmaps::write(second, bitmaps::bmp(bitmaps::quarters(24, 16))); // changed after adding
    fs::create_symlink(movie, path("link.avi"));
    avi.frames.clear();
    write("link.avi");
    EXPECT_EQ(avi.frames.size(), 1u);
    EXPECT_TRUE(fs::exists(movie));
}

TEST_F(AviMakerTest, FramesWithEveryCodecOfferedComeBackRightWayUpInOrder) {
    const QImage shown[] = {bitmaps::quarters(320, 240, 0), bitmaps::quarters(320, 240, 2)};
    form.txtFPS->setText(QStringLiteral("13.5"));
    for (const int bits : {24, 8}) {
        form.cmdClearList_Click();
        for (const QImage& picture : shown)
            add(bitmaps::bmp(picture, bits));
        for (const auto& offer : avi.compressorsFor(320, 240)) {
            SCOPED_TRACE(offer.codec + " from " + std::to_string(bits) + " bits");
            avi.chosen = offer.codec;
            const std::string movie = write(offer.codec + std::to_string(bits) + ".avi");
            const auto p = movies::probe(movie);
            EXPECT_EQ(p.codec, offer.codec);
            EXPECT_EQ(p.frameRate, "14/1"); // halves to the even neighbour
            EXPECT_EQ(p.frames, 2);
            if (offer.codec == "rawvideo") { // uncompressed frames keep their depth
                EXPECT_EQ(p.pixelFormat, bits == 8 ? "pal8" : "bgr24");
            }
            // 5 bits a channel or lossy codecs stray a little; upside down would be far off.
            const double tolerance = offer.codec == "rawvideo" || offer.codec == "ffv1" ? 0 : 4;
            for (const int i : {0, 1})
                EXPECT_LE(bitmaps::meanDifference(movies::frame(movie, i), shown[i]), tolerance);
        }
    }
}

TEST_F(AviMakerTest, UncommonLayoutsComeOutRightWayUp) {
    const QImage odd = bitmaps::quarters(21, 13), wide = bitmaps::quarters(32, 16);
    auto topDown = bitmaps::bmp(odd.mirrored(false, true)); // rows first to last, height < 0
    bitmaps::put(topDown, 22, static_cast<std::uint32_t>(-13));
    const std::pair<bitmaps::Bytes, QImage> cases[] = {
        {bitmaps::bmp(odd), odd}, {topDown, odd}, {bitmaps::bmp(wide, 32), wide}};
    avi.chosen = "rawvideo";
    for (const auto& [bytes, expected] : cases) {
        form.cmdClearList_Click();
        add(bytes);
        const QImage decoded = movies::frame(write("layout" + std::to_string(added) + ".avi"));
        EXPECT_EQ(bitmaps::meanDifference(decoded, expected), 0.0) << added;
    }
}

// Movies from the maker played by the programs' own media service, as a quiz plays them.
class MakerToPlayer : examo::testing::SilentAudio, public AviMakerTest {
protected:
    // Four quarters of pure colours, which every depth holds exactly; two for 1-bit bitmaps.
    static QImage picture(bool twoColours) {
        QImage image(64, 48, QImage::Format_RGB32);
        const std::array<QRgb, 4> four{0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFFFF};
        const std::array<QRgb, 4> two{0xFFFF0000, 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFF0000};
        for (int y = 0; y < 48; ++y)
            for (int x = 0; x < 64; ++x)
                image.setPixel(x, y, (twoColours ? two : four)[(y >= 24) * 2 + (x >= 32)]);
        return image;
    }
    std::uint32_t send(const std::string& command) {
        std::string reply(128, ' ');
        return service.send(command, reply, 128);
    }
    // The colour in the middle of each quarter of the picture the service shows, averaged
    // over a few pixels; nothing when the movie does not open or shows no picture.
    std::optional<std::array<QRgb, 4>> played(const std::string& movie) {
        if (send("open AVIvideo!" + examo::encodeShortPath(movie) + " alias movie") != 0 ||
            send("play movie") != 0)
            return std::nullopt;
        std::optional<examo::GstMediaCommandService::Picture> shown;
        const bool showing = examo::testing::waitFor([&] {
            return (shown = service.shownPicture("movie")) && shown->size.width == 64 &&
                   shown->size.height == 48;
        });
        send("close all");
        if (!showing)
            return std::nullopt;
        std::array<QRgb, 4> colours{};
        for (std::size_t q = 0; q < 4; ++q) {
            int sum[3] = {};
            for (int y = 12 + 24 * int(q / 2) - 2; y < 12 + 24 * int(q / 2) + 2; ++y)
                for (int x = 16 + 32 * int(q % 2) - 2; x < 16 + 32 * int(q % 2) + 2; ++x)
                    for (int c = 0; c < 3; ++c)
                        sum[c] += shown->rgb[std::size_t(y * 64 + x) * 3 + c];
            colours[q] = qRgb((sum[0] + 8) / 16, (sum[1] + 8) / 16, (sum[2] + 8) / 16);
        }
        return colours;
    }
    static int farthest(QRgb a, QRgb b) {
        return std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                         std::abs(qBlue(a) - qBlue(b))});
    }

    examo::GstEnvironment env;
    examo::PercentShortPath shortPaths;
    examo::GstMediaCommandService service{env, shortPaths};
};

// Every depth the reader takes, written with every compressor offered, plays in the programs
// with its colours: 16-bit frames once went uncompressed as RGB555, which the player cannot
// decode ("Error playing AVI"), and dark as Motion JPEG (white at 247); masks of any layout
// once passed the reader and failed the write.
TEST_F(MakerToPlayer, EveryDepthWithEveryCompressorPlaysInItsColours) {
    using bitmaps::Layout;
    struct Depth {
        const char* name;
        Layout layout;
        QRgb kept = 0xFFFFFF; // the channels the masks hold
    };
    const Depth depths[] = {
        {"1-bit", {.bits = 1}},
        {"4-bit", {.bits = 4}},
        {"8-bit", {.bits = 8}},
        {"RLE4", {.bits = 4, .compression = 2}},
        {"RLE8", {.bits = 8, .compression = 1}},
        {"16-bit", {.bits = 16}},
        {"5-6-5", {.bits = 16, .compression = 3, .masks = {0xF800, 0x07E0, 0x001F}}},
        {"4-4-4-4",
         {.bits = 16, .compression = 3, .masks = {0x0F00, 0x00F0, 0x000F, 0xF000}, .header = 108}},
        {"1-5-5-5",
         {.bits = 16, .compression = 3, .masks = {0x7C00, 0x03E0, 0x001F, 0x8000}, .header = 108}},
        {"no green", {.bits = 16, .compression = 3, .masks = {0x7C00, 0, 0x001F}}, 0xFF00FF},
        {"24-bit", {.bits = 24}},
        {"32-bit", {.bits = 32}},
        {"32-bit RGB order", {.bits = 32, .compression = 3, .masks = {0xFF, 0xFF00, 0xFF0000}}},
        {"10-10-10",
         {.bits = 32,
          .compression = 3,
          .masks = {0x3FF00000, 0xFFC00, 0x3FF, 0xC0000000},
          .header = 108}},
    };
    for (const Depth& depth : depths) {
        form.cmdClearList_Click();
        const QImage shown = picture(depth.layout.bits == 1);
        add(bitmaps::bmp(shown, depth.layout));
        add(bitmaps::bmp(shown, depth.layout));
        ASSERT_EQ(form.lstDIBList->count(), 2) << depth.name;
        for (const auto& offer : avi.compressorsFor(64, 48)) {
            SCOPED_TRACE(offer.codec + " from " + depth.name);
            avi.chosen = offer.codec;
            const auto colours = played(write("movie.avi"));
            if (!colours) {
                ADD_FAILURE() << "does not play";
                continue;
            }
            // Lossy codecs stray a little, MPEG-4's narrower YUV range a little more; dark
            // 16-bit frames (white at 247) are well past that.
            const bool lossless = offer.codec == "rawvideo" || offer.codec == "ffv1";
            const int tolerance = lossless ? 0 : offer.codec == "mpeg4" ? 5 : 3;
            for (std::size_t q = 0; q < 4; ++q) {
                const QRgb expected = shown.pixel(q % 2 * 32, q / 2 * 24) & depth.kept;
                EXPECT_LE(farthest((*colours)[q], expected), tolerance) << "quarter " << q;
            }
        }
    }
    EXPECT_TRUE(dialogs.messages.empty());
}

// A 16-bit movie that the maker wrote plays in a quiz's picture box as a question's movie.
TEST_F(MakerToPlayer, ASixteenBitMovieFromTheMakerPlaysAsAQuestionsMovie) {
    add(bitmaps::bmp(picture(false), 16));
    avi.chosen = "rawvideo";
    const std::string movie = write("sixteen.avi");
    struct Box : examo::DisplayBox {
        double ScaleWidth() const override { return 64; }
        double ScaleHeight() const override { return 48; }
        std::intptr_t hWnd() const override { return reinterpret_cast<std::intptr_t>(&widget); }
        QWidget widget;
    } box;
    box.widget.resize(64, 48);
    examo::fakes::FakeMediaServices fakes;
    examo::modSound::Media media{service,       fakes.waves, shortPaths, fakes.resources,
                                 fakes.dialogs, fakes.pump,  {}};
    examo::modSound::PlayAviMovie(media, movie, box, true);
    ASSERT_TRUE(fakes.dialogs.messages.empty()); // no "Error playing AVI"
    EXPECT_TRUE(examo::testing::waitFor([&] { return service.reachedEnd("movie"); }));
    examo::modSound::CloseAllMedia(media);
}

} // namespace
