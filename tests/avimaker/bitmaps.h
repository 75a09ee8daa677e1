#pragma once

#include <QImage>

#include <array>
#include <bit>
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

// How a test bitmap stores its pixels.
struct Layout {
    int bits = 24;
    std::uint32_t compression = 0;        // 0 plain, 1 and 2 run-length of 8 and 4 bits, 3 masks
    std::array<std::uint32_t, 4> masks{}; // red, green, blue, alpha, for compression 3
    std::uint32_t header = 40;            // 108: the masks inside the header, alpha among them
};

// Packed rows as run-length data: runs of one index, each row closed, the end marked.
inline Bytes runLength(const std::vector<Bytes>& rows, bool fourBit) {
    Bytes data;
    for (const Bytes& row : rows) {
        for (std::size_t x = 0; x < row.size();) {
            std::size_t n = 1;
            while (x + n < row.size() && row[x + n] == row[x] && n < 255)
                ++n;
            data.push_back(static_cast<std::uint8_t>(n));
            data.push_back(fourBit ? static_cast<std::uint8_t>(row[x] << 4 | row[x]) : row[x]);
            x += n;
        }
        data.insert(data.end(), {0, 0});
    }
    data.insert(data.end(), {0, 1});
    return data;
}

// The picture as a bottom-up bitmap of any layout: palette bitmaps list its colours first in a
// full colour table, masks take each channel's top bits.
inline Bytes bmp(const QImage& image, const Layout& l) {
    std::map<QRgb, std::uint8_t> index;
    for (int y = 0; l.bits <= 8 && y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            index.emplace(image.pixel(x, y) & 0xFFFFFF, static_cast<std::uint8_t>(index.size()));
    auto masks = l.masks;
    if (l.compression == 0 && l.bits == 16)
        masks = {0x7C00, 0x03E0, 0x001F, 0};
    if (l.compression == 0 && l.bits == 32)
        masks = {0xFF0000, 0xFF00, 0xFF, 0};
    const auto channel = [](int value, std::uint32_t mask) {
        if (mask == 0)
            return 0u;
        const int shift = std::countr_zero(mask), width = std::popcount(mask);
        return std::uint32_t(width >= 8 ? value << (width - 8) : value >> (8 - width)) << shift;
    };
    // Rows bottom-up, as numbers of l.bits bits a pixel.
    const std::uint32_t rowBytes = (image.width() * l.bits + 31) / 32 * 4;
    std::vector<Bytes> indexRows;
    Bytes pixels(rowBytes * image.height(), 0);
    for (int y = 0; y < image.height(); ++y) {
        indexRows.emplace_back();
        for (int x = 0; x < image.width(); ++x) {
            const QRgb c = image.pixel(x, image.height() - 1 - y) & 0xFFFFFF;
            std::uint32_t v = c;
            if (l.bits <= 8)
                indexRows.back().push_back(v = index.at(c));
            else if (l.bits != 24)
                v = channel(qRed(c), masks[0]) | channel(qGreen(c), masks[1]) |
                    channel(qBlue(c), masks[2]) | masks[3];
            const std::size_t bit = std::size_t(x) * l.bits, at = y * rowBytes + bit / 8;
            if (l.bits < 8)
                pixels[at] |= static_cast<std::uint8_t>(v << (8 - l.bits - bit % 8));
            else
                put(pixels, at, v, l.bits / 8);
        }
    }
    if (l.compression == 1 || l.compression == 2)
        pixels = runLength(indexRows, l.compression == 2);

    const std::uint32_t colours = l.bits <= 8 ? 1u << l.bits : 0;
    const std::uint32_t maskBytes = l.compression == 3 && l.header == 40 ? 12 : 0;
    const std::uint32_t offset = 14 + l.header + maskBytes + 4 * colours;
    Bytes b(offset, 0);
    b.insert(b.end(), pixels.begin(), pixels.end());
    const auto w = std::uint32_t(image.width()), h = std::uint32_t(image.height());
    const auto planesAndBits = 1 | std::uint32_t(l.bits) << 16;
    // After "BM": the file size, reserved, offset of the pixels, then the info header.
    const std::uint32_t fields[] = {
        std::uint32_t(b.size()),      0, offset, l.header, w, h, planesAndBits, l.compression,
        std::uint32_t(pixels.size()), 0, 0,      colours};
    put(b, 0, 'B' | 'M' << 8, 2);
    for (std::size_t i = 0; i < std::size(fields); ++i)
        put(b, 2 + 4 * i, fields[i]);
    for (std::size_t i = 0; l.compression == 3 && i < (l.header == 40 ? 3 : 4); ++i)
        put(b, 54 + 4 * i, masks[i]);
    for (const auto& [colour, i] : index)
        put(b, 14 + l.header + 4 * i, colour, 3);
    return b;
}
inline Bytes bmp(const QImage& image, int bits = 24) {
    return bmp(image, Layout{.bits = bits});
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
