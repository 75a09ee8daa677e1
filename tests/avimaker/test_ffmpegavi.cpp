#include "platform/linux/ffmpegavifilelibrary.h"
#include "platform/linux/ffmpegdib.h"

#include "bitmaps.h"
#include "movies.h"
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
#include <functional>
#include <random>

using examo::AviCompressOptions;
using examo::AviFileHandle;
using examo::AviStreamHandle;
using examo::FfmpegAviFileLibrary;
namespace avierr = examo::avierr;

namespace {

constexpr std::uint32_t CreateForWriting = examo::avimode::kWrite | examo::avimode::kCreate;

std::vector<std::string> codecsOf(const std::vector<examo::AviCompressorOffer>& offers) {
    std::vector<std::string> codecs;
    for (const auto& o : offers)
        codecs.push_back(o.codec);
    return codecs;
}

class FfmpegAviTest : public ::testing::Test {
protected:
    FfmpegAviTest()
        : library([this](const examo::AviCompressionRequest& request, AviCompressOptions& options) {
              requests.push_back(request);
              if (!choice)
                  return false;
              options = *choice;
              return true;
          }) {}

    std::string path(const std::string& name) const {
        return dir.filePath(QString::fromStdString(name)).toStdString();
    }

    // Writes bitmap files' bytes as frames, in the order and with the calls the window makes.
    long write(const std::string& movie, const std::vector<std::vector<std::uint8_t>>& frames,
               std::uint32_t rate = 6) {
        const auto& first = frames.front();
        const std::uint32_t offset = bitmaps::get32(first, 10);
        AviFileHandle file = 0;
        AviStreamHandle stream = 0, compressed = 0;
        long result = library.fileOpen(file, movie, CreateForWriting);
        if (result == 0) {
            examo::AviStreamInfo info;
            info.fccType = examo::fourCC("vids");
            info.scale = 1;
            info.rate = rate;
            info.frame = {0, 0, static_cast<std::int32_t>(bitmaps::get32(first, 18)),
                          static_cast<std::int32_t>(bitmaps::get32(first, 22))};
            result = library.fileCreateStream(file, stream, info);
        }
        AviCompressOptions options;
        if (result == 0 && library.saveOptions(0, 3, stream, options) != 1)
            result = -1;
        if (result == 0)
            result = library.makeCompressedStream(compressed, stream, options);
        if (result == 0)
            result =
                library.streamSetFormat(compressed, 0, std::span(first).subspan(14, offset - 14));
        for (std::size_t i = 0; result == 0 && i < frames.size(); ++i)
            result = library.streamWrite(compressed, static_cast<std::int32_t>(i), 1,
                                         std::span(frames[i]).subspan(offset), 0x10);
        library.saveOptionsFree(options);
        for (const AviStreamHandle s : {stream, compressed})
            if (s != 0 && library.streamRelease(s) != 0 && result == 0)
                result = avierr::kFileWrite;
        if (file != 0 && library.fileRelease(file) != 0 && result == 0)
            result = avierr::kFileWrite;
        return result;
    }

    QTemporaryDir dir;
    std::vector<examo::AviCompressionRequest> requests;
    std::optional<AviCompressOptions> choice;
    FfmpegAviFileLibrary library;
};

TEST_F(FfmpegAviTest, OffersTheEncodersThatTakeTheFrameSize) {
    EXPECT_EQ(
        codecsOf(library.compressorsFor(320, 240)),
        (std::vector<std::string>{"rawvideo", "msvideo1", "cinepak", "mjpeg", "mpeg4", "ffv1"}));
    const auto odd = codecsOf(library.compressorsFor(321, 241));
    EXPECT_EQ(std::count(odd.begin(), odd.end(), "msvideo1"), 0);
    EXPECT_EQ(std::count(odd.begin(), odd.end(), "cinepak"), 0);
    EXPECT_EQ(odd.front(), "rawvideo");
    EXPECT_TRUE(library.compressorsFor(0, 240).empty());
    EXPECT_TRUE(library.compressorsFor(20000, 240).empty());
}

TEST_F(FfmpegAviTest, TheDialogIsAskedWithTheStreamsSizeAndFlags) {
    choice = AviCompressOptions{"rawvideo", 0, 0, examo::avicompress::kValid};
    ASSERT_EQ(write(path("a.avi"), {bitmaps::bmp24(bitmaps::quarters(64, 48))}), 0);
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].width, 64);
    EXPECT_EQ(requests[0].height, 48);
    EXPECT_EQ(requests[0].flags, 3u);
    EXPECT_EQ(codecsOf(requests[0].offers), codecsOf(library.compressorsFor(64, 48)));
}

