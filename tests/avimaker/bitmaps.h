#pragma once

#include <QImage>

#include <cstdint>
#include <fstream>
#include <map>
#include <string>
#include <vector>

// Bitmap files for the tests, written byte by byte so that every header field is known.
namespace bitmaps {

using Bytes = std::vector<std::uint8_t>;

inline void put(Bytes& b, std::size_t at, std::uint32_t v, int bytes = 4) {
    for (int i = 0; i < bytes; ++i)
        b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

// Four coloured quarters, plainly wrong upside down, and a white square one step further
// right with each frame number.
inline QImage quarters(int width, int height, int frame = 0) {
    QImage image(width, height, QImage::Format_RGB32);
    const QRgb colours[] = {0xFFDC1E1E, 0xFF1EC83C, 0xFF283CDC, 0xFFF0DC28, 0xFFFFFFFF};
    const int edge = std::max(2, height / 8), left = frame * edge % std::max(1, width / 2 - edge);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const bool square =
                unsigned(x - left) < unsigned(edge) && unsigned(y - edge / 2) < unsigned(edge);
            image.setPixel(x, y, colours[square ? 4 : (y >= height / 2) * 2 + (x >= width / 2)]);
        }
    return image;
}

// The picture as a bottom-up bitmap of 8 bits (its colours first in a 256-entry table), 24
// or 32 bits a pixel.
inline Bytes bmp(const QImage& image, int bits = 24) {
    std::map<QRgb, std::uint8_t> index;
    for (int y = 0; bits == 8 && y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            index.emplace(image.pixel(x, y), static_cast<std::uint8_t>(index.size()));
    const std::uint32_t colours = bits == 8 ? 256 : 0, offset = 54 + 4 * colours;
    const std::uint32_t rowBytes = (image.width() * bits + 31) / 32 * 4;
    Bytes b(offset + rowBytes * image.height(), 0);
    const auto w = std::uint32_t(image.width()), h = std::uint32_t(image.height());
    const auto size = std::uint32_t(b.size()), planesAndBits = 1 | std::uint32_t(bits) << 16;
    const std::uint32_t pixels = rowBytes * h;
    // After "BM": the file size, reserved, offset of the pixels, then the info header.
    const std::uint32_t fields[] = {size,          0, offset, 40, w, h,
                                    planesAndBits, 0, pixels, 0,  0, colours};
    put(b, 0, 'B' | 'M' << 8, 2);
    for (std::size_t i = 0; i < std::size(fields); ++i)
        put(b, 2 + 4 * i, fields[i]);
    for (const auto& [colour, i] : index)
        put(b, 54 + 4 * i, colour & 0xFFFFFF, 3);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb c = image.pixel(x, image.height() - 1 - y);
            const std::size_t at = offset + y * rowBytes + x * bits / 8;
            put(b, at, bits == 8 ? index.at(c) : c & 0xFFFFFF, bits == 8 ? 1 : 3);
        }
    return b;
}
inline Bytes bmp24(const QImage& image) {
    return bmp(image, 24);
}

inline void write(const std::string& path, const Bytes& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

// The mean difference of two pictures of one size, 0 to 255 a channel.
inline double meanDifference(const QImage& a, const QImage& b) {
    double sum = a.size() != b.size() || a.isNull() ? 1e9 : 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            for (const int shift : {0, 8, 16})
                sum += std::abs(int(a.pixel(x, y) >> shift & 0xFF) -
                                int(b.pixel(x, y) >> shift & 0xFF));
    return sum / (3.0 * a.width() * a.height());
}

} // namespace bitmaps
