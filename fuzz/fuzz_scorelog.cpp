// Any bytes given as a score log must decode to entries, and each entry read back into its
// values for the spreadsheet, never a crash.
#include "platform/cp1252.h"
#include "storage/modcrypt.h"
#include "storage/scorecsv.h"
#include "storage/scorelog.h"

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    std::size_t total = 0;
    std::vector<examo::scorecsv::Row> rows;
    for (const auto& e : examo::scorelog::DecodeEntries(bytes)) {
        total += e.size();
        const std::string text = examo::cp1252::toUtf8(e);
        rows.push_back({.log = {}, .entry = examo::scorecsv::ParseEntry(text)});
        if (rows.back().entry.name.size() > text.size())
            __builtin_trap();
    }
    if (total > size)
        __builtin_trap();
    if (examo::scorecsv::Document(rows, false).empty())
        __builtin_trap();
    return 0;
}
