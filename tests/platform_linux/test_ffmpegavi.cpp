#include "platform/linux/ffmpegavifilelibrary.h"
#include "platform/linux/ffmpegdib.h"

#include "../avimaker/bitmaps.h"
#include "../avimaker/movies.h"
#include "support/modalanswer.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <filesystem>

using examo::AviCompressOptions;
using examo::AviFileHandle;
using examo::AviStreamHandle;
using examo::FfmpegAviFileLibrary;
namespace avierr = examo::avierr;

// Whole movies are written through the AVI maker's window in its own tests; these hold the
// library to each call's promise.
namespace {

constexpr std::uint32_t kCreateForWriting = examo::avimode::kWrite | examo::avimode::kCreate;
const AviCompressOptions kRaw{"rawvideo", 0, 0, examo::avicompress::kValid};

class FfmpegAviTest : public ::testing::Test {
protected:
    std::string path(const std::string& name) const {
        return dir.filePath(QString::fromStdString(name)).toStdString();
    }
    // A compressed stream of 16 by 8 frames in a new movie, ready for its format.
    AviStreamHandle open(const std::string& movie, int width = 16) {
        AviStreamHandle stream = 0, compressed = 0;
        EXPECT_EQ(library.fileOpen(file, movie, kCreateForWriting), 0);
        EXPECT_EQ(library.fileCreateStream(file, stream,
                                           {examo::fourCC("vids"), 0, 1, 6, 0, {0, 0, width, 8}}),
                  0);
        if (width == 16) {
            EXPECT_EQ(library.makeCompressedStream(compressed, stream, kRaw), 0);
        }
        return width == 16 ? compressed : stream;
    }

