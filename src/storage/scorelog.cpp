#include "scorelog.h"

#include "datetimeformat.h"
#include "files.h"
#include "modcrypt.h"
#include "textrules.h"

namespace examo::scorelog {

std::string ScoreLogPath(std::string_view quizPath) {
    // The first "." of the file name: a dotted folder above it must not cut the path short.
    const auto slash = quizPath.rfind('/');
    const std::size_t nameStart = slash == std::string_view::npos ? 0 : slash + 1;
    const auto dot = quizPath.find('.', nameStart);
    const std::string_view stem =
        dot == std::string_view::npos ? quizPath.substr(0, nameStart) : quizPath.substr(0, dot + 1);
    return std::string(stem) + "log";
}

std::string PercentText(int score, int count) {
    if (count < 1)
        count = 1;
    // Whole numbers throughout: in floating point 29 of 50 would come out as 57.
    const long long percent = static_cast<long long>(score) * 100;
    const long long whole = percent >= 0 ? percent / count : -((-percent + count - 1) / count);
    return text::Dec(whole);
}

std::string TimeSpentText(long long seconds) {
    if (seconds <= 60)
        return text::Dec(seconds) + " seconds";
    return text::Dec(seconds / 60) + " minutes and " + text::Dec(seconds % 60) + " seconds";
}

std::string BuildEntry(const ScoreLogRecord& r) {
    return r.studentName + ".    Score " + text::Dec(r.score) + " of " +
           text::Dec(r.questionCount) + ".  " + r.percentText + "%   Time spent " + r.timeText +
           ".  Test date:  " + text::FormatDateTime(kDatePattern, r.finishedAt) + "  " +
           text::FormatDateTime(kTimePattern, r.finishedAt) + "\r\n";
}

bool AppendEntry(const std::string& logPath, const ScoreLogRecord& record) {
    return files::AppendToFile(logPath, modCrypt::ScrambleLogText(BuildEntry(record)) + "\r\n");
}

std::vector<std::string> DecodeEntries(std::string_view bytes) {
    std::vector<std::string> entries;
    for (const auto& line : files::SplitCrLfLines(bytes))
        entries.push_back(modCrypt::ScrambleLogText(line));
    return entries;
}

ReadResult Read(const std::string& logPath) {
    auto file = files::ReadWholeFile(logPath, kMaxLogBytes);
    ReadResult result;
    result.error = file.status;
    if (file.status == files::ReadStatus::Ok)
        result.entries = DecodeEntries(file.bytes);
    return result;
}

} // namespace examo::scorelog
