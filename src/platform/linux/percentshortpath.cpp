#include "platform/linux/percentshortpath.h"

#include <charconv>
#include <filesystem>
#include <string_view>
#include <system_error>

namespace examo {

namespace {

int hexValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

constexpr char kHexDigits[] = "0123456789ABCDEF";
constexpr std::string_view kTokenPrefix = "path#";

bool needsEscape(unsigned char c) {
    return c <= ' ' || c == 0x7f || c == '%';
}

} // namespace

std::string encodeShortPath(const std::string& path) {
    std::string out;
    out.reserve(path.size());
    for (const char c : path) {
        const auto byte = static_cast<unsigned char>(c);
        if (needsEscape(byte)) {
            out += '%';
            out += kHexDigits[byte >> 4];
            out += kHexDigits[byte & 0xf];
        } else {
            out += c;
        }
    }
    return out;
}

std::string decodeShortPath(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size() && hexValue(text[i + 1]) >= 0 &&
            hexValue(text[i + 2]) >= 0) {
            out += static_cast<char>(hexValue(text[i + 1]) * 16 + hexValue(text[i + 2]));
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

std::uint32_t PercentShortPath::getShortPathName(const std::string& longPath, std::string& buffer,
                                                 std::uint32_t capacity) {
    // A NUL would cut the name short on its way to the file system.
    if (longPath.empty() || longPath.find('\0') != std::string::npos)
        return 0;
    std::error_code error;
    if (!std::filesystem::exists(longPath, error))
        return 0;
    const std::filesystem::path absolute = std::filesystem::absolute(longPath, error);
    if (error)
        return 0;
    std::string shortForm = encodeShortPath(absolute.string());
    if (shortForm.size() >= capacity)
        shortForm = tokenFor(absolute.string());
    if (shortForm.size() >= capacity)
        return 0;
    if (buffer.size() <= shortForm.size())
        buffer.resize(shortForm.size() + 1);
    buffer.replace(0, shortForm.size(), shortForm);
    buffer[shortForm.size()] = '\0';
    return static_cast<std::uint32_t>(shortForm.size());
}

std::string PercentShortPath::tokenFor(const std::string& path) {
    const auto [it, added] = m_tokenOfPath.try_emplace(path, m_pathOfToken.size() + 1);
    if (added)
        m_pathOfToken.push_back(path);
    return std::string(kTokenPrefix) + std::to_string(it->second);
}

std::string PercentShortPath::longPathOf(const std::string& shortForm) const {
    if (!shortForm.starts_with(kTokenPrefix))
        return decodeShortPath(shortForm);
    std::size_t number = 0;
    const char* first = shortForm.data() + kTokenPrefix.size();
    const char* last = shortForm.data() + shortForm.size();
    const auto [end, error] = std::from_chars(first, last, number);
    if (error != std::errc() || end != last || number == 0 || number > m_pathOfToken.size())
        return {};
    return m_pathOfToken[number - 1];
}

} // namespace examo
