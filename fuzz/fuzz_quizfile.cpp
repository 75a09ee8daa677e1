// Any bytes given as a quiz file must decode to a result or an error, never a crash.
#include "storage/quizfile.h"
#include "storage/record.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const auto result = examo::quizfile::Decode(bytes);
    if (result.contents.records.size() > examo::record::kMaxQuestions)
        __builtin_trap();
    for (const auto& r : result.contents.records)
        (void)examo::record::ParseQuestion(r);
    return 0;
}
