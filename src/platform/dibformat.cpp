#include "platform/dibformat.h"

#include <algorithm>
#include <bit>
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

// The channel one mask names: a single run of bits inside the pixel, or no bits at all.
std::optional<Channel> channelOf(std::uint32_t mask, int bitCount) {
    if (mask == 0)
        return Channel{};
    if (bitCount < 32 && mask >> bitCount != 0)
        return std::nullopt;
    const int shift = std::countr_zero(mask);
    const int bits = std::countr_one(mask >> shift);
    if (shift + bits < 32 && mask >> (shift + bits) != 0)
        return std::nullopt; // a gap in the run
    return Channel{.shift = shift, .bits = bits};
}

// The colour channels of a 16- or 32-bit bitmap: the masks that follow the first 40 bytes
// (inside a longer header or after a short one), or the fixed ones of an uncompressed bitmap.
// An alpha mask, which only longer headers carry, may not overlap them either.
std::optional<std::array<Channel, 3>> channelsOf(std::span<const std::uint8_t> info,
                                                 std::uint32_t headerSize, int bitCount,
                                                 std::uint32_t compression) {
    std::array<std::uint32_t, 4> masks{};
    if (compression == kBiRgb) {
        masks = bitCount == 16 ? std::array<std::uint32_t, 4>{0x7C00, 0x03E0, 0x001F, 0}
                               : std::array<std::uint32_t, 4>{0xFF0000, 0xFF00, 0xFF, 0};
    } else {
        if (info.size() < 52)
            return std::nullopt;
        for (std::size_t i = 0; i < 3; ++i)
            masks[i] = le32(info, 40 + 4 * i);
        if (headerSize >= 56)
            masks[3] = le32(info, 52);
    }
    std::array<Channel, 3> channels;
    std::uint32_t taken = 0;
    for (std::size_t i = 0; i < masks.size(); ++i) {
        const auto channel = channelOf(masks[i], bitCount);
        if (!channel || (taken & masks[i]) != 0)
            return std::nullopt;
        taken |= masks[i];
        if (i < channels.size())
            channels[i] = *channel;
    }
    return channels;
}

bool knownLayout(int bitCount, std::uint32_t compression, bool topDown) {
    switch (compression) {
    case kBiRgb:
        return bitCount == 1 || bitCount == 4 || bitCount == 8 || bitCount == 16 ||
               bitCount == 24 || bitCount == 32;
    case kBiRle8: // run-length bitmaps are always stored bottom-up
        return bitCount == 8 && !topDown;
    case kBiRle4:
        return bitCount == 4 && !topDown;
    case kBiBitfields:
        return bitCount == 16 || bitCount == 32;
    default:
        return false; // JPEG and PNG inside a bitmap, and unknown methods
    }
}

// Each channel of each pixel, shifted out and widened to 8 bits, as blue, green, red bytes.
void decodeMasked(const Format& f, const std::uint8_t* top, std::ptrdiff_t step,
                  std::vector<std::uint8_t>& out) {
    const auto w = static_cast<std::size_t>(f.width);
    const std::size_t bytes = static_cast<std::size_t>(f.bitCount) / 8;
    out.resize(w * static_cast<std::size_t>(f.height) * 3);
    std::uint8_t* to = out.data();
    for (int y = 0; y < f.height; ++y) {
        const std::uint8_t* row = top + static_cast<std::ptrdiff_t>(y) * step;
        for (std::size_t x = 0; x < w; ++x) {
            std::uint32_t pixel = 0;
            for (std::size_t b = 0; b < bytes; ++b)
                pixel |= std::uint32_t(row[x * bytes + b]) << (8 * b);
            for (int c = 2; c >= 0; --c) { // blue first
                const Channel& channel = f.channels[static_cast<std::size_t>(c)];
                const std::uint32_t all = channel.bits >= 32 ? ~0u : (1u << channel.bits) - 1;
                *to++ = expand(pixel >> channel.shift & all, channel.bits);
            }
        }
    }
}

} // namespace

std::uint8_t expand(std::uint32_t value, int bits) {
    if (bits <= 0)
        return 0;
    if (bits >= 8)
        return static_cast<std::uint8_t>(value >> (bits - 8));
    std::uint32_t repeated = 0;
    int filled = 0;
    for (; filled < 8; filled += bits)
        repeated = repeated << bits | value;
    return static_cast<std::uint8_t>(repeated >> (filled - 8));
}

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
    if (!knownLayout(f.bitCount, f.compression, f.topDown))
        return std::nullopt;
    f.pixels = f.bitCount <= 8 ? Pixels::Pal8 : Pixels::Bgr24;
    if (f.bitCount == 16 || f.bitCount == 32) {
        const auto channels = channelsOf(info, headerSize, f.bitCount, f.compression);
        if (!channels)
            return std::nullopt;
        // 8-8-8 in the order of 24-bit pixels is used as it is; any other layout is decoded.
        constexpr std::array<Channel, 3> kBgr0{Channel{16, 8}, Channel{8, 8}, Channel{0, 8}};
        f.masked = f.bitCount == 16 || *channels != kBgr0;
        f.pixels = f.masked ? Pixels::Bgr24 : Pixels::Bgr0;
        f.channels = *channels;
    }
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
    if (f.masked) {
        decodeMasked(f, top, step, scratch);
        return Rows{.top = scratch.data(), .step = static_cast<std::ptrdiff_t>(w * 3)};
    }
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
