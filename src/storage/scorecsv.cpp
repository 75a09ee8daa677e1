#include "scorecsv.h"

#include "textrules.h"

#include <array>
#include <chrono>
#include <cstdio>
#include <limits>

namespace examo::scorecsv {

namespace {

constexpr std::string_view kScore = ".    Score ";
// The names an English desktop writes. A log written in another language keeps its dates out
// of the spreadsheet, and its entries are counted among those not read in full.
constexpr std::array<std::string_view, 12> kMonths = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                      "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

// The entry's text read left to right.
struct Cursor {
    std::string_view rest;

    bool literal(std::string_view text) {
        if (!rest.starts_with(text))
            return false;
        rest.remove_prefix(text.size());
        return true;
    }

    // Plain decimal digits, optionally negative; nothing when there are none or too many.
    std::optional<long long> number(std::size_t maxDigits = 18) {
        const bool negative = rest.starts_with('-');
        std::size_t i = negative ? 1 : 0;
        long long value = 0;
        const std::size_t first = i;
        while (i < rest.size() && rest[i] >= '0' && rest[i] <= '9' && i - first < maxDigits)
            value = value * 10 + (rest[i++] - '0');
        if (i == first || (i < rest.size() && rest[i] >= '0' && rest[i] <= '9'))
            return std::nullopt;
        rest.remove_prefix(i);
        return negative ? -value : value;
    }

    // The text up to a separator, which is passed over.
    std::optional<std::string_view> until(std::string_view separator) {
        const auto at = rest.find(separator);
        if (at == std::string_view::npos)
            return std::nullopt;
        const std::string_view before = rest.substr(0, at);
        rest.remove_prefix(at + separator.size());
        return before;
    }
};

std::string twoDigits(long long v) {
    char buf[8];
    std::snprintf(buf, sizeof buf, "%02d", static_cast<int>(v));
    return buf;
}

// "45 seconds" or "1 minutes and 15 seconds", in seconds.
std::optional<long long> timeSpent(Cursor& c) {
    const auto first = c.number();
    if (!first)
        return std::nullopt;
    if (c.literal(" seconds"))
        return first;
    const auto seconds = c.literal(" minutes and ") ? c.number() : std::nullopt;
    if (!seconds || !c.literal(" seconds") || *first > std::numeric_limits<long long>::max() / 61)
        return std::nullopt;
    return *first * 60 + *seconds;
}

// "Sunday, Dec 6 2026" as "2026-12-06". The weekday is not needed and not checked.
std::optional<std::string> dateText(Cursor& c) {
    const auto weekday = c.until(", ");
    const auto month = c.until(" ");
    if (!weekday || !month)
        return std::nullopt;
    unsigned m = 0;
    for (unsigned i = 0; i < kMonths.size(); ++i)
        if (text::EqualsNoCase(*month, kMonths[i]))
            m = i + 1;
    const auto day = c.number(2);
    const auto year = day && c.literal(" ") ? c.number(4) : std::nullopt;
    if (m == 0 || !year || *day < 1 || *year < 1)
        return std::nullopt;
    const std::chrono::year_month_day date{std::chrono::year(static_cast<int>(*year)),
                                           std::chrono::month(m),
                                           std::chrono::day(static_cast<unsigned>(*day))};
    if (!date.ok())
        return std::nullopt;
    char buf[32];
    std::snprintf(buf, sizeof buf, "%04d-%02u-%02u", static_cast<int>(date.year()),
                  static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()));
    return buf;
}

// "09:41 AM" or "01:05 PM" on the 12-hour clock, as "09:41" or "13:05".
std::optional<std::string> clockText(Cursor& c) {
    if (c.rest.size() < 5 || c.rest[2] != ':')
        return std::nullopt;
    Cursor hourPart{c.rest.substr(0, 2)};
    Cursor minutePart{c.rest.substr(3, 2)};
    const auto hour = hourPart.number(2);
    const auto minute = minutePart.number(2);
    c.rest.remove_prefix(5);
    if (!hour || !minute || !hourPart.rest.empty() || !minutePart.rest.empty() || *hour < 1 ||
        *hour > 12 || *minute < 0 || *minute > 59 || !c.literal(" "))
        return std::nullopt;
    const bool am = text::EqualsNoCase(c.rest, "AM");
    if (!am && !text::EqualsNoCase(c.rest, "PM"))
        return std::nullopt;
    c.rest = {};
    return twoDigits(*hour % 12 + (am ? 0 : 12)) + ":" + twoDigits(*minute);
}

// The values after the name; each is kept only once the text that follows it is found, so a
// number cut short by the end of a damaged entry is never taken for the whole one.
void readValues(Cursor c, Entry& e) {
    const auto score = c.number();
    if (!score || !c.literal(" of "))
        return;
    e.score = score;
    const auto questions = c.number();
    if (!questions || !c.literal(".  "))
        return;
    e.questions = questions;
    const auto percent = c.number();
    if (!percent || !c.literal("%   Time spent "))
        return;
    e.percent = percent;
    const auto seconds = timeSpent(c);
    if (!seconds || !c.literal(".  Test date:  "))
        return;
    e.seconds = seconds;
    const auto date = dateText(c);
    if (!date || !c.literal("  "))
        return;
    e.date = *date;
    const auto time = clockText(c);
    if (!time)
        return;
    e.time = *time;
    e.complete = true;
}

bool formulaStart(std::string_view s) {
    return !s.empty() && std::string_view("=+-@\t\r").find(s.front()) != std::string_view::npos;
}

// Text that a spreadsheet would run as a formula ("=HYPERLINK(...)" typed as a name) is kept
// as text by a leading apostrophe.
std::string textCell(std::string_view s) {
    return Field(formulaStart(s) ? "'" + std::string(s) : std::string(s));
}

std::string numberCell(const std::optional<long long>& n) {
    return n ? text::Dec(*n) : std::string();
}

} // namespace