    QTemporaryDir dir;
    std::optional<AviCompressOptions> choice;
    FfmpegAviFileLibrary library{
        [this](const examo::AviCompressionRequest&, AviCompressOptions& options) {
            if (choice)
                options = *choice;
            return choice.has_value();
        }};
    AviFileHandle file = 0;
};

TEST_F(FfmpegAviTest, OffersTheEncodersThatTakeTheFrameSize) {
    const auto codecsOf = [this](int width, int height) {
        std::vector<std::string> codecs;
        for (const auto& o : library.compressorsFor(width, height))
            codecs.push_back(o.codec);
        return codecs;
    };
    EXPECT_EQ(codecsOf(320, 240), (std::vector<std::string>{"rawvideo", "msvideo1", "cinepak",
                                                            "mjpeg", "mpeg4", "ffv1"}));
    EXPECT_EQ(codecsOf(321, 241), (std::vector<std::string>{"rawvideo", "mjpeg", "mpeg4", "ffv1"}));
    EXPECT_TRUE(codecsOf(0, 240).empty());
    EXPECT_TRUE(codecsOf(20000, 240).empty());
}

TEST_F(FfmpegAviTest, FormatsThatCannotBeFramesAreRefused) {
    const auto good = bitmaps::bmp24(bitmaps::quarters(16, 8));
    const std::vector<std::uint8_t> info(good.begin() + 14, good.begin() + 54);
    struct Case {
        const char* name;
        std::size_t at, bytes;
        std::uint32_t value;
    };
    const Case cases[] = {
        {"a core header", 0, 4, 12},           {"a header longer than the format", 0, 4, 41},
        {"a bit count of 7", 14, 2, 7},        {"a JPEG inside", 16, 4, 4},
        {"run-length with 24 bits", 16, 4, 1}, {"another width", 4, 4, 17},
    };
    const AviStreamHandle stream = open(path("bad.avi"));
    for (const Case& c : cases) {
        auto bytes = info;
        for (std::size_t i = 0; i < c.bytes; ++i)
            bytes[c.at + i] = static_cast<std::uint8_t>(c.value >> (8 * i));
        EXPECT_EQ(library.streamSetFormat(stream, 0, bytes), avierr::kBadFormat) << c.name;
    }
    auto noMasks = info; // 16 bits with colour masks that are not there
    noMasks[14] = 16;
    noMasks[16] = 3;
    EXPECT_EQ(library.streamSetFormat(stream, 0, noMasks), avierr::kBadFormat);
    EXPECT_EQ(library.fileRelease(file), 0);
}

TEST_F(FfmpegAviTest, FramesMustBeWholeAndInOrder) {
    const auto good = bitmaps::bmp24(bitmaps::quarters(16, 8));
    const auto pixels = std::span(good).subspan(54);
    const AviStreamHandle stream = open(path("order.avi"));
    EXPECT_EQ(library.streamWrite(stream, 0, 1, pixels, 0x10), avierr::kUnsupported); // no format
    ASSERT_EQ(library.streamSetFormat(stream, 0, std::span(good).subspan(14, 40)), 0);
    EXPECT_EQ(library.streamSetFormat(stream, 0, std::span(good).subspan(14, 40)),
              avierr::kUnsupported);
    EXPECT_EQ(library.streamWrite(stream, 1, 1, pixels, 0x10), avierr::kBadParam);
    EXPECT_EQ(library.streamWrite(stream, 0, 2, pixels, 0x10), avierr::kBadParam);
    EXPECT_EQ(library.streamWrite(stream, 0, 1, pixels, 0x10), 0);
    EXPECT_EQ(library.fileRelease(file), 0); // releases its streams too
    EXPECT_EQ(library.streamRelease(stream), avierr::kBadHandle);
    EXPECT_EQ(movies::probe(path("order.avi")).frames, 1);

    const AviStreamHandle other = open(path("short.avi"));
    ASSERT_EQ(library.streamSetFormat(other, 0, std::span(good).subspan(14, 40)), 0);
    EXPECT_EQ(library.streamWrite(other, 0, 1, pixels.first(pixels.size() - 1), 0x10),
              avierr::kBadSize);
    EXPECT_NE(library.fileRelease(file), 0); // the movie is not whole
}

TEST_F(FfmpegAviTest, AFullDiskIsAFailure) {
    if (!std::filesystem::exists("/dev/full"))
        GTEST_SKIP() << "no /dev/full here";
    const auto good = bitmaps::bmp24(bitmaps::quarters(16, 8));
    const AviStreamHandle stream = open("/dev/full");
    ASSERT_EQ(library.streamSetFormat(stream, 0, std::span(good).subspan(14, 40)), 0);
    const long written = library.streamWrite(stream, 0, 1, std::span(good).subspan(54), 0x10);
    EXPECT_TRUE(written != 0 || library.fileRelease(file) != 0);
}

TEST_F(FfmpegAviTest, OpeningCreatesALocalFileOrFails) {
    EXPECT_EQ(library.fileOpen(file, path("missing folder/a.avi"), kCreateForWriting),
              avierr::kFileOpen);
    EXPECT_EQ(file, 0);
    EXPECT_EQ(library.fileOpen(file, path("a.avi"), examo::avimode::kWrite), avierr::kBadFlags);

    // A name that looks like an address is still a file in the current folder.
    const QString before = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(dir.path()));
    const long opened = library.fileOpen(file, "http:movie.avi", kCreateForWriting);
    QDir::setCurrent(before);
    ASSERT_EQ(opened, 0);
    EXPECT_EQ(library.fileRelease(file), 0);
    EXPECT_TRUE(std::filesystem::exists(path("http:movie.avi")));
}

TEST_F(FfmpegAviTest, OnlyAnOfferedChoiceIsConfirmed) {
    const AviStreamHandle stream = open(path("odd.avi"), 18); // msvideo1 needs multiples of 4
    AviCompressOptions options;
    choice = AviCompressOptions{"msvideo1", 0, 0, examo::avicompress::kValid};
    EXPECT_NE(library.saveOptions(0, 3, stream, options), 1);
    choice = AviCompressOptions{"mjpeg", 0, 0, examo::avicompress::kValid};
    EXPECT_EQ(library.saveOptions(0, 3, stream, options), 1);
    EXPECT_EQ(options.codec, "mjpeg");
    EXPECT_EQ(library.fileRelease(file), 0);
}

