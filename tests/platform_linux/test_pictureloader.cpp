#include "platform/linux/magickpictureloader.h"

#include <QBuffer>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

// A Windows metafile, in 16-bit words: its placeable header, whose box in units per inch gives
// the natural size, then a blue ellipse and a red square on a 1440 by 960 window. Each record
// is its size, the function and its parameters: window origin and extent (y, x), a solid brush
// (0x00BBGGRR) selected, the ellipse (bottom, right, top, left), another brush, the rectangle.
QByteArray metafile(quint16 right = 1440, quint16 bottom = 960, quint16 unitsPerInch = 1440) {
    QList<quint16> words{0xCDD7, 0x9AC6, 0, 0, 0, right, bottom, unitsPerInch, 0, 0};
    quint16 checksum = 0;
    for (quint16 word : words)
        checksum ^= word;
    words << checksum << 1 << 9 << 0x0300 << 58 << 0 << 2 << 7 << 0 << 0
          << QList<quint16>{5,      0,      0x020B, 0,      0,   5,    0,   0x020C, 960, 1440,
                            7,      0,      0x02FC, 0,      0,   0xFF, 0,   4,      0,   0x012D,
                            0,      7,      0,      0x0418, 900, 1340, 300, 100,    7,   0,
                            0x02FC, 0,      0xFF,   0,      0,   4,    0,   0x012D, 1,   7,
                            0,      0x041B, 200,    1420,   20,  1240, 3,   0,      0};
    QByteArray out;
    for (quint16 word : words)
        out.append(char(word & 0xFF)).append(char(word >> 8));
    return out;
}

// A JPEG with an EXIF block whose only entry is the orientation tag, put right after the
// start-of-image marker as cameras do.
QByteArray withOrientation(const QByteArray& jpeg, quint16 orientation) {
    QByteArray tiff = QByteArrayLiteral("MM\x00\x2A\x00\x00\x00\x08"         // big-endian, IFD at 8
                                        "\x00\x01"                           // one entry
                                        "\x01\x12\x00\x03\x00\x00\x00\x01"); // SHORT, 1
    tiff.append(char(orientation >> 8)).append(char(orientation & 0xFF));
    tiff.append(QByteArray(2 + 4, '\0')); // value padding, no next IFD
    const QByteArray payload = QByteArrayLiteral("Exif\x00\x00") + tiff;
    const int length = int(payload.size()) + 2;
    QByteArray segment = QByteArrayLiteral("\xFF\xE1");
    segment.append(char(length >> 8)).append(char(length & 0xFF)).append(payload);
    return jpeg.left(2) + segment + jpeg.mid(2);
}

class PictureLoaderTest : public ::testing::Test {
protected:
    QString write(const char* name, const QByteArray& content) const {
        QFile file(dir.filePath(QString::fromUtf8(name)));
        EXPECT_TRUE(file.open(QIODevice::WriteOnly) && file.write(content) == content.size());
        return file.fileName();
    }
    static bool near(QRgb pixel, QRgb expected) {
        return std::abs(qRed(pixel) - qRed(expected)) < 40 &&
               std::abs(qGreen(pixel) - qGreen(expected)) < 40 &&
               std::abs(qBlue(pixel) - qBlue(expected)) < 40;
    }

    QTemporaryDir dir;
    examo::MagickPictureLoader loader;
};

} // namespace

