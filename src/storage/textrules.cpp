#include "textrules.h"

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace examo::text {

std::string Str(long long n) {
    return n < 0 ? std::to_string(n) : " " + std::to_string(n);
}

std::string Dec(long long n) {
    return std::to_string(n);
}

namespace {

struct Scanned {
    std::string number; // empty: no digits
    std::size_t end = 0;
};

// The number at the start of a text by Val's rules and where it stops.
Scanned scanNumber(std::string_view s) {
    std::size_t i = 0;
    while (i < s.size() && s[i] == ' ')
        ++i;
    std::string number;
    if (i < s.size() && (s[i] == '+' || s[i] == '-'))
        number += s[i++];
    bool digits = false;
    bool point = false;
    for (; i < s.size(); ++i) {
        const char c = s[i];
        if (c >= '0' && c <= '9') {
            number += c;
            digits = true;
        } else if (c == '.' && !point) {
            number += c;
            point = true;
        } else {
            break;
        }
    }
    if (!digits)
        return {};
    // An exponent counts only when digits follow it.
    if (i + 1 < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        std::size_t j = i + 1;
        std::string exponent = "e";
        if (j < s.size() && (s[j] == '+' || s[j] == '-'))
            exponent += s[j++];
        const std::size_t firstDigit = j;
        while (j < s.size() && std::isdigit(static_cast<unsigned char>(s[j])))
            exponent += s[j++];
        if (j > firstDigit) {
            number += exponent;
            i = j;
        }
    }
    return {.number = number, .end = i};
}

} // namespace

double Val(std::string_view s) {
    const Scanned scanned = scanNumber(s);
    if (scanned.number.empty())
        return 0.0;
    const double v = std::strtod(scanned.number.c_str(), nullptr);
    return std::isfinite(v) ? v : 0.0;
}

std::optional<std::int16_t> FieldToInt16(std::string_view s) {
    const Scanned scanned = scanNumber(s);
    if (scanned.number.empty() || s.find_first_not_of(' ', scanned.end) != std::string_view::npos)
        return std::nullopt;
    // Infinity stays infinity here: an overflowing exponent must not read as 0.
    return ToInt16(std::strtod(scanned.number.c_str(), nullptr));
}

double RoundHalfEven(double v) {
    return std::nearbyint(v);
}

std::optional<std::int16_t> ToInt16(double v) {
    if (!std::isfinite(v))
        return std::nullopt;
    const double r = RoundHalfEven(v);
    if (r < std::numeric_limits<std::int16_t>::min() ||
        r > std::numeric_limits<std::int16_t>::max())
        return std::nullopt;
    return static_cast<std::int16_t>(r);
}

long long WholePart(double v) {
    return static_cast<long long>(std::floor(v));
}

std::string Trim(std::string_view s) {
    const auto first = s.find_first_not_of(' ');
    if (first == std::string_view::npos)
        return {};
    const auto last = s.find_last_not_of(' ');
    return std::string(s.substr(first, last - first + 1));
}

std::string ExtensionOf(std::string_view path) {
    const auto slash = path.rfind('/');
    const std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    const auto dot = name.find('.');
    return std::string(dot == std::string_view::npos ? name : name.substr(dot + 1));
}

std::string FolderOf(std::string_view path) {
    const auto slash = path.rfind('/');
    return slash == std::string_view::npos ? std::string() : std::string(path.substr(0, slash + 1));
}

std::string BareName(std::string_view path) {
    const auto slash = path.rfind('/');
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

std::string ToLowerAscii(std::string_view s) {
    std::string out(s);
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return out;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && ToLowerAscii(a) == ToLowerAscii(b);
}

std::string QuoteInMessage(std::string_view utf8) {
    constexpr std::size_t kLongest = 200;
    std::size_t characters = 0;
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        // Only lead bytes start a character, so a cut never splits one.
        if ((static_cast<unsigned char>(utf8[i]) & 0xC0) == 0x80)
            continue;
        if (characters == kLongest)
            return std::string(utf8.substr(0, i)) + "\u2026";
        ++characters;
    }
    return std::string(utf8);
}

} // namespace examo::text
