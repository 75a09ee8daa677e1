// Any bytes given to the MIDI check must be judged without reading past them.
#include "platform/midicheck.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <span>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // A copy of exactly the given length, so the sanitizer sees any read past the end.
    const auto copy = std::make_unique<std::uint8_t[]>(size);
    if (size > 0)
        std::memcpy(copy.get(), data, size);
    (void)examo::midi::ParsesSafely(std::span<const std::uint8_t>(copy.get(), size));
    return 0;
}