TEST_F(FfmpegAviTest, UncommonLayoutsComeOutRightWayUp) {
    choice = AviCompressOptions{"rawvideo", 0, 0, examo::avicompress::kValid};
    const QImage picture = bitmaps::quarters(21, 13);

    // Odd widths pad every row.
    ASSERT_EQ(write(path("odd24.avi"), {bitmaps::bmp24(picture)}), 0);
    EXPECT_EQ(bitmaps::meanDifference(movies::frame(path("odd24.avi")), picture), 0.0);
    ASSERT_EQ(write(path("odd8.avi"), {bitmaps::bmp8(picture)}), 0);
    EXPECT_EQ(bitmaps::meanDifference(movies::frame(path("odd8.avi")), picture), 0.0);

    // A top-down bitmap: rows first to last, height negative.
    auto topDown = bitmaps::bmp24(picture.mirrored(false, true));
    bitmaps::put32(topDown, 22, static_cast<std::uint32_t>(-13));
    ASSERT_EQ(write(path("topdown.avi"), {topDown}), 0);
    EXPECT_EQ(bitmaps::meanDifference(movies::frame(path("topdown.avi")), picture), 0.0);
}

TEST_F(FfmpegAviTest, SixteenAndThirtyTwoBitFrames) {
    choice = AviCompressOptions{"rawvideo", 0, 0, examo::avicompress::kValid};
    const QImage picture = bitmaps::quarters(32, 16);
    const QImage rgb555 = picture.convertToFormat(QImage::Format_RGB555);
    // 16 bits: 0RRRRRGGGGGBBBBB, rows bottom-up and padded.
    auto b16 = bitmaps::header(32, 16, 16, 0, 32 * 2 * 16);
    auto b32 = bitmaps::header(32, 16, 32, 0, 32 * 4 * 16);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 32; ++x) {
            const QRgb c = picture.pixel(x, 15 - y);
            const std::uint32_t v = (qRed(c) >> 3) << 10 | (qGreen(c) >> 3) << 5 | (qBlue(c) >> 3);
            bitmaps::put16(b16, 54 + (y * 32 + x) * 2, v);
            bitmaps::put32(b32, 54 + (y * 32 + x) * 4, c & 0xFFFFFF);
        }
    ASSERT_EQ(write(path("b16.avi"), {b16}), 0);
    EXPECT_EQ(movies::probe(path("b16.avi")).pixelFormat, "rgb555le");
    EXPECT_LE(bitmaps::meanDifference(movies::frame(path("b16.avi")), rgb555), 4.0);
    ASSERT_EQ(write(path("b32.avi"), {b32}), 0);
    EXPECT_EQ(bitmaps::meanDifference(movies::frame(path("b32.avi")), picture), 0.0);
}

TEST_F(FfmpegAviTest, RunLengthBitmapsAreDecoded) {
    const std::string rle = path("rle.bmp");
    const std::string png = path("rle.png");
    bool made = false;
    movies::run(QStringLiteral("convert"),
                {QStringLiteral("-size"), QStringLiteral("64x48"),
                 QStringLiteral("gradient:red-blue"), QStringLiteral("-type"),
                 QStringLiteral("palette"), QStringLiteral("-compress"), QStringLiteral("RLE"),
                 QString::fromStdString(rle)},
                &made);
    ASSERT_TRUE(made);
    movies::run(QStringLiteral("convert"),
                {QString::fromStdString(rle), QString::fromStdString(png)}, &made);
    ASSERT_TRUE(made);
    const auto bytes = bitmaps::read(rle);
    ASSERT_EQ(bitmaps::get32(bytes, 30), 1u); // run-length, 8 bits
    for (const std::string codec : {"rawvideo", "ffv1"}) {
        choice = AviCompressOptions{codec, 0, 0, examo::avicompress::kValid};
        ASSERT_EQ(write(path(codec + "-rle.avi"), {bytes, bytes}), 0);
        EXPECT_EQ(bitmaps::meanDifference(
                      movies::frame(path(codec + "-rle.avi")),
                      QImage(QString::fromStdString(png)).convertToFormat(QImage::Format_RGB32)),
                  0.0)
            << codec;
    }
}

TEST_F(FfmpegAviTest, KeyFrameOptionIsHonoured) {
    std::vector<std::vector<std::uint8_t>> frames;
    for (int i = 0; i < 6; ++i)
        frames.push_back(bitmaps::bmp24(bitmaps::quarters(64, 48, i)));
    choice = AviCompressOptions{"mpeg4", 2, 0,
                                examo::avicompress::kValid | examo::avicompress::kKeyFrames};
    ASSERT_EQ(write(path("keys.avi"), frames), 0);
    EXPECT_EQ(movies::keyFrames(path("keys.avi")), "101010");
}

