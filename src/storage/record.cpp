#include "record.h"

#include "textrules.h"

#include "platform/cp1252.h"

#include <cstdio>

namespace examo::record {

std::vector<std::string> SplitFields(std::string_view record) {
    std::vector<std::string> fields;
    if (record.empty())
        return fields;
    std::size_t start = 0;
    while (true) {
        const auto sep = record.find(kSeparator, start);
        if (sep == std::string_view::npos) {
            fields.emplace_back(record.substr(start));
            return fields;
        }
        fields.emplace_back(record.substr(start, sep - start));
        start = sep + 1;
    }
}

std::string JoinFields(const std::vector<std::string>& fields) {
    std::string out;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i > 0)
            out += kSeparator;
        out += fields[i];
    }
    return out;
}

std::optional<QuestionKind> KindOf(std::string_view record) {
    if (record.empty())
        return std::nullopt;
    switch (record.front()) {
    case 'm':
    case 'M':
        return QuestionKind::MultipleChoice;
    case 't':
    case 'T':
        return QuestionKind::TrueFalse;
    default:
        return std::nullopt;
    }
}

ParseResult ParseQuestion(std::string_view record) {
    ParseResult result;
    const auto fields = SplitFields(record);
    if (!fields.empty())
        result.kindField = fields[0];
    const auto kind = KindOf(record);
    if (!kind) {
        result.error = ParseError::NotAQuestion;
        return result;
    }
    const bool multiple = *kind == QuestionKind::MultipleChoice;
    const std::size_t needed = multiple ? kMultipleChoiceFields : kTrueFalseFields;
    if (fields.size() < needed) {
        result.error = ParseError::TooFewFields;
        return result;
    }
    const auto correct = text::FieldToInt16(fields[needed - 1]);
    if (!correct) {
        result.error = ParseError::BadAnswer;
        return result;
    }
    Question q;
    q.kind = *kind;
    q.kindField = fields[0];
    q.text = fields[1];
    if (multiple) {
        for (std::size_t i = 0; i < 4; ++i)
            q.answers[i] = fields[2 + i];
        q.media = fields[6];
    } else {
        q.media = fields[2];
    }
    q.correct = *correct;
    result.question = std::move(q);
    return result;
}

namespace {

bool isControl(char32_t ch) {
    return ch < 0x20 || (ch >= 0x7F && ch <= 0x9F);
}

} // namespace

FieldText EncodeField(std::string_view utf8) {
    auto encoded = cp1252::fromUtf8(utf8);
    if (encoded.unencodable)
        return {.bytes = {}, .refused = encoded.unencodable};
    if (encoded.bytes.find(kSeparator) != std::string::npos)
        return {.bytes = {}, .refused = U'\u00A9'};
    for (const char byte : encoded.bytes) {
        const char32_t ch = cp1252::toUnicode(static_cast<unsigned char>(byte));
        if (isControl(ch) && ch != U'\t')
            return {.bytes = {}, .refused = ch};
    }
    return {.bytes = std::move(encoded.bytes), .refused = std::nullopt};
}

std::string NameOfCharacter(char32_t ch) {
    if (!isControl(ch))
        return cp1252::utf8Of(ch);
    char name[16];
    std::snprintf(name, sizeof name, "U+%04X", static_cast<unsigned>(ch));
    return name;
}

bool IsNoneMedia(std::string_view media) {
    return text::EqualsNoCase(media, "none");
}

std::string BuildMultipleChoice(std::string_view kindField, std::string_view text,
                                const std::array<std::string, 4>& answers, std::string_view media,
                                int correct) {
    return JoinFields({std::string(kindField), std::string(text), answers[0], answers[1],
                       answers[2], answers[3], std::string(media), text::Str(correct)});
}

std::string BuildTrueFalse(std::string_view kindField, std::string_view text,
                           std::string_view media, int correct) {
    return JoinFields(
        {std::string(kindField), std::string(text), std::string(media), text::Str(correct)});
}

std::string BuildHeaderLine(std::string_view title, std::string_view className) {
    return JoinFields({std::string(title), std::string(className)});
}

std::optional<Header> ParseHeaderLine(std::string_view line) {
    const auto fields = SplitFields(line);
    if (fields.size() < 2)
        return std::nullopt;
    return Header{.title = text::Trim(fields[0]), .className = text::Trim(fields[1])};
}

} // namespace examo::record
