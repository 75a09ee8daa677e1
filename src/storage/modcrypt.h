#pragma once

#include <string>
#include <string_view>

// The scrambling of quiz files and score logs: each byte combined with a key by
// exclusive or; order and length kept, each transform its own inverse.
namespace examo::modCrypt {

inline constexpr unsigned char kQuizKey = 29;
inline constexpr unsigned char kLogKey = 197;

std::string ScrambleQuizText(std::string_view text);
std::string ScrambleLogText(std::string_view text);

} // namespace examo::modCrypt
