#include "platform/linux/ffmpegavifilelibrary.h"

#include "../avimaker/bitmaps.h"
#include "../avimaker/movies.h"
#include "support/modalanswer.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using examo::AviCompressOptions;
namespace avierr = examo::avierr;

// Whole movies are written through the AVI maker's window in its own tests; these hold the
// library to the promises those do not reach.
namespace {

class FfmpegAviTest : public ::testing::Test {
protected:
    // A stream of 16 by 8 frames in a new movie, ready for its format.
    examo::AviStreamHandle open(const char* name) {
        examo::AviStreamHandle stream = 0, compressed = 0;
        const std::string movie = dir.filePath(QString::fromUtf8(name)).toStdString();
        const examo::AviStreamInfo info{.fccType = examo::fourCC("vids"),
                                        .scale = 1,
                                        .rate = 6,
                                        .frame = {.right = 16, .bottom = 8}};
        EXPECT_EQ(library.fileOpen(file, movie, examo::avimode::kWrite | examo::avimode::kCreate),
                  0);
        EXPECT_EQ(library.fileCreateStream(file, stream, info), 0);
        const AviCompressOptions raw{.codec = "rawvideo", .flags = examo::avicompress::kValid};
        EXPECT_EQ(library.makeCompressedStream(compressed, stream, raw), 0);
        return compressed;
    }

    QTemporaryDir dir;
    const std::vector<std::uint8_t> bmp = bitmaps::bmp24(bitmaps::quarters(16, 8));
    const std::span<const std::uint8_t> format = std::span(bmp).subspan(14, 40);
    const std::span<const std::uint8_t> pixels = std::span(bmp).subspan(54);
    std::optional<AviCompressOptions> choice;
    examo::FfmpegAviFileLibrary library{[this](const auto&, AviCompressOptions& options) {
        options = choice.value_or(options);
        return choice.has_value();
    }};
    examo::AviFileHandle file = 0;
};

} // namespace

TEST_F(FfmpegAviTest, FormatsThatCannotBeFramesAndUnofferedCompressionsAreRefused) {
    // Bytes of the format overwritten: a core header, a header longer than the format, a bit
    // count of 7, a JPEG inside, run-length with 24 bits, another width, 16 bits without masks.
    const std::uint32_t cases[][3] = {{0, 4, 12}, {0, 4, 41}, {14, 2, 7},           {16, 4, 4},
                                      {16, 4, 1}, {4, 4, 17}, {14, 4, 16 | 3 << 16}};
    const auto stream = open("bad.avi");
    for (const auto& [at, bytes, value] : cases) {
        std::vector<std::uint8_t> info(format.begin(), format.end());
        for (std::uint32_t i = 0; i < bytes; ++i)
            info[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
        EXPECT_EQ(library.streamSetFormat(stream, 0, info), avierr::kBadFormat)
            << at << " " << value;
    }
    // Only an offered compression is confirmed.
    AviCompressOptions options;
    choice = AviCompressOptions{.codec = "h264", .flags = examo::avicompress::kValid};
    EXPECT_NE(library.saveOptions(0, 3, stream, options), 1);
    choice->codec = "mjpeg";
    EXPECT_EQ(library.saveOptions(0, 3, stream, options), 1);
    EXPECT_EQ(options.codec, "mjpeg");
    EXPECT_EQ(library.fileRelease(file), 0);
}

TEST_F(FfmpegAviTest, FramesMustBeWholeAndInOrder) {
    const auto stream = open("order.avi");
    EXPECT_EQ(library.streamWrite(stream, 0, 1, pixels, 0x10), avierr::kUnsupported); // no format
    ASSERT_EQ(library.streamSetFormat(stream, 0, format), 0);
    EXPECT_EQ(library.streamSetFormat(stream, 0, format), avierr::kUnsupported);
    EXPECT_EQ(library.streamWrite(stream, 1, 1, pixels, 0x10), avierr::kBadParam);
    EXPECT_EQ(library.streamWrite(stream, 0, 2, pixels, 0x10), avierr::kBadParam);
    EXPECT_EQ(library.streamWrite(stream, 0, 1, pixels, 0x10), 0);
    EXPECT_EQ(library.fileRelease(file), 0); // releases its streams too
    EXPECT_EQ(library.streamRelease(stream), avierr::kBadHandle);
    EXPECT_EQ(movies::probe(dir.filePath(QStringLiteral("order.avi")).toStdString()).frames, 1);

    const auto other = open("short.avi");
    ASSERT_EQ(library.streamSetFormat(other, 0, format), 0);
    EXPECT_EQ(library.streamWrite(other, 0, 1, pixels.first(pixels.size() - 1), 0x10),
              avierr::kBadSize);
    EXPECT_NE(library.fileRelease(file), 0); // the movie is not whole
    EXPECT_EQ(library.fileOpen(file, dir.filePath(QStringLiteral("none/a.avi")).toStdString(),
                               examo::avimode::kWrite | examo::avimode::kCreate),
              avierr::kFileOpen);
}

TEST(CompressionDialogTest, ListsTheOffersAndFillsTheOptions) {
    examo::AviCompressionRequest request;
    request.flags = 3;
    request.offers = {{.codec = "rawvideo", .name = "Full Frames"},
                      {.codec = "mjpeg", .name = "Motion JPEG", .dataRate = true}};
    answerNextModal<QDialog>([](QDialog* d) {
        auto* list = d->findChild<QComboBox*>(QStringLiteral("cboCompressor"));
        auto* keys = d->findChild<QCheckBox*>(QStringLiteral("chkKeyFrames"));
        auto* rate = d->findChild<QCheckBox*>(QStringLiteral("chkDataRate"));
        ASSERT_TRUE(list && keys && rate && list->count() == 2);
        EXPECT_FALSE(rate->isEnabled()); // nothing to set for uncompressed frames
        list->setCurrentIndex(1);
        EXPECT_FALSE(keys->isEnabled());
        rate->setChecked(true);
        d->findChild<QSpinBox*>(QStringLiteral("spnDataRate"))->setValue(500);
        d->findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
    });
    AviCompressOptions options;
    ASSERT_TRUE(examo::chooseCompressionWithDialog(request, options));
    EXPECT_EQ(options.codec, "mjpeg");
    EXPECT_EQ(options.bytesPerSecond, 500u * 1024);
    EXPECT_EQ(options.flags, examo::avicompress::kValid | examo::avicompress::kDataRate);
    // Offered again, the previous choice comes first.
    answerNextModal<QDialog>([](QDialog* d) {
        EXPECT_EQ(d->findChild<QComboBox*>(QStringLiteral("cboCompressor"))->currentIndex(), 1);
        d->reject();
    });
    EXPECT_FALSE(examo::chooseCompressionWithDialog(request, options));
}
