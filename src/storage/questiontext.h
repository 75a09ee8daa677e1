#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Questions in the plain-text formats that learning platforms exchange: Aiken (multiple choice)
// and GIFT (multiple choice and true/false here). Files are UTF-8; records are Windows-1252.
namespace examo::questiontext {

// Far above any question file a class needs; a larger file is no question file.
inline constexpr std::size_t kMaxFileBytes = 8 * 1024 * 1024;

enum class Format { Aiken, Gift };

// What a question file gave: the records of the questions a test can hold, in file order, and
// the count of those it cannot, by reason.
struct Imported {
    std::vector<std::string> records; // kind "m" or "t", media "none", as the editor adds them
    int unsupportedKind = 0;          // essay, short answer, matching, numerical, several right ...
    int notFourAnswers = 0;           // multiple choice without four answers and one right one
    int refused = 0;                  // a character a record cannot keep
    std::optional<char32_t> firstRefused;
    int unreadable = 0; // not a question of the format at all
    int skipped() const { return unsupportedKind + notFourAnswers + refused + unreadable; }
};

// Aiken when a line is an answer line ("ANSWER: B"), else GIFT; a ".gift" file is GIFT.
Format DetectFormat(std::string_view fileName, std::string_view utf8);

Imported ParseAiken(std::string_view utf8);
Imported ParseGift(std::string_view utf8);

enum class ReadError { None, Missing, Unreadable, TooLarge, NotText, NotUtf8 };

struct ReadResult {
    ReadError error = ReadError::None;
    Imported questions;
    bool ok() const { return error == ReadError::None; }
};

// Reads a question file of either format (a UTF-8 byte order mark is allowed).
ReadResult Read(const std::string& path);

// A sentence describing the error, for a message that also names the file.
std::string Describe(ReadError error);

// The message after an import: how many questions were added and why the others were not.
// overLimit counts the readable questions past the test's 100.
std::string Summary(int added, const Imported& imported, int overLimit);

struct Written {
    std::string utf8;
    std::vector<int> unreadable; // numbers (from 1) of records left out
};

// The quiz as GIFT: title and class (UTF-8) as comments, each question with its number as
// title and its media name as a comment above it.
Written WriteGift(std::string_view title, std::string_view className,
                  const std::vector<std::string>& records);

} // namespace examo::questiontext
