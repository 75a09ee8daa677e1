#pragma once

#include "platform/clock.h"
#include "storage/files.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The score log beside a quiz: one scrambled entry line per finished quiz.
namespace examo::scorelog {

inline constexpr const char* kDatePattern = "dddd, mmm d yyyy";
inline constexpr const char* kTimePattern = "hh:mm AMPM";
inline constexpr std::size_t kMaxLogBytes = 64 * 1024 * 1024;

// The quiz path up to and including the first "." of its file name, followed by "log"
// ("/a.b/my.quiz.exm" -> "/a.b/my.log"); a name without one gives its folder + "log".
std::string ScoreLogPath(std::string_view quizPath);

// The whole part of score * 100 / count, computed in whole numbers (count at least 1).
std::string PercentText(int score, int count);

// "45 seconds" up to 60 seconds, above "1 minutes and 1 seconds".
std::string TimeSpentText(long long seconds);

struct ScoreLogRecord {
    std::string studentName; // as signed in, Windows-1252
    int score = 0;
    int questionCount = 1;
    std::string percentText;
    std::string timeText;
    LocalDateTime finishedAt;
};

// The entry text, ending with CR LF, before scrambling.
std::string BuildEntry(const ScoreLogRecord& record);

// Scrambles the entry and appends it with its line break in one write.
// False when the log could not be written.
bool AppendEntry(const std::string& logPath, const ScoreLogRecord& record);

// Ok, Missing, Unreadable or TooLarge, as the file read gave it.
using ReadError = files::ReadStatus;

struct ReadResult {
    ReadError error = ReadError::Ok;
    // Each entry unscrambled; a well-formed entry ends with its own CR LF.
    std::vector<std::string> entries;
};

ReadResult Read(const std::string& logPath);
std::vector<std::string> DecodeEntries(std::string_view bytes);

} // namespace examo::scorelog
