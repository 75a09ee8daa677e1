// Runs a fuzz target without libFuzzer: a fixed-seed stream of mutated inputs, so every
// build exercises the readers on malformed data (under the sanitizers in the sanitizer build).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

std::string seed() {
    // A small quiz: a header and two records, scrambled with the quiz key, CR LF line ends.
    std::string plain = "Title\xA9"
                        "Class\r\nm\xA9Q\xA9"
                        "a\xA9"
                        "b\xA9"
                        "c\xA9"
                        "d\xA9none\xA9 2\r\n"
                        "t\xA9Q\xA9pic.bmp\xA9 1\r\n\r\n";
    std::string out;
    for (char c : plain)
        out += (c == '\r' || c == '\n') ? c : static_cast<char>(c ^ 29);
    return out;
}

// A 4 by 2 bitmap of 24 bits, for the bitmap reader.
std::string bitmapSeed() {
    std::string out;
    auto u32 = [&out](std::uint32_t v) {
        for (int i = 0; i < 4; ++i)
            out += static_cast<char>((v >> (8 * i)) & 0xFF);
    };
    auto u16 = [&out](std::uint16_t v) {
        out += static_cast<char>(v & 0xFF);
        out += static_cast<char>(v >> 8);
    };
    out += "BM";
    u32(54 + 24);
    u32(0);
    u32(54);
    u32(40);
    u32(4);
    u32(2);
    u16(1);
    u16(24);
    u32(0);
    u32(24);
    u32(2835);
    u32(2835);
    u32(0);
    u32(0);
    for (int i = 0; i < 24; ++i)
        out += static_cast<char>(i * 10);
    return out;
}

// Question text with a little of everything: GIFT with escapes, weights and feedback, Aiken.
std::string questionSeed() {
    return "// farm\n::T::Q \\{x\\} \\= \\#? {\n=a\n~%50%b#fb\n~c\n~d\n}\n\n"
           "Cows moo. {T}\n\nQ?\nA. a\nB. b\nC. c\nD. d\nANSWER: B\n";
}

} // namespace

// Arguments: the number of rounds, and "bmp" or "questions" to start from a bitmap or a
// question file rather than a quiz.
int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::atoi(argv[1]) : 20000;
    std::mt19937 rng(12345);
    const std::string kind = argc > 2 ? argv[2] : "";
    const std::string base = kind == "bmp"         ? bitmapSeed()
                             : kind == "questions" ? questionSeed()
                                                   : seed();
    for (int i = 0; i < rounds; ++i) {
        std::string input = base;
        const int edits = 1 + static_cast<int>(rng() % 8);
        for (int e = 0; e < edits; ++e) {
            const auto pos = input.empty() ? 0 : rng() % (input.size() + 1);
            switch (rng() % 4) {
            case 0: // flip a byte
                if (!input.empty())
                    input[pos % input.size()] = static_cast<char>(rng());
                break;
            case 1: // insert line breaks or separators
                input.insert(pos, (rng() % 2) ? "\r\n" : "\xB4");
                break;
            case 2: // cut
                input.erase(pos, rng() % 16);
                break;
            default: // repeat a piece, so record counts grow past the limit
                input.insert(pos, input.substr(pos, rng() % 64).append(rng() % 2 ? "" : "\r\n"), 0,
                             std::string::npos);
                for (int k = 0; k < 8; ++k)
                    input += base.substr(base.find("\r\n") + 2);
                break;
            }
        }
        std::vector<std::uint8_t> bytes(input.begin(), input.end());
        LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
    }
    return 0;
}
