#include "avimaker/frmavi.h"
#include "platform/linux/ffmpegavifilelibrary.h"
#include "platform/linux/magickpictureloader.h"

#include "bitmaps.h"
#include "fakes/fakeavifilelibrary.h"
#include "fakes/fakedialogs.h"
#include "fakes/fakefiledialogs.h"
#include "fakes/fakeprograminfo.h"
#include "fakes/fakeshell.h"
#include "movies.h"

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
    bitmaps::put(rle, 30, 1); // claims run-length compression
    add(rle);
    const std::string junk = add({'J', 'U', 'N', 'K'});
    fileDialogs.paths.push_back(first); // the same file twice is two frames
    form.cmdFileOpen_Click();
    EXPECT_EQ(form.lstDIBList->count(), 2);
    Texts expected(4, "Chosen bitmap file is a different format!");
    expected.push_back("File is not a supported bitmap format:\r\n" + junk);
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

} // namespace
