#include "platform/linux/ffmpegdib.h"

#include <algorithm>
#include <cstdlib>

namespace examo::dib {

namespace {

std::uint32_t le32(std::span<const std::uint8_t> b, std::size_t at) {
    return std::uint32_t(b[at]) | std::uint32_t(b[at + 1]) << 8 | std::uint32_t(b[at + 2]) << 16 |
           std::uint32_t(b[at + 3]) << 24;
}

std::uint16_t le16(std::span<const std::uint8_t> b, std::size_t at) {
    return static_cast<std::uint16_t>(b[at] | b[at + 1] << 8);
}

std::optional<Pixels> bitfieldPixels(std::span<const std::uint8_t> info, int bitCount) {
    // The three masks follow the first 40 bytes, inside a longer header or after a short one.
    if (info.size() < 52)
        return std::nullopt;
    const std::uint32_t red = le32(info, 40), green = le32(info, 44), blue = le32(info, 48);
    if (bitCount == 16 && red == 0x7C00 && green == 0x03E0 && blue == 0x001F)
        return Pixels::Rgb555;
    if (bitCount == 16 && red == 0xF800 && green == 0x07E0 && blue == 0x001F)
        return Pixels::Rgb565;
    if (bitCount == 32 && red == 0xFF0000 && green == 0xFF00 && blue == 0xFF)
        return Pixels::Bgr0;
    return std::nullopt;
}

std::optional<Pixels> pixelsOf(std::span<const std::uint8_t> info, int bitCount,
                               std::uint32_t compression, bool topDown) {
    switch (compression) {
    case kBiRgb:
        switch (bitCount) {
        case 1:
        case 4:
        case 8:
            return Pixels::Pal8;
        case 16:
            return Pixels::Rgb555;
        case 24:
            return Pixels::Bgr24;
        case 32:
            return Pixels::Bgr0;
        default:
            return std::nullopt;
        }
    case kBiRle8:
        // Run-length bitmaps are always stored bottom-up.
        return bitCount == 8 && !topDown ? std::optional(Pixels::Pal8) : std::nullopt;
    case kBiRle4:
        return bitCount == 4 && !topDown ? std::optional(Pixels::Pal8) : std::nullopt;
    case kBiBitfields:
        return bitfieldPixels(info, bitCount);
    default:
        return std::nullopt; // JPEG and PNG inside a bitmap, and unknown methods
    }
}

} // namespace

std::optional<Format> describe(std::span<const std::uint8_t> info) {
    if (info.size() < 40)
        return std::nullopt;
    const std::uint32_t headerSize = le32(info, 0);
    if (headerSize < 40 || headerSize > info.size())
        return std::nullopt;
    const auto width = static_cast<std::int32_t>(le32(info, 4));
    const auto height = static_cast<std::int32_t>(le32(info, 8));
    if (width < 1 || width > kMaxEdge || height == 0 || height < -kMaxEdge || height > kMaxEdge)
        return std::nullopt;

    Format f;
    f.width = width;
    f.height = std::abs(height);
    f.topDown = height < 0;
    f.bitCount = le16(info, 14);
    f.compression = le32(info, 16);
    const auto pixels = pixelsOf(info, f.bitCount, f.compression, f.topDown);
    if (!pixels)
        return std::nullopt;
    f.pixels = *pixels;
    f.stride = (static_cast<std::size_t>(f.width) * f.bitCount + 31) / 32 * 4;
    f.imageBytes = f.stride * static_cast<std::size_t>(f.height);

    if (f.bitCount <= 8) {
        f.palette.fill(0xFF000000u); // entries the colour table lacks are black
        const std::uint32_t most = 1u << f.bitCount;
        const std::uint32_t used = le32(info, 32);
        f.paletteSize = static_cast<int>(used != 0 ? std::min(used, most) : most);
        const std::size_t present = (info.size() - headerSize) / 4;
        for (std::size_t i = 0; i < std::min<std::size_t>(present, f.paletteSize); ++i) {
            const std::size_t at = headerSize + 4 * i;
            f.palette[i] = 0xFF000000u | std::uint32_t(info[at + 2]) << 16 |
                           std::uint32_t(info[at + 1]) << 8 | info[at];
        }
    }
    return f;
}

void decodeRunLength(std::span<const std::uint8_t> data, int width, int height, bool fourBit,
                     std::vector<std::uint8_t>& out) {
    out.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0);
    long long x = 0, y = 0;
    const auto put = [&](long long at, std::uint8_t value) {
        if (at >= 0 && at < width && y >= 0 && y < height)
            out[static_cast<std::size_t>(y * width + at)] = value;
    };
    std::size_t i = 0;
    while (i + 1 < data.size() && y < height) {
        const std::uint8_t count = data[i], value = data[i + 1];
        i += 2;
        if (count > 0) {
            // Runs past the right edge are cut off; at most width of them matter.
            const long long n = std::min<long long>(count, std::max<long long>(0, width - x));
            for (long long k = 0; k < n; ++k)
                put(x + k, fourBit ? (k % 2 == 0 ? value >> 4 : value & 0x0F) : value);
            x += count;
        } else if (value == 0) { // end of line
            x = 0;
            ++y;
        } else if (value == 1) { // end of bitmap
            break;
        } else if (value == 2) { // move right and up
            if (i + 1 >= data.size())
                break;
            x += data[i];
            y += data[i + 1];
            i += 2;
        } else { // value literal pixels, padded to a 16-bit boundary
            const std::size_t bytes = fourBit ? (value + 1u) / 2 : value;
            for (std::size_t k = 0; k < value; ++k) {
                const std::size_t at = i + (fourBit ? k / 2 : k);
                if (at >= data.size())
                    break;
                const std::uint8_t b = data[at];
                put(x + static_cast<long long>(k),
                    fourBit ? static_cast<std::uint8_t>(k % 2 == 0 ? b >> 4 : b & 0x0F) : b);
            }
            x += value;
            i += bytes + (bytes % 2);
        }
    }
}

