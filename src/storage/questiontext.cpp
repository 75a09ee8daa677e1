#include "questiontext.h"

#include "files.h"
#include "questiontextparts.h"
#include "record.h"
#include "textrules.h"

#include <array>

namespace examo::questiontext {

namespace {

constexpr std::string_view kBom = "\xEF\xBB\xBF";

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v';
}

} // namespace

namespace parts {

std::string_view trimSpace(std::string_view s) {
    while (!s.empty() && isSpace(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && isSpace(s.back()))
        s.remove_suffix(1);
    return s;
}

bool startsWithNoCase(std::string_view s, std::string_view prefix) {
    return s.size() >= prefix.size() && text::EqualsNoCase(s.substr(0, prefix.size()), prefix);
}

std::string_view withoutBom(std::string_view s) {
    if (s.starts_with(kBom))
        s.remove_prefix(kBom.size());
    return s;
}

std::vector<std::string_view> splitLines(std::string_view s) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] != '\r' && s[i] != '\n')
            continue;
        lines.push_back(s.substr(start, i - start));
        if (s[i] == '\r' && i + 1 < s.size() && s[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    if (start < s.size())
        lines.push_back(s.substr(start));
    return lines;
}

std::string flatten(std::string_view s) {
    std::string out;
    for (const auto line : splitLines(s)) {
        const auto piece = trimSpace(line);
        if (piece.empty())
            continue;
        if (!out.empty())
            out += ' ';
        out += piece;
    }
    return out;
}

void keep(Imported& out, std::string_view text, const std::vector<std::string>& answers,
          int correct) {
    if (text.empty()) {
        ++out.unreadable;
        return;
    }
    auto encode = [&out](std::string_view utf8, std::string& bytes) {
        auto field = record::EncodeField(utf8);
        if (field.refused && !out.firstRefused)
            out.firstRefused = field.refused;
        bytes = std::move(field.bytes);
        return !field.refused;
    };
    std::string question;
    bool ok = encode(text, question);
    std::array<std::string, 4> encoded;
    for (std::size_t i = 0; ok && i < answers.size() && i < encoded.size(); ++i)
        ok = encode(answers[i], encoded[i]);
    if (!ok) {
        ++out.refused;
        return;
    }
    out.records.push_back(
        answers.empty() ? record::BuildTrueFalse("t", question, "none", correct)
                        : record::BuildMultipleChoice("m", question, encoded, "none", correct));
}

} // namespace parts

namespace {

using namespace parts;

// ---- Aiken ----

// "ANSWER: B": the letter, or 0 when the line is an answer line without one letter; nothing
// when it is no answer line.
std::optional<char> answerLetter(std::string_view line) {
    if (!startsWithNoCase(line, "ANSWER:"))
        return std::nullopt;
    const auto letter = trimSpace(line.substr(7));
    const char c = letter.size() == 1 ? text::ToLowerAscii(letter)[0] : '\0';
    if (c < 'a' || c > 'z')
        return '\0';
    return static_cast<char>(c - 'a' + 'A');
}

// "C. text" or "C) text" for the letter expected next; the text, or nothing.
std::optional<std::string_view> optionText(std::string_view line, char letter) {
    if (line.size() < 2 || line[0] != letter || (line[1] != '.' && line[1] != ')'))
        return std::nullopt;
    if (line.size() > 2 && !isSpace(line[2]))
        return std::nullopt;
    return trimSpace(line.substr(2));
}

struct AikenBlock {
    std::vector<std::string_view> question;
    std::vector<std::string> options;
    bool broken = false;
    bool empty() const { return question.empty(); }
};

void finishAiken(Imported& out, const AikenBlock& block, std::optional<char> letter) {
    if (block.broken || block.options.empty() || !letter || *letter == '\0') {
        ++out.unreadable;
        return;
    }
    const int correct = *letter - 'A';
    bool anyEmpty = false;
    for (const auto& option : block.options)
        anyEmpty = anyEmpty || option.empty();
    if (block.options.size() != 4 || correct < 0 || correct > 3 || anyEmpty) {
        ++out.notFourAnswers;
        return;
    }
    std::string question;
    for (const auto line : block.question)
        question += (question.empty() ? "" : " ") + std::string(line);
    keep(out, question, block.options, correct);
}

bool isUtf8(std::string_view s) {
    for (std::size_t i = 0; i < s.size();) {
        const auto b = static_cast<unsigned char>(s[i]);
        const std::size_t extra = b < 0x80                 ? 0
                                  : b >= 0xC2 && b <= 0xDF ? 1
                                  : b >= 0xE0 && b <= 0xEF ? 2
                                  : b >= 0xF0 && b <= 0xF4 ? 3
                                                           : 4;
        if (extra == 4 || i + extra >= s.size())
            return false;
        for (std::size_t k = 1; k <= extra; ++k) {
            if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80)
                return false;
        }
        const auto second = extra > 0 ? static_cast<unsigned char>(s[i + 1]) : 0;
        if ((b == 0xE0 && second < 0xA0) || (b == 0xED && second >= 0xA0) ||
            (b == 0xF0 && second < 0x90) || (b == 0xF4 && second >= 0x90))
            return false;
        i += extra + 1;
    }
    return true;
}

