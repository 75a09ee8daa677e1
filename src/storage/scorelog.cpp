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
    // Every entry ends with its own line break, which scrambles into the letters È Ï. A name
    // holding that pair scrambles into a real CR LF, which cuts its entry in two: lines are
    // joined again, with the CR LF between them, until the text ends with its line break.
    std::vector<std::string> entries;
    std::string pending;
    bool cut = false;
    for (const auto& line : files::SplitCrLfLines(bytes)) {
        if (cut)
            pending += "\r\n";
        pending += line;
        std::string text = modCrypt::ScrambleLogText(pending);
        cut = !text.ends_with("\r\n");
        if (!cut) {
            entries.push_back(std::move(text));
            pending.clear();
        }
    }
    if (cut)
        entries.push_back(modCrypt::ScrambleLogText(pending));
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
