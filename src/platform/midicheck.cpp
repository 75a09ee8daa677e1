#include "platform/midicheck.h"

#include <cstddef>
#include <optional>

namespace examo::midi {

namespace {

std::uint32_t bigEndian(std::span<const std::uint8_t> bytes, std::size_t at, int size) {
    std::uint32_t value = 0;
    for (int i = 0; i < size; ++i)
        value = value << 8 | bytes[at + static_cast<std::size_t>(i)];
    return value;
}

// A variable-length number of at most four bytes; nothing when it runs past the end.
std::optional<std::uint32_t> number(std::span<const std::uint8_t> track, std::size_t& at) {
    std::uint32_t value = 0;
    for (int i = 0; i < 4; ++i) {
        if (at >= track.size())
            return std::nullopt;
        const std::uint8_t byte = track[at++];
        value = value << 7 | (byte & 0x7F);
        if ((byte & 0x80) == 0)
            return value;
    }
    return std::nullopt;
}

bool trackIsSound(std::span<const std::uint8_t> track) {
    std::size_t at = 0;
    std::uint8_t running = 0;
    while (at < track.size()) {
        if (!number(track, at) || at >= track.size())
            return false;
        std::uint8_t status = track[at];
        if (status & 0x80)
            ++at;
        else if (running != 0)
            status = running;
        else
            return false;
        if (status < 0xF0) {
            running = status;
            const std::size_t data = (status & 0xE0) == 0xC0 ? 1 : 2;
            if (track.size() - at < data)
                return false;
            at += data;
            continue;
        }
        running = 0;
        if (status == 0xFF) {
            if (at >= track.size())
                return false;
            const std::uint8_t type = track[at++];
            const auto length = number(track, at);
            if (!length || track.size() - at < *length)
                return false;
            at += *length;
            if (type == 0x2F)
                return true; // the end of the track: what follows is never read
            continue;
        }
        if (status != 0xF0 && status != 0xF7)
            return false;
        const auto length = number(track, at);
        if (!length || track.size() - at < *length)
            return false;
        at += *length;
    }
    return true;
}

} // namespace

bool ParsesSafely(std::span<const std::uint8_t> bytes) {
    if (bytes.size() < 4 || bigEndian(bytes, 0, 4) != 0x4D546864) // "MThd"
        return true;
    if (bytes.size() < 14)
        return false;
    const std::uint32_t headerLength = bigEndian(bytes, 4, 4);
    if (headerLength < 6 || bytes.size() - 8 < headerLength)
        return false;
    if (bigEndian(bytes, 8, 2) > 1) // format 2 (and unknown ones)
        return false;
    std::size_t at = 8 + headerLength;
    while (bytes.size() - at >= 8) {
        const std::uint32_t id = bigEndian(bytes, at, 4);
        const std::uint32_t length = bigEndian(bytes, at + 4, 4);
        at += 8;
        if (bytes.size() - at < length)
            return false;
        if (id == 0x4D54726B && !trackIsSound(bytes.subspan(at, length))) // "MTrk"
            return false;
        at += length;
    }
    return true;
}

} // namespace examo::midi
