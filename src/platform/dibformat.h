#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace examo::dib {

// How the pixels of one frame are laid out once unpacked: rows of these pixels.
enum class Pixels {
    Pal8,  // one palette index a byte (1-, 4- and 8-bit and run-length bitmaps)
    Bgr24, // blue, green, red bytes (24-bit bitmaps, and 16- and 32-bit ones decoded by masks)
    Bgr0   // blue, green, red and an unused byte (32-bit bitmaps of 8-8-8 in that order)
};

inline constexpr std::uint32_t kBiRgb = 0;
inline constexpr std::uint32_t kBiRle8 = 1;
inline constexpr std::uint32_t kBiRle4 = 2;
inline constexpr std::uint32_t kBiBitfields = 3;

// Wider or taller frames are refused: a quiz shows its movies in a box of a few hundred pixels,
// and a run-length bitmap of a few bytes could otherwise ask for gigabytes.
inline constexpr int kMaxEdge = 4096;

// Where one colour channel lies in a 16- or 32-bit pixel; 0 bits for a channel that is always 0.
struct Channel {
    int shift = 0;
    int bits = 0;
    bool operator==(const Channel&) const = default;
};

// A channel's value widened to 8 bits by repeating its bits, so that its largest value is 255.
std::uint8_t expand(std::uint32_t value, int bits);

// What a bitmap info (BITMAPINFOHEADER and colour table) says about the frames that follow it.
struct Format {
    int width = 0;
    int height = 0;       // always positive
    bool topDown = false; // the header's height was negative
    int bitCount = 0;
    std::uint32_t compression = kBiRgb;
    Pixels pixels = Pixels::Bgr24;
    bool masked = false;             // 16- or 32-bit pixels decoded by the channels below
    std::array<Channel, 3> channels; // red, green, blue
    // Palette entries as 0xAARRGGBB with opaque alpha; entries the colour table lacks are black.
    std::array<std::uint32_t, 256> palette{};
    int paletteSize = 0;
    std::size_t stride = 0;     // bytes of one stored row, uncompressed
    std::size_t imageBytes = 0; // bytes an uncompressed frame needs
};

// Reads a bitmap info; nothing when it is not one that frames can be made of (a header shorter
// than 40 bytes, absurd sizes, unknown bit counts or compressions, colour masks that are not
// single runs of bits inside the pixel or that overlap).
std::optional<Format> describe(std::span<const std::uint8_t> bitmapInfo);

// One frame's pixels in rows of Format::pixels, top row first.
struct Rows {
    const std::uint8_t* top = nullptr;
    std::ptrdiff_t step = 0; // from one row to the one below it; negative for bottom-up data
};

// Unpacks one frame's bits: 1- and 4-bit rows and run-length data go into scratch as one
// byte a pixel, masked pixels as three, other rows are used where they lie. Nothing when the
// bits are too few.
std::optional<Rows> unpack(const Format& format, std::span<const std::uint8_t> bits,
                           std::vector<std::uint8_t>& scratch);

// Run-length data (8- or 4-bit) decoded into bottom-up rows of width bytes. Runs and moves
// that leave the picture are cut off; decoding ends at the end-of-bitmap mark or the data's end.
void decodeRunLength(std::span<const std::uint8_t> data, int width, int height, bool fourBit,
                     std::vector<std::uint8_t>& out);

} // namespace examo::dib
