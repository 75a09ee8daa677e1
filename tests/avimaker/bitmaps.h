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

inline void put16(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v) {
    b[at] = static_cast<std::uint8_t>(v);
    b[at + 1] = static_cast<std::uint8_t>(v >> 8);
}

inline void put32(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

inline std::uint32_t get32(const std::vector<std::uint8_t>& b, std::size_t at) {
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
inline std::vector<std::uint8_t> header(int width, int height, int bitCount, int colours,
                                        std::uint32_t imageSize) {
    const std::uint32_t offset = 54 + 4 * colours;
    std::vector<std::uint8_t> b(offset + imageSize, 0);
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
    put32(b, 46, bitCount <= 8 ? static_cast<std::uint32_t>(colours) : 0);
    return b;
}

inline std::size_t stride(int width, int bitCount) {
    return (static_cast<std::size_t>(width) * bitCount + 31) / 32 * 4;
}

inline std::vector<std::uint8_t> bmp24(const QImage& image) {
    const std::size_t rowBytes = stride(image.width(), 24);
    auto b = header(image.width(), image.height(), 24, 0,
                    static_cast<std::uint32_t>(rowBytes * image.height()));
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb c = image.pixel(x, image.height() - 1 - y);
            const std::size_t at = 54 + y * rowBytes + 3 * x;
            b[at] = static_cast<std::uint8_t>(qBlue(c));
            b[at + 1] = static_cast<std::uint8_t>(qGreen(c));
            b[at + 2] = static_cast<std::uint8_t>(qRed(c));
        }
    return b;
}

// An 8-bit bitmap with a full 256-entry colour table: the picture's colours first, then greys.
inline std::vector<std::uint8_t> bmp8(const QImage& image) {
    std::map<QRgb, int> index;
    std::vector<QRgb> table;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (index.emplace(image.pixel(x, y) | 0xFF000000u, int(table.size())).second)
                table.push_back(image.pixel(x, y));
    while (table.size() < 256)
        table.push_back(qRgb(int(table.size()), int(table.size()), int(table.size())));
    const std::size_t rowBytes = stride(image.width(), 8);
    auto b = header(image.width(), image.height(), 8, 256,
                    static_cast<std::uint32_t>(rowBytes * image.height()));
    for (int i = 0; i < 256; ++i) {
        b[54 + 4 * i] = static_cast<std::uint8_t>(qBlue(table[i]));
        b[54 + 4 * i + 1] = static_cast<std::uint8_t>(qGreen(table[i]));
        b[54 + 4 * i + 2] = static_cast<std::uint8_t>(qRed(table[i]));
    }
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            b[1078 + y * rowBytes + x] = static_cast<std::uint8_t>(
                index.at(image.pixel(x, image.height() - 1 - y) | 0xFF000000u));
    return b;
}

inline void write(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

inline std::vector<std::uint8_t> read(const std::string& path) {
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
