#include "questiontext.h"

#include "files.h"
#include "record.h"
#include "textrules.h"

#include "platform/cp1252.h"

#include <algorithm>
#include <array>

namespace examo::questiontext {

namespace {

constexpr std::string_view kBom = "\xEF\xBB\xBF";

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v';
}

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

// Lines ending at CR LF, LF or CR: files come from every kind of system.
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

// A record holds one line: line breaks inside a text become one blank each, with the blanks
// around them.
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

// Keeps a question the test can hold, or counts why not: the editor's own refusals.
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

// ---- GIFT ----

// The position of c outside the escapes "\c", from a position that starts no escape.
std::size_t findUnescaped(std::string_view s, char c, std::size_t from = 0) {
    for (std::size_t i = from; i < s.size(); ++i) {
        if (s[i] == '\\')
            ++i;
        else if (s[i] == c)
            return i;
    }
    return std::string_view::npos;
}

std::string unescape(std::string_view s) {
    std::string out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] != '\\' || i + 1 == s.size()) {
            out += s[i];
            continue;
        }
        const char next = s[i + 1];
        if (std::string_view("~=#{}:\\").find(next) != std::string_view::npos) {
            out += next;
            ++i;
        } else if (next == 'n') {
            out += '\n';
            ++i;
        } else {
            out += '\\';
        }
    }
    return out;
}

// A text of the file as it goes into a record: escapes undone, on one line.
std::string giftText(std::string_view s) {
    return flatten(unescape(s));
}

struct GiftAnswer {
    std::string text;
    bool right = false;
    bool partial = false; // worth some of the marks: a question with several right answers
};

// The answers of a multiple-choice block, or nothing when text stands before the first one.
std::optional<std::vector<GiftAnswer>> giftAnswers(std::string_view block) {
    std::vector<std::size_t> starts;
    for (std::size_t i = 0; i < block.size(); ++i) {
        if (block[i] == '\\')
            ++i;
        else if (block[i] == '=' || block[i] == '~')
            starts.push_back(i);
    }
    if (starts.empty() || !trimSpace(block.substr(0, starts.front())).empty())
        return std::nullopt;
    std::vector<GiftAnswer> answers;
    for (std::size_t n = 0; n < starts.size(); ++n) {
        const std::size_t end = n + 1 < starts.size() ? starts[n + 1] : block.size();
        std::string_view piece = block.substr(starts[n] + 1, end - starts[n] - 1);
        GiftAnswer answer;
        double weight = block[starts[n]] == '=' ? 100 : 0;
        if (piece.starts_with('%')) {
            const auto close = piece.find('%', 1);
            if (close != std::string_view::npos) {
                weight = text::Val(piece.substr(1, close - 1));
                piece.remove_prefix(close + 1);
            }
        }
        // Feedback after "#" is the platform's; a test has none.
        piece = piece.substr(0, std::min(findUnescaped(piece, '#'), piece.size()));
        answer.text = giftText(piece);
        answer.right = block[starts[n]] == '=' || weight >= 100;
        answer.partial = !answer.right && weight > 0;
        answers.push_back(std::move(answer));
    }
    return answers;
}

void giftBlock(Imported& out, const std::string& question, std::string_view block) {
    block = trimSpace(block);
    // An essay ("{}") or a number to type ("{#3.14}").
    if (block.empty() || block.front() == '#') {
        ++out.unsupportedKind;
        return;
    }
    const auto head = trimSpace(block.substr(0, std::min(findUnescaped(block, '#'), block.size())));
    const std::string word = text::ToLowerAscii(head);
    if (word == "t" || word == "true" || word == "f" || word == "false") {
        keep(out, question, {}, word.front() == 't' ? 0 : 1);
        return;
    }
    if (findUnescaped(block, '~') == std::string_view::npos) {
        // Only "=" answers: words to type, or pairs to match.
        if (block.front() == '=')
            ++out.unsupportedKind;
        else
            ++out.unreadable;
        return;
    }
    const auto answers = giftAnswers(block);
    if (!answers) {
        ++out.unreadable;
        return;
    }
    int rights = 0, correct = 0, partials = 0;
    bool anyEmpty = false;
    std::vector<std::string> texts;
    for (std::size_t i = 0; i < answers->size(); ++i) {
        const auto& answer = (*answers)[i];
        if (answer.right) {
            ++rights;
            correct = static_cast<int>(i);
        }
        partials += answer.partial ? 1 : 0;
        anyEmpty = anyEmpty || answer.text.empty();
        texts.push_back(answer.text);
    }
    if (rights == 0 && partials > 0)
        ++out.unsupportedKind;
    else if (answers->size() != 4 || rights != 1 || anyEmpty)
        ++out.notFourAnswers;
    else
        keep(out, question, texts, correct);
}

