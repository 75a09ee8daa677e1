#include "platform/linux/magickpictureloader.h"

#include <QBuffer>
#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>

#include <algorithm>

#include <gtest/gtest.h>

#include <sys/stat.h>

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

// The metafile with one more record before its end-of-file record; the header's total size
// and largest record follow.
QByteArray withRecord(QByteArray file, quint16 function, const QByteArray& parameters) {
    const auto putLong = [&](int at, quint32 value) {
        for (int i = 0; i < 4; ++i)
            file[at + i] = char(value >> (8 * i));
    };
    const quint32 words = 3 + quint32(parameters.size() + 1) / 2;
    QByteArray record(6, '\0');
    record[0] = char(words & 0xFF);
    record[1] = char(words >> 8);
    record[4] = char(function & 0xFF);
    record[5] = char(function >> 8);
    record.append(parameters).resize(2 * words);
    file.insert(file.size() - 6, record);
    putLong(22 + 6, quint32(file.size() - 22) / 2);
    putLong(22 + 12, std::max(words, qFromLittleEndian<quint32>(file.constData() + 22 + 12)));
    return file;
}

// A text record (TEXTOUT): its length, the Windows-1252 bytes padded to words, then y and x.
QByteArray withText(const QByteArray& file, const QByteArray& text, quint16 x, quint16 y) {
    QByteArray parameters;
    parameters.append(char(text.size())).append('\0').append(text);
    if (text.size() % 2 != 0)
        parameters.append('\0');
    parameters.append(char(y & 0xFF))
        .append(char(y >> 8))
        .append(char(x & 0xFF))
        .append(char(x >> 8));
    return withRecord(file, 0x0521, parameters);
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
    static int count(const QImage& image, const QRect& area, bool (*which)(QRgb)) {
        int found = 0;
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x)
                found += which(image.pixel(x, y)) ? 1 : 0;
        return found;
    }
    static bool dark(QRgb pixel) {
        return qRed(pixel) < 80 && qGreen(pixel) < 80 && qBlue(pixel) < 80;
    }
    static bool white(QRgb pixel) {
        return qRed(pixel) > 200 && qGreen(pixel) > 200 && qBlue(pixel) > 200;
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
    // A named pipe is not waited on, a device not read for ever.
    ASSERT_EQ(::mkfifo(QFile::encodeName(dir.filePath(u"pipe.bmp"_s)).constData(), 0600), 0);
    EXPECT_TRUE(loader.load(dir.filePath(u"pipe.bmp"_s)).isNull());
    EXPECT_TRUE(loader.load(u"/dev/zero"_s).isNull());
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

// LibreOffice Draw, the usual maker of metafiles here, saves the device context before every
// shape and places its text by the baseline; ImageMagick lost that text or drew it a line low
// on white boxes. apple.wmf is a red ellipse with "Apple" in black (scripts/make-apple-wmf.sh).
TEST_F(PictureLoaderTest, TheTextOfAMetafileMadeByLibreOfficeShowsWhereItWasDrawn) {
    const QImage apple = loader.load(QStringLiteral(EXAMO_TEST_DATA_DIR "/apple.wmf"));
    ASSERT_EQ(apple.size(), QSize(227, 152)) << "its 6 by 4 cm page at 96 dots per inch";
    // The ellipse keeps its half-centimetre margin: 19 to 208 pixels across, 19 to 132 down.
    EXPECT_EQ(apple.pixel(8, 8), qRgb(255, 255, 255));
    for (const QPoint inside : {QPoint(35, 76), QPoint(190, 76), QPoint(113, 30), QPoint(113, 122)})
        EXPECT_TRUE(near(apple.pixel(inside), qRgb(255, 0, 0))) << inside.x() << "," << inside.y();
    // The word stands on its baseline 2.2 cm down (83 pixels), its capitals some 17 high, from
    // 84 to 145 across; around it the ellipse is red, with no box behind the letters.
    EXPECT_GT(count(apple, QRect(80, 64, 70, 20), dark), 150) << "the letters";
    EXPECT_EQ(count(apple, QRect(80, 92, 70, 25), dark), 0) << "nothing a line lower";
    EXPECT_EQ(count(apple, QRect(60, 55, 110, 45), white), 0) << "no white inside the ellipse";
    // Its outline is LibreOffice's hairline, which Windows draws one pixel wide: a shade neither
    // red nor white where the ellipse meets the paper.
    const auto outline = [](QRgb pixel) { return !near(pixel, qRgb(255, 0, 0)) && !white(pixel); };
    EXPECT_GE(count(apple, QRect(16, 70, 6, 12), outline), 12) << "the outline on the left";
}

// The sample quiz's barn keeps the size it always had, and its white caption on the grass.
TEST_F(PictureLoaderTest, TheSampleBarnKeepsItsSizeAndItsCaption) {
    const QImage barn = loader.load(QStringLiteral(EXAMO_SAMPLES_DIR "/barn.wmf"));
    ASSERT_EQ(barn.size(), QSize(270, 220));
    EXPECT_TRUE(near(barn.pixel(130, 120), qRgb(200, 30, 30))) << "the barn wall";
    EXPECT_TRUE(near(barn.pixel(10, 200), qRgb(90, 170, 60))) << "the grass";
    EXPECT_GT(count(barn, QRect(85, 196, 90, 16), white), 100) << "\"Rivera Farm\"";
}

// Text is written into the drawing as markup: characters that mean something there, and
// Windows-1252 letters, must neither lose the picture nor change what it says.
TEST_F(PictureLoaderTest, TextWithMarkupCharactersAndAccentsIsDrawnAsWritten) {
    // A 13 pixel Arial (CREATEFONTINDIRECT) in the third slot of the object table, selected,
    // and the text top left in the white above the ellipse.
    QByteArray font(18, '\0');
    font[0] = char(0x38); // height -200 twips
    font[1] = char(0xFF);
    font[8] = char(0x90); // weight 400
    font[9] = char(0x01);
    font += QByteArray("Arial").leftJustified(32, '\0');
    QByteArray file = withRecord(metafile(), 0x02FB, font);
    file[22 + 10] = 3; // objects in the table
    file = withRecord(file, 0x012D, QByteArray("\x02\x00", 2));
    file = withText(file, "<b> & </text> caf\xE9 \x80 font-family:x", 20, 20);
    const QImage picture = loader.load(write("text.wmf", file));
    ASSERT_EQ(picture.size(), QSize(96, 64));
    EXPECT_GT(count(picture, QRect(0, 0, 80, 18), dark), 40) << "the text is drawn";
    EXPECT_TRUE(near(picture.pixel(48, 40), qRgb(0, 0, 255))) << "and the rest too";
}

// A bitmap in a metafile (STRETCHDIB) lands on the place its record gives, upright.
TEST_F(PictureLoaderTest, ABitmapInAMetafileIsDrawnInItsPlaceUpright) {
    // Two by two pixels, bottom row first: blue below red, stretched over 100 to 700 across and
    // 100 to 500 down, which is 7 to 47 and 7 to 33 pixels.
    QByteArray info(40, '\0');
    info[0] = 40;
    info[4] = 2;  // width
    info[8] = 2;  // height
    info[12] = 1; // planes
    info[14] = 24;
    const QByteArray rows("\xFF\x00\x00\xFF\x00\x00\x00\x00"
                          "\x00\x00\xFF\x00\x00\xFF\x00\x00",
                          16);
    QByteArray stretch = QByteArray("\x20\x00\xCC\x00\x00\x00", 6); // copy, RGB colours
    for (quint16 value : {2, 2, 0, 0, 400, 600, 100, 100})
        stretch.append(char(value & 0xFF)).append(char(value >> 8));
    const QImage picture =
        loader.load(write("bitmap.wmf", withRecord(metafile(), 0x0F43, stretch + info + rows)));
    ASSERT_EQ(picture.size(), QSize(96, 64));
    EXPECT_TRUE(near(picture.pixel(26, 9), qRgb(255, 0, 0))) << "red above";
    EXPECT_TRUE(near(picture.pixel(26, 31), qRgb(0, 0, 255))) << "blue below";
    EXPECT_EQ(picture.pixel(60, 9), qRgb(255, 255, 255)) << "nothing beside it";
}

// A bitmap record may announce any size: one of 30000 pixels square in a few bytes of
// run-length code made libwmf take gigabytes and minutes. Its memory is bounded now.
TEST_F(PictureLoaderTest, ABitmapRecordAnnouncingGigabytesIsNotAllocated) {
    QByteArray info(40, '\0');
    const auto put = [&](int at, quint32 value, int bytes) {
        for (int i = 0; i < bytes; ++i)
            info[at + i] = char(value >> (8 * i));
    };
    put(0, 40, 4);                                                  // header size
    put(4, 30000, 4);                                               // width
    put(8, 30000, 4);                                               // height
    put(12, 1, 2);                                                  // planes
    put(14, 8, 2);                                                  // bits per pixel
    put(16, 1, 4);                                                  // run-length coded, 8 bits
    QByteArray stretch = QByteArray("\x20\x00\xCC\x00\x00\x00", 6); // copy, RGB colours
    for (quint16 value : {quint16(0x7FFF), quint16(0x7FFF), quint16(0), quint16(0), quint16(400),
                          quint16(600), quint16(100), quint16(100)})
        stretch.append(char(value & 0xFF)).append(char(value >> 8));
    const QByteArray palette(256 * 4, '\0');
    const QImage picture = loader.load(
        write("bomb.wmf", withRecord(metafile(), 0x0F43, stretch + info + palette + "\x00\x01")));
    if (!picture.isNull()) {
        EXPECT_EQ(picture.size(), QSize(96, 64));
    }
}