TEST(DibFormatTest, RunLengthDecoding) {
    std::vector<std::uint8_t> out;
    // 8-bit: a run, literal pixels (padded), end of line, a move, end of bitmap.
    examo::dib::decodeRunLength(
        std::vector<std::uint8_t>{3, 7, 0, 3, 1, 2, 3, 0, 0, 0, 0, 2, 1, 1, 2, 9, 0, 1, 5, 5}, 8, 3,
        false, out);
    EXPECT_EQ(out, (std::vector<std::uint8_t>{7, 7, 7, 1, 2, 3, 0, 0, // bottom row
                                              0, 0, 0, 0, 0, 0, 0, 0, //
                                              0, 9, 9, 0, 0, 0, 0, 0}));
    // 4-bit: nibbles alternate in runs and literals; runs past the edge are cut off.
    examo::dib::decodeRunLength(
        std::vector<std::uint8_t>{5, 0x12, 0, 3, 0xAB, 0xC0, 0, 0, 200, 0x44}, 6, 2, true, out);
    EXPECT_EQ(out, (std::vector<std::uint8_t>{1, 2, 1, 2, 1, 0xA, 4, 4, 4, 4, 4, 4}));
    // Moves off the picture and data that stops short do no harm.
    examo::dib::decodeRunLength(std::vector<std::uint8_t>{0, 2, 255, 255, 4, 1, 0}, 4, 2, false,
                                out);
    EXPECT_EQ(out, std::vector<std::uint8_t>(8, 0));
}

TEST(CompressionDialogTest, ListsTheOffersAndFillsTheOptions) {
    examo::AviCompressionRequest request{0,
                                         3,
                                         320,
                                         240,
                                         {{"rawvideo", "Full Frames (Uncompressed)", false, false},
                                          {"mjpeg", "Motion JPEG", false, true},
                                          {"mpeg4", "MPEG-4 Part 2", true, true}}};
    answerNextModal<QDialog>([](QDialog* d) {
        auto* list = d->findChild<QComboBox*>(QStringLiteral("cboCompressor"));
        auto* keys = d->findChild<QCheckBox*>(QStringLiteral("chkKeyFrames"));
        auto* rate = d->findChild<QCheckBox*>(QStringLiteral("chkDataRate"));
        auto* kb = d->findChild<QSpinBox*>(QStringLiteral("spnDataRate"));
        ASSERT_TRUE(list && keys && rate && kb);
        EXPECT_EQ(list->count(), 3);
        EXPECT_FALSE(keys->isEnabled()); // nothing to set for uncompressed frames
        EXPECT_FALSE(rate->isEnabled());
        list->setCurrentIndex(1);
        EXPECT_FALSE(keys->isEnabled());
        EXPECT_TRUE(rate->isEnabled());
        rate->setChecked(true);
        EXPECT_TRUE(kb->isEnabled());
        kb->setValue(500);
        d->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
    });
    AviCompressOptions options;
    ASSERT_TRUE(examo::chooseCompressionWithDialog(request, options));
    EXPECT_EQ(options.codec, "mjpeg");
    EXPECT_EQ(options.bytesPerSecond, 500u * 1024);
    EXPECT_EQ(options.keyFrameEvery, 0u);
    EXPECT_EQ(options.flags, examo::avicompress::kValid | examo::avicompress::kDataRate);

    // Offered again, the previous choice comes first; without the flags nothing can be set.
    request.flags = 0;
    answerNextModal<QDialog>([](QDialog* d) {
        auto* list = d->findChild<QComboBox*>(QStringLiteral("cboCompressor"));
        EXPECT_EQ(list->currentIndex(), 1);
        EXPECT_FALSE(d->findChild<QCheckBox*>(QStringLiteral("chkDataRate"))->isEnabled());
        d->reject();
    });
    EXPECT_FALSE(examo::chooseCompressionWithDialog(request, options));
}

} // namespace
