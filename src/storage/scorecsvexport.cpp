#include "scorecsv.h"

#include "files.h"
#include "platform/cp1252.h"
#include "scorelog.h"
#include "textrules.h"

namespace examo::scorecsv {

namespace {

constexpr const char* kUsage = "Usage: ExamoForge --export-csv OUT.csv LOG...";

// The quiz a log belongs to: its file name up to the first ".", as the log was named.
std::string quizNameOf(const std::string& logPath) {
    const std::string name = text::BareName(logPath);
    return name.substr(0, name.find('.'));
}

std::string readProblem(scorelog::ReadError error, const std::string& path) {
    switch (error) {
    case scorelog::ReadError::Missing:
        return "The score log " + path + " cannot be found.";
    case scorelog::ReadError::TooLarge:
        return "The score log " + path + " is too large.  Logs of up to " +
               text::Dec(static_cast<long long>(scorelog::kMaxLogBytes / (1024 * 1024))) +
               " MB can be exported.";
    default:
        return "The score log " + path + " cannot be read.";
    }
}

// Appends the rows of one log; false when it could not be read.
bool addLog(const std::string& path, std::vector<Row>& rows, std::ostream& err) {
    const scorelog::ReadResult log = scorelog::Read(path);
    if (log.error != scorelog::ReadError::Ok) {
        err << "ExamoForge: " << readProblem(log.error, path) << "\n";
        return false;
    }
    const std::string quiz = quizNameOf(path);
    for (const std::string& entry : log.entries) {
        const std::string text = cp1252::toUtf8(entry);
        if (text.find_first_not_of(" \r\n") != std::string::npos)
            rows.push_back({.log = quiz, .entry = ParseEntry(text)});
    }
    return true;
}

} // namespace

int ExportLogs(const std::vector<std::string>& args, std::ostream& err) {
    if (args.size() < 2) {
        err << kUsage << "\n";
        return 2;
    }
    const std::string& out = args.front();
    if (NamesScoreLog(out)) {
        err << "ExamoForge: " << out
            << " is a score log and is not written over.  Give the CSV file a name of its own.\n"
            << kUsage << "\n";
        return 2;
    }
    std::vector<Row> rows;
    bool allRead = true;
    for (std::size_t i = 1; i < args.size(); ++i)
        allRead = addLog(args[i], rows, err) && allRead;
    if (!files::WriteFileReplacing(out, Document(rows, true))) {
        err << "ExamoForge: The CSV file " << out << " cannot be written.\n";
        return 1;
    }
    if (const int incomplete = IncompleteCount(rows); incomplete > 0)
        err << "ExamoForge: " << IncompleteMessage(incomplete) << "\n";
    return allRead ? 0 : 1;
}

} // namespace examo::scorecsv
