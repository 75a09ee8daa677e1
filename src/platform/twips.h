#pragma once

#include <cmath>
#include <cstdint>

namespace examo {

// Window layouts are given in twips; the screen has 15 twips to the pixel (96 dpi).
inline constexpr int kTwipsPerPixel = 15;

constexpr int twipsToPixels(int twips) {
    // Floor division so that -20000 twips ("out of sight") stays left of the window.
    return twips >= 0 ? twips / kTwipsPerPixel : -((-twips + kTwipsPerPixel - 1) / kTwipsPerPixel);
}

constexpr int pixelsToTwips(int pixels) {
    return pixels * kTwipsPerPixel;
}

// An RGB colour as the layouts give it, 0x00RRGGBB.
constexpr std::uint32_t rgb(int r, int g, int b) {
    return (std::uint32_t(r) & 0xFF) << 16 | (std::uint32_t(g) & 0xFF) << 8 |
           (std::uint32_t(b) & 0xFF);
}

} // namespace examo
