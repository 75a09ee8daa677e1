#pragma once

#include <cstdint>
#include <span>

namespace examo::midi {

// True unless the bytes are a Standard MIDI File that GStreamer's MIDI parser cannot finish:
// it loops for ever on a format 2 file, a system byte F1 to FE inside a track, a data byte
// with no status before it, or a length or number that runs past its track. Such a file would
// freeze whoever waits for it, so it is refused before the parser sees it. Bytes that are no
// Standard MIDI File at all are left to the media library to judge.
bool ParsesSafely(std::span<const std::uint8_t> bytes);

} // namespace examo::midi
