#include "storage/scorecsv.h"
#include "storage/scorelog.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <sstream>

using namespace examo;
using examo::testing::readBytes;
using examo::testing::TempFolder;
using examo::testing::writeBytes;
using examo::testing::xorAll;

namespace {

constexpr const char* kBom = "\xEF\xBB\xBF";
constexpr const char* kHeader = "Name,Score,Questions,Percent,Seconds,Date,Time\r\n";
const std::string kAnn = "Ann.    Score 7 of 9.  77%   Time spent 1 minutes and 15 seconds."
                         "  Test date:  Sunday, Dec 6 2026  09:41 AM\r\n";

LocalDateTime at(int year, int month, int day, const char* weekday, const char* monthName, int hour,
                 int minute) {
    LocalDateTime moment;
    moment.year = year;
    moment.month = month;
    moment.day = day;
    moment.hour = hour;
    moment.minute = minute;
    moment.weekdayName = weekday;
    moment.monthShortName = monthName;
    return moment;
}

// The values the CSV row shows, in column order, empty where nothing was read.
std::string values(const scorecsv::Entry& e) {
    const auto n = [](const std::optional<long long>& v) { return v ? std::to_string(*v) : ""; };
    return e.name + "|" + n(e.score) + "|" + n(e.questions) + "|" + n(e.percent) + "|" +
           n(e.seconds) + "|" + e.date + "|" + e.time;
}

} // namespace

// The entries the player writes, in every form its texts take, read back to their values.
TEST(ScoreCsv, EveryFormTheWriterGivesReadsBackToItsValues) {
    struct Case {
        std::string name;
        int score, count;
        long long seconds;
        LocalDateTime finished;
        const char* expected;
    };
    const Case cases[] = {
        {"Ann", 7, 9, 75, at(2026, 12, 6, "Sunday", "Dec", 9, 41),
         "Ann|7|9|77|75|2026-12-06|09:41"},
        {"Bob", 3, 3, 45, at(2026, 1, 5, "Monday", "Jan", 0, 5), "Bob|3|3|100|45|2026-01-05|00:05"},
        {"Cy", 0, 1, 60, at(2024, 2, 29, "Thursday", "Feb", 12, 0), "Cy|0|1|0|60|2024-02-29|12:00"},
        {"Di", 29, 50, 61, at(2026, 7, 14, "Tuesday", "Jul", 13, 30),
         "Di|29|50|58|61|2026-07-14|13:30"},
        {"Ed", 1, 2, 3725, at(2026, 11, 30, "Monday", "Nov", 23, 59),
         "Ed|1|2|50|3725|2026-11-30|23:59"},
        // A name holding the text that follows every name.
        {"Al.    Score 5", 1, 1, 0, at(2026, 3, 1, "Sunday", "Mar", 11, 7),
         "Al.    Score 5|1|1|100|0|2026-03-01|11:07"},
    };
    for (const Case& c : cases) {
        const scorelog::ScoreLogRecord record{.studentName = c.name,
                                              .score = c.score,
                                              .questionCount = c.count,
                                              .percentText =
                                                  scorelog::PercentText(c.score, c.count),
                                              .timeText = scorelog::TimeSpentText(c.seconds),
                                              .finishedAt = c.finished};
        const scorecsv::Entry e = scorecsv::ParseEntry(scorelog::BuildEntry(record));
        EXPECT_EQ(values(e), c.expected);
        EXPECT_TRUE(e.complete) << c.expected;
    }
}

// A damaged entry keeps what was read before the damage; a number the damage cut short is not
// taken for the whole one. A row for each way a piece fails: cut short at the first value or a
// later one, out of range as a number, as a date and as a time of day, not a number at all.
TEST(ScoreCsv, ADamagedEntryKeepsWhatCouldBeRead) {
    const std::string head = kAnn.substr(0, kAnn.find("Sunday"));
    const std::pair<std::string, const char*> cases[] = {
        {"Ann.    Score 1", "Ann||||||"},
        {"Ann.    Score 7 of 9.  7", "Ann|7|9||||"},
        {"Ann.    Score 99999999999999999999 of 9.", "Ann||||||"},
        {head + "Monday, Feb 30 2026  09:41 AM", "Ann|7|9|77|75||"},
        {head + "Sunday, Dec 6 2026  13:41 AM", "Ann|7|9|77|75|2026-12-06|"},
        {head + "Sunday, Dec 6 2026  1x:41 AM", "Ann|7|9|77|75|2026-12-06|"},
    };
    for (const auto& [text, expected] : cases) {
        const scorecsv::Entry e = scorecsv::ParseEntry(text);
        EXPECT_EQ(values(e), expected) << text;
        EXPECT_FALSE(e.complete) << text;
    }
}