// Bitmaps that are what their names say load in the player's own tests.
TEST_F(PictureLoaderTest, JpegsMetafilesAndMisnamedBitmapsBecomePixelsAndTheRestNothing) {
    QImage picture(40, 30, QImage::Format_RGB32);
    picture.fill(qRgb(0, 128, 0));
    for (const auto& [name, format] : {std::pair{"green.jpg", "JPEG"}, {"a bitmap.jpg", "BMP"}}) {
        ASSERT_TRUE(picture.save(dir.filePath(QString::fromUtf8(name)), format));
        const QImage loaded = loader.load(dir.filePath(QString::fromUtf8(name)));
        ASSERT_EQ(loaded.size(), QSize(40, 30)) << name;
        EXPECT_TRUE(near(loaded.pixel(20, 15), qRgb(0, 128, 0))) << name;
    }
    const QImage drawing = loader.load(write("drawing.wmf", metafile()));
    ASSERT_EQ(drawing.size(), QSize(96, 64)) << "one inch by two thirds at 96 dots per inch";
    EXPECT_TRUE(near(drawing.pixel(48, 40), qRgb(0, 0, 255))) << "inside the ellipse";
    EXPECT_TRUE(near(drawing.pixel(88, 6), qRgb(255, 0, 0))) << "inside the square";
    EXPECT_EQ(drawing.pixel(2, 62), qRgb(255, 255, 255)) << "the background is white";
    // 576 units per inch, as many drawing programs wrote them: 2 by 1 inches.
    EXPECT_EQ(loader.load(write("wide.wmf", metafile(1152, 576, 576))).size(), QSize(192, 96));
    EXPECT_FALSE(loader.load(write("plain.wmf", metafile().mid(22))).isNull());
    // What cannot be read gives a null picture.
    const QByteArray noise(4096, 'x');
    const std::pair<const char*, QByteArray> files[] = {{"empty.bmp", {}},
                                                        {"noise.jpg", noise},
                                                        {"noise.wmf", metafile().left(4) + noise},
                                                        {"header.wmf", metafile().left(22)},
                                                        {"huge.wmf", metafile(32000, 32000, 1)},
                                                        {"no inch.wmf", metafile(1440, 960, 0)}};
    for (const auto& [name, content] : files)
        EXPECT_TRUE(loader.load(write(name, content)).isNull()) << name;
    EXPECT_TRUE(loader.load(dir.filePath(u"missing.bmp"_s)).isNull());
    // A metafile cut short may render what it has or nothing, but must not bring us down.
    loader.load(write("cut.wmf", metafile().left(60)));
}

TEST_F(PictureLoaderTest, PhotographsAreTurnedUprightByTheirOrientationTag) {
    // Stored 64 by 32, red in the top-left 16 by 16 corner, the rest white.
    QImage stored(64, 32, QImage::Format_RGB32);
    stored.fill(Qt::white);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            stored.setPixel(x, y, qRgb(255, 0, 0));
    QByteArray jpeg;
    {
        QBuffer buffer(&jpeg);
        ASSERT_TRUE(buffer.open(QIODevice::WriteOnly) && stored.save(&buffer, "JPEG", 95));
    }
    enum Corner { TopLeft, TopRight, BottomRight, BottomLeft };
    struct Case {
        quint16 orientation;
        QSize upright;
        Corner red;
    };
    const Case cases[] = {
        {1, {64, 32}, TopLeft},     {2, {64, 32}, TopRight},   // as stored; mirrored
        {3, {64, 32}, BottomRight}, {4, {64, 32}, BottomLeft}, // turned half; flipped
        {5, {32, 64}, TopLeft},     {6, {32, 64}, TopRight},   // transposed; turned right
        {7, {32, 64}, BottomRight}, {8, {32, 64}, BottomLeft}, // transversed; turned left
    };
    for (const Case& c : cases) {
        const QString name = u"photo%1.jpg"_s.arg(c.orientation);
        const QImage loaded =
            loader.load(write(name.toUtf8().constData(), withOrientation(jpeg, c.orientation)));
        ASSERT_EQ(loaded.size(), c.upright) << c.orientation;
        const int right = loaded.width() - 8;
        const int bottom = loaded.height() - 8;
        const QPoint corners[] = {{8, 8}, {right, 8}, {right, bottom}, {8, bottom}};
        for (int corner = TopLeft; corner <= BottomLeft; ++corner)
            EXPECT_TRUE(near(loaded.pixel(corners[corner]),
                             corner == c.red ? qRgb(255, 0, 0) : qRgb(255, 255, 255)))
                << "orientation " << c.orientation << ", corner " << corner;
    }
}