std::optional<Rows> unpack(const Format& f, std::span<const std::uint8_t> bits,
                           std::vector<std::uint8_t>& scratch) {
    const auto w = static_cast<std::size_t>(f.width);
    const auto h = static_cast<std::size_t>(f.height);
    if (f.compression == kBiRle8 || f.compression == kBiRle4) {
        decodeRunLength(bits, f.width, f.height, f.compression == kBiRle4, scratch);
        return Rows{.top = scratch.data() + (h - 1) * w, .step = -static_cast<std::ptrdiff_t>(w)};
    }
    if (bits.size() < f.imageBytes)
        return std::nullopt;
    const auto stride = static_cast<std::ptrdiff_t>(f.stride);
    const std::uint8_t* top = f.topDown ? bits.data() : bits.data() + (h - 1) * f.stride;
    const std::ptrdiff_t step = f.topDown ? stride : -stride;
    if (f.bitCount != 1 && f.bitCount != 4)
        return Rows{.top = top, .step = step};

    // One byte a pixel, so that every palette bitmap converts the same way.
    scratch.resize(w * h);
    for (std::size_t y = 0; y < h; ++y) {
        const std::uint8_t* row = top + static_cast<std::ptrdiff_t>(y) * step;
        std::uint8_t* to = scratch.data() + y * w;
        for (std::size_t x = 0; x < w; ++x)
            to[x] = f.bitCount == 4 ? (x % 2 == 0 ? row[x / 2] >> 4 : row[x / 2] & 0x0F)
                                    : (row[x / 8] >> (7 - x % 8)) & 1;
    }
    return Rows{.top = scratch.data(), .step = static_cast<std::ptrdiff_t>(w)};
}

} // namespace examo::dib
