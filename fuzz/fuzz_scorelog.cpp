// Any bytes given as a score log must decode to entries, never a crash.
#include "storage/modcrypt.h"
#include "storage/scorelog.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    std::size_t total = 0;
    for (const auto& e : examo::scorelog::DecodeEntries(bytes))
        total += e.size();
    if (total > size)
        __builtin_trap();
    return 0;
}
