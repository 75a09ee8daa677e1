#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The question record and the header line: fields joined by the separator byte.
namespace examo::record {

// The copyright sign in Windows-1252.
inline constexpr char kSeparator = '\xA9';
inline constexpr int kMaxQuestions = 100;
inline constexpr int kMultipleChoiceFields = 8;
inline constexpr int kTrueFalseFields = 4;

// Splits at every separator. An empty text has no fields at all.
std::vector<std::string> SplitFields(std::string_view record);
std::string JoinFields(const std::vector<std::string>& fields);

enum class QuestionKind { MultipleChoice, TrueFalse };

// The kind letter of a record ("m" or "t", either case), or nothing.
std::optional<QuestionKind> KindOf(std::string_view record);

// The parsed view of one record.
struct Question {
    QuestionKind kind = QuestionKind::MultipleChoice;
    std::string kindField; // field 0 as written ("m", "t  4")
    std::string text;
    std::array<std::string, 4> answers; // multiple choice only
    std::string media;                  // a file name, a path, or "none"
    int correct = 0;                    // 0..3 for A..D; 0 True, 1 False
};

enum class ParseError {
    NotAQuestion, // the first character is neither kind letter
    TooFewFields, // the record falls short of its kind's fields
    BadAnswer,    // the correct-answer field is not a number or does not fit
};

struct ParseResult {
    std::optional<Question> question;
    ParseError error = ParseError::NotAQuestion;
    std::string kindField; // field 0, for messages about a corrupted record
};

// Reads a record by the reader's rules: the kind by the first letter, surplus fields ignored,
// the correct-answer field read as a number and rounded halves to even. A field that is not
// wholly a number that fits, as "1e400" or "2x", makes the record a corrupted one.
ParseResult ParseQuestion(std::string_view record);

// A field as typed or imported (UTF-8) in the file's Windows-1252, or the first character a
// record cannot keep: one Windows-1252 lacks, the separator (it would split the record and
// shift every later field), or a control character other than tab (it could scramble into the
// line break that ends a record). Malformed UTF-8 is refused as U+FFFD.
struct FieldText {
    std::string bytes;
    std::optional<char32_t> refused;
};
FieldText EncodeField(std::string_view utf8);

// A refused character for a message, in UTF-8: itself, or "U+0010" for a control character,
// which cannot be seen.
std::string NameOfCharacter(char32_t ch);

// "none" in any letter case.
bool IsNoneMedia(std::string_view media);

std::string BuildMultipleChoice(std::string_view kindField, std::string_view text,
                                const std::array<std::string, 4>& answers, std::string_view media,
                                int correct);
std::string BuildTrueFalse(std::string_view kindField, std::string_view text,
                           std::string_view media, int correct);

struct Header {
    std::string title;
    std::string className;
};

// Title and class as typed, joined by the separator.
std::string BuildHeaderLine(std::string_view title, std::string_view className);
// Fields 0 and 1 trimmed; nothing when the line has no separator.
std::optional<Header> ParseHeaderLine(std::string_view line);

} // namespace examo::record