// One question: an optional "::title::", text, the answer block in braces and maybe more text.
void giftQuestion(Imported& out, std::string_view s) {
    s = trimSpace(s);
    if (s.starts_with("::")) {
        std::size_t end = 2;
        while ((end = findUnescaped(s, ':', end)) != std::string_view::npos &&
               (end + 1 == s.size() || s[end + 1] != ':'))
            ++end;
        if (end == std::string_view::npos) {
            ++out.unreadable;
            return;
        }
        s = trimSpace(s.substr(end + 2));
    }
    const std::size_t open = findUnescaped(s, '{');
    if (open == std::string_view::npos) {
        ++out.unsupportedKind; // a description: text without a question
        return;
    }
    const std::size_t close = findUnescaped(s, '}', open + 1);
    if (close == std::string_view::npos) {
        ++out.unreadable;
        return;
    }
    // Text after the answers makes a sentence with a gap where the answer goes.
    const std::string_view after = s.substr(close + 1);
    const std::string question =
        trimSpace(after).empty()
            ? giftText(s.substr(0, open))
            : giftText(std::string(s.substr(0, open)) + "_____" + std::string(after));
    giftBlock(out, question, s.substr(open + 1, close - open - 1));
}

// Well-formed UTF-8: no stray or missing continuation bytes, no overlong forms, no surrogates.
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

// GIFT's special characters and line breaks written so that a platform reads the text back.
std::string escapeGift(std::string_view utf8) {
    std::string out;
    for (const char c : utf8) {
        if (c == '\r' || c == '\n')
            out += "\\n";
        else if (std::string_view("~=#{}:\\").find(c) != std::string_view::npos)
            out += std::string("\\") + c;
        else
            out += c;
    }
    return out;
}

std::string commentLine(std::string_view utf8) {
    return "// " + flatten(utf8) + "\n";
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
        } else if (block.question.empty()) {
            block.question.push_back(line); // the first line is the question, whatever it says
        } else if (const auto option = optionText(line, char('A' + block.options.size()))) {
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

Imported ParseGift(std::string_view utf8) {
    Imported out;
    std::string question;
    const auto flush = [&out, &question] {
        if (!trimSpace(question).empty())
            giftQuestion(out, question);
        question.clear();
    };
    for (const auto line : splitLines(withoutBom(utf8))) {
        const auto trimmed = trimSpace(line);
        if (trimmed.empty()) {
            flush();
            continue;
        }
        if (trimmed.starts_with("//") || startsWithNoCase(trimmed, "$CATEGORY:"))
            continue;
        question += std::string(line) + "\n";
    }
    flush();
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
        return "The file does not exist.";
    case ReadError::Unreadable:
        return "The file cannot be read.";
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

Written WriteGift(std::string_view title, std::string_view className,
                  const std::vector<std::string>& records) {
    Written out;
    if (!trimSpace(title).empty())
        out.utf8 += commentLine(title);
    if (!trimSpace(className).empty())
        out.utf8 += commentLine(className);
    for (std::size_t i = 0; i < records.size(); ++i) {
        const int number = static_cast<int>(i + 1);
        const auto parsed = record::ParseQuestion(records[i]);
        const bool trueFalse =
            parsed.question && parsed.question->kind == record::QuestionKind::TrueFalse;
        if (!parsed.question || parsed.question->correct < 0 ||
            parsed.question->correct > (trueFalse ? 1 : 3)) {
            out.unreadable.push_back(number);
            continue;
        }
        const record::Question& q = *parsed.question;
        if (!out.utf8.empty())
            out.utf8 += "\n";
        if (!record::IsNoneMedia(q.media) && !trimSpace(q.media).empty())
            out.utf8 += commentLine("media: " + cp1252::toUtf8(q.media));
        // The number as title: platforms name the question by it, and a text that starts like
        // a comment ("//") stays a question.
        out.utf8 += "::Question " + text::Dec(number) + "::" + escapeGift(cp1252::toUtf8(q.text));
        if (trueFalse) {
            out.utf8 += q.correct == 0 ? " {TRUE}\n" : " {FALSE}\n";
            continue;
        }
        out.utf8 += " {\n";
        for (std::size_t a = 0; a < q.answers.size(); ++a) {
            const bool right = static_cast<int>(a) == q.correct;
            out.utf8 += right ? "=" : "~";
            // An answer that starts with "%" would be read as a weight: one is written first.
            if (q.answers[a].starts_with('%'))
                out.utf8 += right ? "%100%" : "%0%";
            out.utf8 += escapeGift(cp1252::toUtf8(q.answers[a])) + "\n";
        }
        out.utf8 += "}\n";
    }
    return out;
}

} // namespace examo::questiontext
