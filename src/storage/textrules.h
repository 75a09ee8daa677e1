#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The text and number rules that quiz records, counters and messages follow.
namespace examo::text {

// A whole number as number text: one leading blank when not negative (" 3", "-2").
std::string Str(long long n);

// A plain decimal number, no blank ("3", "-2").
std::string Dec(long long n);

// Reads a number from the start of a text: leading blanks skipped, an optional sign,
// digits with at most one decimal point and an optional exponent; reading stops at the
// first character that cannot continue the number. No number gives 0.
double Val(std::string_view s);

// The whole field read as a number by Val's rules, rounded halves to even, as a 16-bit whole
// number: leading and trailing blanks allowed, nothing else. A field that holds no number, has
// more after it, or whose value does not fit (too big, "1e400") gives nothing.
std::optional<std::int16_t> FieldToInt16(std::string_view s);

// Rounds to the nearest whole number, halves to the even neighbour (12.5 -> 12, 13.5 -> 14).
double RoundHalfEven(double v);

// The rounded value as a 16-bit whole number, or nothing when it does not fit.
std::optional<std::int16_t> ToInt16(double v);

// Rounded down towards minus infinity (the whole part of a non-negative number).
long long WholePart(double v);

// Blanks removed from both ends (only blanks, not other white space).
std::string Trim(std::string_view s);

// The text after the first "." of the file name (the part after the last "/"), or that whole
// name when it has none. Folders above never count: dotted folders are common here.
std::string ExtensionOf(std::string_view path);

// The path up to and including its last "/", or empty when it has none.
std::string FolderOf(std::string_view path);

// The path after its last "/".
std::string BareName(std::string_view path);

// Letter case ignored for the ASCII letters.
bool EqualsNoCase(std::string_view a, std::string_view b);
std::string ToLowerAscii(std::string_view s);

// Text from a file or a quiz, in UTF-8, cut for quoting into a message: at most 200 characters,
// then "…" when there was more, so that a huge field cannot stall the box that shows it.
std::string QuoteInMessage(std::string_view utf8);

} // namespace examo::text
