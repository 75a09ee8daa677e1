#include "platform/linux/ffmpegavifilelibrary.h"

#include "../avimaker/bitmaps.h"
#include "../avimaker/movies.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using examo::AviCompressOptions;
namespace avierr = examo::avierr;

// Whole movies are written through the AVI maker's window in its own tests, and bitmaps it
// refuses never reach the library; these hold the library to the promises those do not reach.
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

TEST_F(FfmpegAviTest, OnlyOfferedCompressionsAndWholeFramesInOrderAreTaken) {
    const auto stream = open("order.avi");
    AviCompressOptions options;
    choice = AviCompressOptions{.codec = "h264", .flags = examo::avicompress::kValid};
    EXPECT_NE(library.saveOptions(0, 3, stream, options), 1);
    choice->codec = "mjpeg";
    EXPECT_EQ(library.saveOptions(0, 3, stream, options), 1);
    EXPECT_EQ(options.codec, "mjpeg");
    EXPECT_EQ(library.streamWrite(stream, 0, 1, pixels, 0x10), avierr::kUnsupported); // no format
    ASSERT_EQ(library.streamSetFormat(stream, 0, format), 0);
    EXPECT_EQ(library.streamSetFormat(stream, 0, format), avierr::kUnsupported);
    EXPECT_EQ(library.streamWrite(stream, 1, 1, pixels, 0x10), avierr::kBadParam);
    EXPECT_EQ(library.streamWrite(stream, 0, 1, pixels, 0x10), 0);
    EXPECT_EQ(library.fileRelease(file), 0); // releases its streams too
    EXPECT_EQ(library.streamRelease(stream), avierr::kBadHandle);
    EXPECT_EQ(movies::probe(dir.filePath(u"order.avi"_s).toStdString()).frames, 1);
    const auto other = open("short.avi");
    ASSERT_EQ(library.streamSetFormat(other, 0, format), 0);
    EXPECT_EQ(library.streamWrite(other, 0, 1, pixels.first(pixels.size() - 1), 0x10),
              avierr::kBadSize);
    EXPECT_NE(library.fileRelease(file), 0); // the movie is not whole
    EXPECT_EQ(library.fileOpen(file, dir.filePath(u"none/a.avi"_s).toStdString(),
                               examo::avimode::kWrite | examo::avimode::kCreate),
              avierr::kFileOpen);
}
