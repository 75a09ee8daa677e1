#pragma once

#include <string>
#include <string_view>
#include <vector>

// The quiz file: a scrambled header line, one scrambled record per question, an empty
// last line; every line ends with CR LF.
namespace examo::quizfile {

// No quiz of 100 questions comes near this; anything larger is not a quiz.
inline constexpr std::size_t kMaxFileBytes = 8 * 1024 * 1024;

enum class ReadError {
    None,
    Missing,          // no file at the path
    Unreadable,       // cannot be opened or read
    Empty,            // zero bytes
    NotText,          // holds NUL bytes: not a quiz file
    TooLarge,         // more than kMaxFileBytes
    NoSeparator,      // the header line has no separator
    TooManyQuestions, // more than 100 question lines
};

struct Contents {
    std::string title;     // trimmed
    std::string className; // trimmed
    std::vector<std::string> records;
};

struct ReadResult {
    ReadError error = ReadError::None;
    Contents contents;
    bool ok() const { return error == ReadError::None; }
};

// The file's bytes: header and records as given (title and class not trimmed).
std::string Encode(std::string_view title, std::string_view className,
                   const std::vector<std::string>& records);

// Reads the bytes of a quiz file: empty lines after the header are skipped.
ReadResult Decode(std::string_view bytes);

ReadResult Read(const std::string& path);

// Writes the file through a temporary file and a rename: false leaves any old file intact.
bool Write(const std::string& path, std::string_view title, std::string_view className,
           const std::vector<std::string>& records);

// A sentence describing the error, for a message that also names the file.
std::string Describe(ReadError error);

} // namespace examo::quizfile
