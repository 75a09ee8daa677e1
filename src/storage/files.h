#pragma once

#include <chrono>
#include <cstddef>
#include <functional>
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

// What every reader of a file tells when the file is missing or cannot be read.
inline constexpr const char* kMissingMessage = "The file does not exist.";
inline constexpr const char* kUnreadableMessage = "The file cannot be read.";

// Reads a regular file of at most maxBytes bytes.
ReadResult ReadWholeFile(const std::string& path, std::size_t maxBytes);

// The first bytes of a regular file (fewer when it is shorter); empty when it is no regular
// file or cannot be read. Never blocks on a pipe.
std::string ReadHead(const std::string& path, std::size_t bytes);

// Writes beside the target, syncs, renames over it and syncs the folder, so the file is always
// either the complete old one or the complete new one, even if the process is killed or the
// power fails; once this returns true the new file stays. False when anything failed (the old
// file is then untouched). Files left beside the target by saves that were killed are removed.
bool WriteFileReplacing(const std::string& path, std::string_view bytes);

struct AppendLocking {
    // How long an append waits for another process's lock on the file before it gives up.
    std::chrono::milliseconds bound{2000};
    // Called once when the lock is found held by someone else.
    std::function<void()> onBusy;
};

// Appends with one write to a file opened for appending (created when missing), holding a
// write lock on the file meanwhile. False when the file could not be opened, is no regular
// file, stayed locked past the bound, or the bytes were not all written.
bool AppendToFile(const std::string& path, std::string_view bytes,
                  const AppendLocking& locking = {});

// The file the command line's first line names, made absolute against the current folder, so
// that every later rule (extension, score-log name, quiz folder) reads one full path. Empty for
// an empty first line.
std::string PathNamedOn(std::string_view commandLine);

// Lines that end at CR LF pairs; a lone CR or LF belongs to its line. A last line without
// a line break counts; nothing after the final CR LF makes no line.
std::vector<std::string> SplitCrLfLines(std::string_view bytes);

} // namespace examo::files
