// Any bytes given as a question file, read as Aiken and as GIFT, must give questions or counts,
// never a crash; every question taken is a record the programs read, and the same questions
// come back from the GIFT that the export writes of them.
#include "storage/questiontext.h"
#include "storage/record.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace {

void check(const examo::questiontext::Imported& imported) {
    for (const auto& r : imported.records) {
        const auto parsed = examo::record::ParseQuestion(r);
        if (!parsed.question || !examo::record::IsNoneMedia(parsed.question->media))
            __builtin_trap();
    }
    const auto gift = examo::questiontext::WriteGift("Title", "Class", imported.records);
    const auto back = examo::questiontext::ParseGift(gift.utf8);
    if (!gift.unreadable.empty() || back.skipped() != 0 || back.records != imported.records)
        __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    (void)examo::questiontext::DetectFormat("questions.txt", bytes);
    check(examo::questiontext::ParseAiken(bytes));
    check(examo::questiontext::ParseGift(bytes));
    return 0;
}