TEST_F(FfmpegAviTest, DataRateOptionIsHonoured) {
    // Faint noise over the quarters: fine detail that costs bits only while it is kept.
    std::mt19937 noise(7);
    std::vector<std::vector<std::uint8_t>> frames;
    for (int i = 0; i < 60; ++i) {
        QImage picture = bitmaps::quarters(160, 120, i);
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x < picture.width(); ++x) {
                const int d = static_cast<int>(noise() % 17) - 8;
                const QRgb c = picture.pixel(x, y);
                picture.setPixel(x, y,
                                 qRgb(std::clamp(qRed(c) + d, 0, 255),
                                      std::clamp(qGreen(c) + d, 0, 255),
                                      std::clamp(qBlue(c) + d, 0, 255)));
            }
        frames.push_back(bitmaps::bmp24(picture));
    }
    for (const std::string codec : {"mjpeg", "mpeg4"}) {
        std::uintmax_t sizes[2] = {};
        for (const int k : {0, 1}) {
            choice = AviCompressOptions{codec, 0, (k == 0 ? 20u : 400u) * 1024,
                                        examo::avicompress::kValid | examo::avicompress::kDataRate};
            ASSERT_EQ(write(path("rate.avi"), frames), 0) << codec;
            sizes[k] = std::filesystem::file_size(path("rate.avi"));
        }
        EXPECT_LT(sizes[0] * 10, sizes[1] * 9) << codec;
    }
}

TEST_F(FfmpegAviTest, FormatsThatCannotBeFramesAreRefused) {
    choice = AviCompressOptions{"rawvideo", 0, 0, examo::avicompress::kValid};
    const auto good = bitmaps::bmp24(bitmaps::quarters(16, 8));
    using Bytes = std::vector<std::uint8_t>;
    const std::pair<const char*, std::function<void(Bytes&)>> cases[] = {
        {"a core header", [](Bytes& b) { bitmaps::put32(b, 14, 12); }},
        {"a header longer than the format", [](Bytes& b) { bitmaps::put32(b, 14, 41); }},
        {"a bit count of 7", [](Bytes& b) { bitmaps::put16(b, 28, 7); }},
        {"a JPEG inside", [](Bytes& b) { bitmaps::put32(b, 30, 4); }},
        {"run-length with 24 bits", [](Bytes& b) { bitmaps::put32(b, 30, 1); }},
        {"masks that are not there",
         [](Bytes& b) {
             bitmaps::put16(b, 28, 16);
             bitmaps::put32(b, 30, 3);
         }},
    };
    for (const auto& [name, spoil] : cases) {
        auto bytes = good;
        spoil(bytes);
        EXPECT_EQ(write(path("bad.avi"), {bytes}), avierr::kBadFormat) << name;
    }
}

TEST_F(FfmpegAviTest, FramesMustBeWholeAndInOrder) {
    choice = AviCompressOptions{"rawvideo", 0, 0, examo::avicompress::kValid};
    auto shortFrame = bitmaps::bmp24(bitmaps::quarters(16, 8));
    const auto good = shortFrame;
    shortFrame.resize(shortFrame.size() - 1);
    EXPECT_EQ(write(path("short.avi"), {good, shortFrame}), avierr::kBadSize);

    AviFileHandle file = 0;
    AviStreamHandle stream = 0, compressed = 0;
    ASSERT_EQ(library.fileOpen(file, path("order.avi"), CreateForWriting), 0);
    examo::AviStreamInfo info{examo::fourCC("vids"), 0, 1, 6, 0, {0, 0, 16, 8}};
    ASSERT_EQ(library.fileCreateStream(file, stream, info), 0);
    ASSERT_EQ(library.makeCompressedStream(compressed, stream, *choice), 0);
    EXPECT_EQ(library.streamWrite(compressed, 0, 1, std::span(good).subspan(54), 0x10),
              avierr::kUnsupported); // no format yet
    auto wider = std::vector<std::uint8_t>(good.begin() + 14, good.begin() + 54);
    bitmaps::put32(wider, 4, 17);
    EXPECT_EQ(library.streamSetFormat(compressed, 0, wider), avierr::kBadFormat);
    ASSERT_EQ(library.streamSetFormat(compressed, 0, std::span(good).subspan(14, 40)), 0);
    EXPECT_EQ(library.streamSetFormat(compressed, 0, std::span(good).subspan(14, 40)),
              avierr::kUnsupported);
    EXPECT_EQ(library.streamWrite(compressed, 1, 1, std::span(good).subspan(54), 0x10),
              avierr::kBadParam);
    EXPECT_EQ(library.streamWrite(compressed, 0, 2, std::span(good).subspan(54), 0x10),
              avierr::kBadParam);
    EXPECT_EQ(library.streamWrite(compressed, 0, 1, std::span(good).subspan(54), 0x10), 0);
    EXPECT_EQ(library.fileRelease(file), 0); // releases its streams too
    EXPECT_EQ(library.streamRelease(compressed), avierr::kBadHandle);
    EXPECT_EQ(movies::probe(path("order.avi")).frames, 1);
}

