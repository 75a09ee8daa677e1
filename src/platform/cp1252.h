#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace examo::cp1252 {

// Windows-1252 text is what quiz files and score logs hold. The five codes that
// Windows-1252 leaves undefined map to the control characters of the same number,
// so every byte survives a round trip.

char32_t toUnicode(unsigned char byte);
// The byte for a character, or nothing when Windows-1252 cannot hold it.
std::optional<unsigned char> fromUnicode(char32_t ch);

std::string toUtf8(std::string_view cp1252Bytes);
// One character in UTF-8.
std::string utf8Of(char32_t ch);

struct EncodeResult {
    std::string bytes;
    // The first character that Windows-1252 cannot hold (then bytes is incomplete).
    std::optional<char32_t> unencodable;
    bool ok() const { return !unencodable; }
};
// Malformed UTF-8 counts as unencodable (U+FFFD).
EncodeResult fromUtf8(std::string_view utf8);

} // namespace examo::cp1252
