#pragma once

#include <QColor>
#include <QImage>
#include <QPainter>

#include <cstdint>
#include <fstream>
#include <map>
#include <string>
#include <vector>

// Bitmap files for the tests, written byte by byte so that every header field is known.
namespace bitmaps {

using Bytes = std::vector<std::uint8_t>;

inline void put(Bytes& b, std::size_t at, std::uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i)
        b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}
inline void put16(Bytes& b, std::size_t at, std::uint32_t v) {
    put(b, at, v, 2);
}
inline void put32(Bytes& b, std::size_t at, std::uint32_t v) {
    put(b, at, v, 4);
}
inline std::uint32_t get32(const Bytes& b, std::size_t at) {
    return std::uint32_t(b[at]) | std::uint32_t(b[at + 1]) << 8 | std::uint32_t(b[at + 2]) << 16 |
           std::uint32_t(b[at + 3]) << 24;
}

// Four coloured quarters, so that a picture upside down or mirrored is plain to see, and a
// white square that moves one step right with each frame number.
inline QImage quarters(int width, int height, int frame = 0) {
    QImage image(width, height, QImage::Format_RGB32);
    QPainter p(&image);
    const int w2 = width / 2, h2 = height / 2;
    p.fillRect(0, 0, w2, h2, QColor(220, 30, 30));
    p.fillRect(w2, 0, width - w2, h2, QColor(30, 200, 60));
    p.fillRect(0, h2, w2, height - h2, QColor(40, 60, 220));
    p.fillRect(w2, h2, width - w2, height - h2, QColor(240, 220, 40));
    const int edge = std::max(2, height / 8);
    p.fillRect((frame * edge) % std::max(1, w2 - edge), edge / 2, edge, edge, Qt::white);
    p.end();
    return image;
}

// A plain bottom-up BITMAPFILEHEADER and BITMAPINFOHEADER with room for the pixels.
inline Bytes header(int width, int height, int bitCount, int colours, std::uint32_t imageSize) {
    const std::uint32_t offset = 54 + 4 * colours;
    Bytes b(offset + imageSize, 0);
    b[0] = 'B';
    b[1] = 'M';
    put32(b, 2, static_cast<std::uint32_t>(b.size()));
    put32(b, 10, offset);
    put32(b, 14, 40);
    put32(b, 18, static_cast<std::uint32_t>(width));
    put32(b, 22, static_cast<std::uint32_t>(height));
    put16(b, 26, 1);
    put16(b, 28, static_cast<std::uint32_t>(bitCount));
    put32(b, 34, imageSize);
    put32(b, 38, 3780);
    put32(b, 42, 3780);
    put32(b, 46, static_cast<std::uint32_t>(colours));
    return b;
}

// The picture as a 24-bit bitmap, or as an 8-bit one with a full 256-entry colour table:
// the picture's colours first, then greys.
inline Bytes bmp(const QImage& image, int bits) {
    std::map<QRgb, int> index;
    std::vector<QRgb> table;
    for (int y = 0; bits == 8 && y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (index.emplace(image.pixel(x, y), int(table.size())).second)
                table.push_back(image.pixel(x, y));
    while (bits == 8 && table.size() < 256)
        table.push_back(qRgb(int(table.size()), int(table.size()), int(table.size())));
    const std::size_t rowBytes = (static_cast<std::size_t>(image.width()) * bits + 31) / 32 * 4;
    const int colours = static_cast<int>(table.size());
    auto b = header(image.width(), image.height(), bits, colours,
                    static_cast<std::uint32_t>(rowBytes * image.height()));
    for (int i = 0; i < colours; ++i)
        put(b, 54 + 4 * i, table[i] & 0xFFFFFF, 3);
    const std::size_t pixels = 54 + 4 * colours;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb c = image.pixel(x, image.height() - 1 - y);
            if (bits == 8)
                b[pixels + y * rowBytes + x] = static_cast<std::uint8_t>(index.at(c));
            else
                put(b, pixels + y * rowBytes + 3 * x, c & 0xFFFFFF, 3);
        }
    return b;
}
inline Bytes bmp24(const QImage& image) {
    return bmp(image, 24);
}
inline Bytes bmp8(const QImage& image) {
    return bmp(image, 8);
}

inline void write(const std::string& path, const Bytes& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

inline Bytes read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The mean difference of two pictures of one size, 0 to 255 a channel.
inline double meanDifference(const QImage& a, const QImage& b) {
    if (a.size() != b.size() || a.isNull())
        return 255;
    double sum = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            sum += std::abs(qRed(p) - qRed(q)) + std::abs(qGreen(p) - qGreen(q)) +
                   std::abs(qBlue(p) - qBlue(q));
        }
    return sum / (3.0 * a.width() * a.height());
}

} // namespace bitmaps
