#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

// Score-log entries as rows of a spreadsheet: each entry's text read back into its values and
// written as CSV (RFC 4180, UTF-8), for the log viewer's export and the creator's command line.
namespace examo::scorecsv {

// One entry's values. An entry that does not read in full keeps the values read before the
// first piece that did not fit; the rest stay empty.
struct Entry {
    std::string name; // UTF-8
    std::optional<long long> score;
    std::optional<long long> questions;
    std::optional<long long> percent;
    std::optional<long long> seconds;
    std::string date; // "2026-12-06", or empty
    std::string time; // "09:41", 24-hour, or empty
    bool complete = false;
};

// Reads one entry's text (UTF-8, its line break removed or not). A text without the entry's
// form is taken as a name cut short: the whole text becomes the name.
Entry ParseEntry(std::string_view utf8);

struct Row {
    std::string log; // the quiz the entry belongs to; unused without the Log column
    Entry entry;
};

// Every line that is not blank, read as one entry (lines end at CR LF, CR or LF).
std::vector<Row> RowsOfText(std::string_view utf8);

// A byte-order mark, the header row and one row per entry, each ending with CR LF. withLog
// puts a first column Log.
std::string Document(const std::vector<Row>& rows, bool withLog);

// One field as CSV: quoted when it holds a comma, a quote or a line break, quotes doubled.
std::string Field(std::string_view utf8);

int IncompleteCount(const std::vector<Row>& rows);

// "1 entry could not be read in full and was exported as far as it could be read.", and the
// same for several entries.
std::string IncompleteMessage(int count);

// True when the file name ends in ".log" in any letter case: the CSV must never be written
// over a score log, which holds the only record of the students' results.
bool NamesScoreLog(std::string_view path);

// "ExamoForge --export-csv OUT.csv LOG...": the arguments after "--export-csv". Writes the
// entries of every log that could be read, one row each with the quiz's name in the Log
// column; tells on err what failed and how many entries were read only in part. 0 when every
// log was read and the CSV written, 2 for wrong arguments, 1 for any other failure.
int ExportLogs(const std::vector<std::string>& args, std::ostream& err);

} // namespace examo::scorecsv
