#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace examo {

namespace waveflags {
inline constexpr std::uint32_t kSync = 0x0;
inline constexpr std::uint32_t kAsync = 0x1;
inline constexpr std::uint32_t kMemory = 0x4;
inline constexpr std::uint32_t kLoop = 0x8;
} // namespace waveflags

// Plays one wave at a time; a new wave replaces the playing one.
class WavePlayer {
public:
    virtual ~WavePlayer() = default;
    // Without the Async flag, returns when the sound has ended. False when the wave was refused.
    virtual bool playFile(const std::string& path, std::uint32_t flags) = 0;
    // A complete RIFF WAVE image; the caller keeps the bytes alive until the sound has ended.
    virtual bool playMemory(std::span<const std::uint8_t> image, std::uint32_t flags) = 0;
};

} // namespace examo