TEST_F(FfmpegAviTest, OpeningCreatesALocalFileOrFails) {
    AviFileHandle file = 0;
    EXPECT_EQ(library.fileOpen(file, path("missing folder/a.avi"), CreateForWriting),
              avierr::kFileOpen);
    EXPECT_EQ(file, 0);
    EXPECT_EQ(library.fileOpen(file, path("a.avi"), examo::avimode::kWrite), avierr::kBadFlags);

    // A name that looks like an address is still a file in the current folder.
    const QString before = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(dir.path()));
    const long opened = library.fileOpen(file, "http:movie.avi", CreateForWriting);
    QDir::setCurrent(before);
    ASSERT_EQ(opened, 0);
    EXPECT_EQ(library.fileRelease(file), 0);
    EXPECT_TRUE(std::filesystem::exists(path("http:movie.avi")));
}

TEST_F(FfmpegAviTest, AFullDiskIsAFailure) {
    if (!std::filesystem::exists("/dev/full"))
        GTEST_SKIP() << "no /dev/full here";
    choice = AviCompressOptions{"rawvideo", 0, 0, examo::avicompress::kValid};
    EXPECT_NE(write("/dev/full", {bitmaps::bmp24(bitmaps::quarters(64, 48))}), 0);
}

TEST_F(FfmpegAviTest, ACancelledDialogLeavesAnEmptyFile) {
    choice.reset();
    const std::string movie = path("cancel.avi");
    bitmaps::write(movie, std::vector<std::uint8_t>(5000, 1));
    EXPECT_EQ(write(movie, {bitmaps::bmp24(bitmaps::quarters(16, 8))}), -1);
    EXPECT_TRUE(std::filesystem::exists(movie));
    EXPECT_EQ(std::filesystem::file_size(movie), 0u);
}

TEST_F(FfmpegAviTest, AChoiceTheLibraryDoesNotOfferIsNotConfirmed) {
    choice = AviCompressOptions{"msvideo1", 0, 0, examo::avicompress::kValid};
    EXPECT_EQ(write(path("odd.avi"), {bitmaps::bmp24(bitmaps::quarters(18, 8))}), -1);
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

TEST(DibFormatTest, PaletteComesFromTheColourTable) {
    auto bytes = bitmaps::bmp8(bitmaps::quarters(8, 8));
    bitmaps::put32(bytes, 46, 2); // two colours used
    const auto format = examo::dib::describe(std::span(bytes).subspan(14, 40 + 2 * 4));
    ASSERT_TRUE(format);
    EXPECT_EQ(format->paletteSize, 2);
    EXPECT_EQ(format->palette[0], 0xFF000000u | (220u << 16) | (30u << 8) | 30u);
    EXPECT_EQ(format->palette[2], 0xFF000000u); // not in the table: black
    // A table cut short leaves the rest black too.
    const auto cut = examo::dib::describe(std::span(bytes).subspan(14, 40 + 4));
    ASSERT_TRUE(cut);
    EXPECT_EQ(cut->palette[1], 0xFF000000u);
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
        EXPECT_EQ(d->windowTitle(), QStringLiteral("Video Compression"));
        EXPECT_EQ(list->count(), 3);
        EXPECT_EQ(list->itemText(0), QStringLiteral("Full Frames (Uncompressed)"));
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

TEST(CompressionDialogTest, TheLibraryShowsItWithoutAChooser) {
    QTemporaryDir dir;
    FfmpegAviFileLibrary library;
    AviFileHandle file = 0;
    AviStreamHandle stream = 0;
    ASSERT_EQ(library.fileOpen(file, dir.filePath(QStringLiteral("a.avi")).toStdString(),
                               CreateForWriting),
              0);
    ASSERT_EQ(
        library.fileCreateStream(file, stream, {examo::fourCC("vids"), 0, 1, 6, 0, {0, 0, 64, 48}}),
        0);
    answerNextModal<QDialog>([](QDialog* d) {
        auto* list = d->findChild<QComboBox*>(QStringLiteral("cboCompressor"));
        list->setCurrentIndex(list->findData(QStringLiteral("ffv1")));
        d->accept();
    });
    AviCompressOptions options;
    EXPECT_EQ(library.saveOptions(0, 3, stream, options), 1);
    EXPECT_EQ(options.codec, "ffv1");
    EXPECT_EQ(library.fileRelease(file), 0);
}

} // namespace