std::string plural(int n, std::string_view one, std::string_view many) {
    return text::Dec(n) + " " + std::string(n == 1 ? one : many);
}

} // namespace

Format DetectFormat(std::string_view fileName, std::string_view utf8) {
    if (text::EqualsNoCase(text::ExtensionOf(fileName), "gift"))
        return Format::Gift;
    for (const auto line : splitLines(utf8)) {
        const auto letter = answerLetter(trimSpace(line));
        if (letter && *letter != '\0')
            return Format::Aiken;
    }
    return Format::Gift;
}

Imported ParseAiken(std::string_view utf8) {
    Imported out;
    AikenBlock block;
    for (const auto raw : splitLines(withoutBom(utf8))) {
        const auto line = trimSpace(raw);
        // An answer line ends the question it follows; the first line of one is its text.
        const auto letter = block.empty() ? std::nullopt : answerLetter(line);
        if (line.empty() || letter) {
            if (!block.empty())
                finishAiken(out, block, letter);
            block = {};
            continue;
        }
        // The first line is the question, whatever it says; lines before the answers go on it.
        const auto option = block.question.empty()
                                ? std::nullopt
                                : optionText(line, char('A' + block.options.size()));
        if (option) {
            block.options.emplace_back(*option);
        } else if (block.options.empty()) {
            block.question.push_back(line);
        } else {
            block.broken = true; // a stray line among the answers
        }
    }
    if (!block.empty())
        finishAiken(out, block, std::nullopt);
    return out;
}

ReadResult Read(const std::string& path) {
    ReadResult result;
    const auto file = files::ReadWholeFile(path, kMaxFileBytes);
    switch (file.status) {
    case files::ReadStatus::Ok:
        break;
    case files::ReadStatus::Missing:
        result.error = ReadError::Missing;
        return result;
    case files::ReadStatus::Unreadable:
        result.error = ReadError::Unreadable;
        return result;
    case files::ReadStatus::TooLarge:
        result.error = ReadError::TooLarge;
        return result;
    }
    const std::string_view text = withoutBom(file.bytes);
    if (text.find('\0') != std::string_view::npos) {
        result.error = ReadError::NotText;
        return result;
    }
    if (!isUtf8(text)) {
        result.error = ReadError::NotUtf8;
        return result;
    }
    result.questions =
        DetectFormat(path, text) == Format::Aiken ? ParseAiken(text) : ParseGift(text);
    return result;
}

std::string Describe(ReadError error) {
    switch (error) {
    case ReadError::None:
        return {};
    case ReadError::Missing:
        return files::kMissingMessage;
    case ReadError::Unreadable:
        return files::kUnreadableMessage;
    case ReadError::TooLarge:
        return "The file is too large to be a question file.";
    case ReadError::NotText:
        return "The file is not a text file.";
    case ReadError::NotUtf8:
        return "The file is not UTF-8 text.  Please save it as UTF-8 and try again.";
    }
    return {};
}

std::string Summary(int added, const Imported& imported, int overLimit) {
    const int skipped = imported.skipped() + overLimit;
    if (added == 0 && skipped == 0)
        return "No questions were found in the file.";
    std::string out = added == 0
                          ? std::string("No questions were added to the test.")
                          : plural(added, "question was", "questions were") + " added to the test.";
    if (skipped == 0)
        return out;
    out += "  " + text::Dec(skipped) + (skipped == 1 ? " was" : " were") + " skipped:";
    const auto line = [&out](int n, const std::string& why) {
        if (n > 0)
            out += "\n" + text::Dec(n) + " " + why;
    };
    line(imported.unsupportedKind, "of a kind ExamoMe tests do not have (they have multiple "
                                   "choice with one right answer, and true/false)");
    line(imported.notFourAnswers, "without exactly four answers, one of them right");
    line(overLimit, "over the limit of 100 questions");
    if (imported.firstRefused)
        line(imported.refused, "with a character a test cannot keep (the first is " +
                                   record::NameOfCharacter(*imported.firstRefused) + ")");
    line(imported.unreadable, "that could not be read as a question");
    return out;
}

} // namespace examo::questiontext