TEST(ScoreCsv, FieldsAreQuotedAsTheCsvRulesSayAndFormulasKeptAsText) {
    const std::pair<const char*, const char*> fields[] = {{"Ann", "Ann"},
                                                          {"Ann, \"Q\"", "\"Ann, \"\"Q\"\"\""},
                                                          {"a\r\nb", "\"a\r\nb\""},
                                                          {"", ""},
                                                          {"\xC3\x88ve", "\xC3\x88ve"}};
    for (const auto& [field, quoted] : fields)
        EXPECT_EQ(scorecsv::Field(field), quoted);

    std::vector<scorecsv::Row> rows(3);
    rows[0] = {.log = "math", .entry = scorecsv::ParseEntry(kAnn)};
    rows[1] = {.log = "=cmd", .entry = scorecsv::ParseEntry("=HYPERLINK(\"x\")")};
    rows[2] = {.log = "a,b", .entry = scorecsv::ParseEntry("-1")};
    EXPECT_EQ(scorecsv::Document(rows, true),
              std::string(kBom) + "Log," + kHeader + "math,Ann,7,9,77,75,2026-12-06,09:41\r\n" +
                  "'=cmd,\"'=HYPERLINK(\"\"x\"\")\",,,,,,\r\n" + "\"a,b\",'-1,,,,,,\r\n");
    EXPECT_EQ(scorecsv::Document({}, false), std::string(kBom) + kHeader);
    EXPECT_EQ(scorecsv::IncompleteCount(rows), 2);
    EXPECT_EQ(scorecsv::IncompleteMessage(1),
              "1 entry could not be read in full and was exported as far as it could be read.");
    EXPECT_EQ(
        scorecsv::IncompleteMessage(2),
        "2 entries could not be read in full and were exported as far as they could be read.");
}

TEST(ScoreCsv, TheShownTextGivesOneRowPerLineThatIsNotBlank) {
    const auto rows = scorecsv::RowsOfText("\r\nAnn.    Score 1\r\n  \r\nBob\nCy\r");
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].entry.name, "Ann");
    EXPECT_EQ(rows[1].entry.name, "Bob");
    EXPECT_EQ(rows[2].entry.name, "Cy");
}

class ScoreCsvExport : public ::testing::Test {
protected:
    std::string log(const std::string& name, const std::vector<std::string>& cp1252Names) {
        scorelog::ScoreLogRecord r{.studentName = {},
                                   .score = 7,
                                   .questionCount = 9,
                                   .percentText = "77",
                                   .timeText = "1 minutes and 15 seconds",
                                   .finishedAt = at(2026, 12, 6, "Sunday", "Dec", 9, 41)};
        for (const auto& student : cp1252Names) {
            r.studentName = student;
            EXPECT_TRUE(scorelog::AppendEntry(dir.path(name), r));
        }
        return dir.path(name);
    }
    int run(const std::vector<std::string>& args) {
        err.str({});
        return scorecsv::ExportLogs(args, err);
    }

    TempFolder dir;
    std::ostringstream err;
};

// È and Ï scramble into CR and LF, and the pair into a real line break inside the log line.
TEST_F(ScoreCsvExport, EveryEntryOfEveryLogBecomesOneRowNamedAfterItsQuiz) {
    const std::string math = log("math.log", {"Ann, \"Q\"", "\xC8ric \xCFsa", "M\xC8\xCFo"});
    const std::string art = log("art.log", {"Bob"});
    // The last entry was cut short by a full disk, its line break never written.
    writeBytes(art, readBytes(art) + xorAll(kAnn.substr(0, 45), 197));
    const std::string out = dir.path("scores.csv");
    EXPECT_EQ(run({out, math, art}), 0) << err.str();
    const std::string row = ",7,9,77,75,2026-12-06,09:41\r\n";
    EXPECT_EQ(readBytes(out), std::string(kBom) + "Log," + kHeader + "math,\"Ann, \"\"Q\"\"\"" +
                                  row + "math,\xC3\x88ric \xC3\x8Fsa" + row +
                                  "math,M\xC3\x88\xC3\x8Fo" + row + "art,Bob" + row +
                                  "art,Ann,7,9,77,,,\r\n");
    EXPECT_EQ(err.str(), "ExamoForge: 1 entry could not be read in full and was exported as far "
                         "as it could be read.\n");
}

TEST_F(ScoreCsvExport, ALogThatCannotBeReadIsNamedAndTheExportFails) {
    const std::string math = log("math.log", {"Ann"});
    const std::string out = dir.path("scores.csv");
    EXPECT_EQ(run({out, dir.path("gone.log"), math, dir.folder()}), 1);
    EXPECT_EQ(err.str(), "ExamoForge: The score log " + dir.path("gone.log") +
                             " cannot be found.\nExamoForge: The score log " + dir.folder() +
                             " cannot be read.\n");
    EXPECT_EQ(readBytes(out),
              std::string(kBom) + "Log," + kHeader + "math,Ann,7,9,77,75,2026-12-06,09:41\r\n")
        << "the logs that could be read are exported all the same";
}

TEST_F(ScoreCsvExport, WrongArgumentsAndAnUnwritableFileFailWithoutTouchingALog) {
    const std::string math = log("math.log", {"Ann"});
    const std::string logBytes = readBytes(math);
    const std::string usage = "Usage: ExamoForge --export-csv OUT.csv LOG...\n";
    EXPECT_EQ(run({}), 2);
    EXPECT_EQ(err.str(), usage);
    EXPECT_EQ(run({dir.path("scores.csv")}), 2);
    EXPECT_EQ(err.str(), usage);
    // The output forgotten: the first log would be the output.
    const std::string art = log("Art.LOG", {"Bob"});
    EXPECT_EQ(run({art, math}), 2);
    EXPECT_EQ(err.str(), "ExamoForge: " + art +
                             " is a score log and is not written over.  Give the CSV file a name "
                             "of its own.\n" +
                             usage);
    EXPECT_EQ(run({dir.path("no such folder/scores.csv"), math}), 1);
    EXPECT_EQ(err.str(), "ExamoForge: The CSV file " + dir.path("no such folder/scores.csv") +
                             " cannot be written.\n");
    EXPECT_EQ(readBytes(math), logBytes);
    EXPECT_EQ(scorelog::Read(art).entries.size(), 1u);
}
