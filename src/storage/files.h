#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// Whole-file reads and writes for the quiz file and the score log.
namespace examo::files {

enum class ReadStatus { Ok, Missing, Unreadable, TooLarge };

struct ReadResult {
    ReadStatus status = ReadStatus::Ok;
    std::string bytes;
};

// Reads a regular file of at most maxBytes bytes.
ReadResult ReadWholeFile(const std::string& path, std::size_t maxBytes);

// Writes beside the target and renames over it, so the old file stays intact until the
// new one is complete. False when anything failed (the old file is then untouched).
bool WriteFileReplacing(const std::string& path, std::string_view bytes);

// Appends with one write to a file opened for appending (created when missing).
// False when the file could not be opened or the bytes were not all written.
bool AppendToFile(const std::string& path, std::string_view bytes);

// The file the command line's first line names, made absolute against the current folder, so
// that every later rule (extension, score-log name, quiz folder) reads one full path. Empty for
// an empty first line.
std::string PathNamedOn(std::string_view commandLine);

// Lines that end at CR LF pairs; a lone CR or LF belongs to its line. A last line without
// a line break counts; nothing after the final CR LF makes no line.
std::vector<std::string> SplitCrLfLines(std::string_view bytes);

} // namespace examo::files