Entry ParseEntry(std::string_view utf8) {
    if (utf8.ends_with("\r\n"))
        utf8.remove_suffix(2);
    // A name may hold the marker itself: the first place after which the rest reads in full
    // ends the name.
    Entry first;
    bool found = false;
    for (auto at = utf8.find(kScore); at != std::string_view::npos;
         at = utf8.find(kScore, at + 1)) {
        Entry e;
        e.name = std::string(utf8.substr(0, at));
        readValues(Cursor{utf8.substr(at + kScore.size())}, e);
        if (e.complete)
            return e;
        if (!found)
            first = std::move(e);
        found = true;
    }
    if (!found)
        first.name = std::string(utf8);
    return first;
}

std::vector<Row> RowsOfText(std::string_view utf8) {
    std::vector<Row> rows;
    while (!utf8.empty()) {
        const auto end = utf8.find_first_of("\r\n");
        const std::string_view line = utf8.substr(0, end);
        if (line.find_first_not_of(" \t") != std::string_view::npos)
            rows.push_back({.log = {}, .entry = ParseEntry(line)});
        if (end == std::string_view::npos)
            break;
        const std::size_t breakSize = utf8.substr(end).starts_with("\r\n") ? 2 : 1;
        utf8.remove_prefix(end + breakSize);
    }
    return rows;
}

std::string Field(std::string_view utf8) {
    if (utf8.find_first_of(",\"\r\n") == std::string_view::npos)
        return std::string(utf8);
    std::string out = "\"";
    for (const char c : utf8) {
        if (c == '"')
            out += '"';
        out += c;
    }
    return out + '"';
}

std::string Document(const std::vector<Row>& rows, bool withLog) {
    // The byte-order mark makes spreadsheets take the file as UTF-8 rather than guess.
    std::string out = "\xEF\xBB\xBF";
    out += withLog ? "Log," : "";
    out += "Name,Score,Questions,Percent,Seconds,Date,Time\r\n";
    for (const Row& row : rows) {
        const Entry& e = row.entry;
        if (withLog)
            out += textCell(row.log) + ",";
        out += textCell(e.name) + "," + numberCell(e.score) + "," + numberCell(e.questions) + "," +
               numberCell(e.percent) + "," + numberCell(e.seconds) + "," + e.date + "," + e.time +
               "\r\n";
    }
    return out;
}

int IncompleteCount(const std::vector<Row>& rows) {
    int count = 0;
    for (const Row& row : rows)
        count += row.entry.complete ? 0 : 1;
    return count;
}

std::string IncompleteMessage(int count) {
    if (count == 1)
        return "1 entry could not be read in full and was exported as far as it could be read.";
    return text::Dec(count) +
           " entries could not be read in full and were exported as far as they could be read.";
}

bool NamesScoreLog(std::string_view path) {
    const std::string name = text::BareName(path);
    return name.size() >= 4 &&
           text::EqualsNoCase(std::string_view(name).substr(name.size() - 4), ".log");
}

} // namespace examo::scorecsv
