#include "platform/linux/magickpictureloader.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>

using examo::MagickPictureLoader;

namespace {

// A Windows metafile put together record by record, in little-endian 16-bit words.
class Metafile {
public:
    void record(quint16 function, QList<quint16> parameters) {
        const auto words = quint32(3 + parameters.size());
        m_largest = std::max(m_largest, words);
        m_records << quint16(words & 0xFFFF) << quint16(words >> 16) << function << parameters;
    }
    // Text as words, padded with a NUL to a whole word.
    static QList<quint16> words(QByteArray text, int length) {
        text.resize(length, '\0');
        QList<quint16> out;
        for (qsizetype i = 0; i + 1 < text.size(); i += 2)
            out << quint16(quint8(text[i]) | quint8(text[i + 1]) << 8);
        return out;
    }
    int objects = 0;

    // With the placeable header, whose box in units per inch gives the natural size.
    QByteArray placeable(quint16 right, quint16 bottom, quint16 unitsPerInch) const {
        QList<quint16> header{0xCDD7, 0x9AC6, 0, 0, 0, right, bottom, unitsPerInch, 0, 0};
        quint16 checksum = 0;
        for (quint16 word : header)
            checksum ^= word;
        return bytes(header << checksum) + standard();
    }
    QByteArray standard() const {
        const QList<quint16> records = m_records + QList<quint16>{3, 0, 0}; // the end record
        const auto size = quint32(9 + records.size());
        return bytes({1, 9, 0x0300, quint16(size & 0xFFFF), quint16(size >> 16), quint16(objects),
                      quint16(m_largest), 0, 0}) +
               bytes(records);
    }

private:
    static QByteArray bytes(const QList<quint16>& words) {
        QByteArray out;
        for (quint16 word : words)
            out.append(char(word & 0xFF)).append(char(word >> 8));
        return out;
    }
    QList<quint16> m_records;
    quint32 m_largest = 3;
};

// A blue ellipse under a line of text and a red square, on a 1440 by 960 window.
Metafile drawing() {
    Metafile wmf;
    wmf.record(0x020B, {0, 0});                 // SetWindowOrg (y, x)
    wmf.record(0x020C, {960, 1440});            // SetWindowExt (y, x)
    wmf.record(0x02FC, {0, 0x0000, 0x00FF, 0}); // CreateBrushIndirect: solid blue (0x00BBGGRR)
    wmf.record(0x012D, {0});                    // SelectObject
    wmf.record(0x02FA, {0, 1, 0, 0, 0});        // CreatePenIndirect: solid, 1 wide, black
    wmf.record(0x012D, {1});
    wmf.record(0x0418, {900, 1340, 300, 100});  // Ellipse (bottom, right, top, left)
    wmf.record(0x02FC, {0, 0x00FF, 0x0000, 0}); // red
    wmf.record(0x012D, {2});
    wmf.record(0x041B, {200, 1420, 20, 1240}); // Rectangle (bottom, right, top, left)
    // CreateFontIndirect: 240 units high, bold, Helvetica.
    wmf.record(0x02FB, QList<quint16>{quint16(-240), 0, 0, 0, 700, 0, 0, 0, 0} +
                           Metafile::words("Helvetica", 32));
    wmf.record(0x012D, {3});
    wmf.record(0x0102, {1}); // SetBkMode transparent
    wmf.record(0x0521, QList<quint16>{8} + Metafile::words("WMF text", 8) + QList<quint16>{20, 60});
    wmf.objects = 4;
    return wmf;
}

class PictureLoaderTest : public ::testing::Test {
protected:
    QString write(const char* name, const QByteArray& bytes) const {
        const QString path = dir.filePath(QString::fromUtf8(name));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    }
    static bool near(QRgb pixel, QRgb expected) {
        return std::abs(qRed(pixel) - qRed(expected)) < 40 &&
               std::abs(qGreen(pixel) - qGreen(expected)) < 40 &&
               std::abs(qBlue(pixel) - qBlue(expected)) < 40;
    }

    QTemporaryDir dir;
    MagickPictureLoader loader;
};

} // namespace

TEST_F(PictureLoaderTest, BitmapsAndJpegsLoadAtTheirSizeWhateverTheirName) {
    QImage picture(40, 30, QImage::Format_RGB32);
    picture.fill(qRgb(0, 128, 0));
    ASSERT_TRUE(picture.save(dir.filePath(QStringLiteral("green.bmp")), "BMP"));
    ASSERT_TRUE(picture.save(dir.filePath(QStringLiteral("green.jpg")), "JPEG"));
    ASSERT_TRUE(picture.save(dir.filePath(QStringLiteral("really a bitmap.jpg")), "BMP"));

    for (const char* name : {"green.bmp", "green.jpg", "really a bitmap.jpg"}) {
        const QImage loaded = loader.load(dir.filePath(QString::fromUtf8(name)));
        ASSERT_EQ(loaded.size(), QSize(40, 30)) << name;
        EXPECT_TRUE(near(loaded.pixel(20, 15), qRgb(0, 128, 0))) << name;
    }
}

TEST_F(PictureLoaderTest, MetafilesRenderFilledAtTheirNaturalSize) {
    const QImage picture = loader.load(write("drawing.wmf", drawing().placeable(1440, 960, 1440)));
    ASSERT_EQ(picture.size(), QSize(96, 64)) << "one inch by two thirds at 96 dots per inch";
    EXPECT_TRUE(near(picture.pixel(48, 40), qRgb(0, 0, 255))) << "inside the ellipse";
    EXPECT_TRUE(near(picture.pixel(88, 6), qRgb(255, 0, 0))) << "inside the square";
    EXPECT_EQ(picture.pixel(2, 62), qRgb(255, 255, 255)) << "the background is white";
    int ink = 0;
    for (int y = 0; y < 18; ++y)
        for (int x = 0; x < 80; ++x)
            ink += qGray(picture.pixel(x, y)) < 96 ? 1 : 0;
    EXPECT_GT(ink, 20) << "the text is drawn";

    // 576 units per inch, as many drawing programs wrote them: 2 by 1 inches.
    EXPECT_EQ(loader.load(write("wide.wmf", drawing().placeable(1152, 576, 576))).size(),
              QSize(192, 96));
    EXPECT_FALSE(loader.load(write("plain.wmf", drawing().standard())).isNull())
        << "a metafile without the placeable header";
}

TEST_F(PictureLoaderTest, UnreadableFilesGiveANullPicture) {
    const QByteArray wmf = drawing().placeable(1440, 960, 1440);
    QByteArray noise;
    for (int i = 0; i < 4096; ++i)
        noise.append(char((i * 7919 + 13) % 251));
    EXPECT_TRUE(loader.load(dir.filePath(QStringLiteral("missing.bmp"))).isNull());
    EXPECT_TRUE(loader.load(write("empty.bmp", QByteArray())).isNull());
    EXPECT_TRUE(loader.load(write("noise.jpg", noise)).isNull());
    EXPECT_TRUE(
        loader.load(write("noise.wmf", QByteArrayLiteral("\xD7\xCD\xC6\x9A") + noise)).isNull());
    EXPECT_TRUE(loader.load(write("header.wmf", wmf.left(22))).isNull());
    EXPECT_TRUE(loader.load(write("huge.wmf", drawing().placeable(32000, 32000, 1))).isNull());
    EXPECT_TRUE(loader.load(write("no inch.wmf", drawing().placeable(1440, 960, 0))).isNull());
    // A metafile cut short may render what it has or nothing, but must not bring us down.
    loader.load(write("cut.wmf", wmf.left(wmf.size() / 2)));
}
