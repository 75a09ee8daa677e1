#include "questiontext.h"

#include "questiontextparts.h"
#include "record.h"
#include "textrules.h"

#include "platform/cp1252.h"

#include <algorithm>

// GIFT, the format learning platforms exchange questions in: read for multiple choice and
// true/false, written for the whole quiz.
namespace examo::questiontext {

namespace {

using namespace parts;

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

} // namespace

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
