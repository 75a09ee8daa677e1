#include "modcrypt.h"

namespace examo::modCrypt {

namespace {
std::string scramble(std::string_view text, unsigned char key) {
    std::string out(text);
    for (char& c : out)
        c = static_cast<char>(static_cast<unsigned char>(c) ^ key);
    return out;
}
} // namespace

std::string ScrambleQuizText(std::string_view text) {
    return scramble(text, kQuizKey);
}

std::string ScrambleLogText(std::string_view text) {
    return scramble(text, kLogKey);
}

} // namespace examo::modCrypt
