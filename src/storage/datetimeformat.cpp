#include "datetimeformat.h"

#include <cstdio>

namespace examo::text {

namespace {

std::string twoDigits(int v) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02d", v);
    return buf;
}

// The pattern read left to right, one token at a time.
struct Reader {
    std::string_view pattern;
    std::size_t at = 0;

    bool take(std::string_view token) {
        if (pattern.substr(at, token.size()) != token)
            return false;
        at += token.size();
        return true;
    }
};

// The hour as shown: 1 to 12 when the pattern has AM and PM.
int shownHour(std::string_view pattern, int hour) {
    if (pattern.find("AMPM") == std::string_view::npos)
        return hour;
    hour %= 12;
    return hour == 0 ? 12 : hour;
}

// Day, month and year tokens; "m" right after an hour is the minute instead of the month.
bool takeDate(Reader& reader, const LocalDateTime& moment, bool& afterHour, std::string& out) {
    if (reader.take("dddd")) {
        out += moment.weekdayName;
    } else if (reader.take("dd")) {
        out += twoDigits(moment.day);
    } else if (reader.take("d")) {
        out += std::to_string(moment.day);
    } else if (reader.take("mmm")) {
        out += moment.monthShortName;
    } else if (reader.take("mm")) {
        out += afterHour ? twoDigits(moment.minute) : twoDigits(moment.month);
        afterHour = false;
    } else if (reader.take("m")) {
        out += afterHour ? std::to_string(moment.minute) : std::to_string(moment.month);
        afterHour = false;
    } else if (reader.take("yyyy")) {
        out += std::to_string(moment.year);
    } else {
        return false;
    }
    return true;
}

bool takeTime(Reader& reader, const LocalDateTime& moment, int hour, bool& afterHour,
              std::string& out) {
    if (reader.take("AMPM")) {
        out += moment.hour < 12 ? moment.amText : moment.pmText;
    } else if (reader.take("hh")) {
        out += twoDigits(hour);
        afterHour = true;
    } else if (reader.take("h")) {
        out += std::to_string(hour);
        afterHour = true;
    } else if (reader.take("nn")) {
        out += twoDigits(moment.minute);
    } else if (reader.take("ss")) {
        out += twoDigits(moment.second);
    } else {
        return false;
    }
    return true;
}

} // namespace

// Tokens of different letters never overlap, so the date and time ones may be tried apart;
// within one letter the longer token comes first.
std::string FormatDateTime(std::string_view pattern, const LocalDateTime& moment) {
    const int hour = shownHour(pattern, moment.hour);
    Reader reader{.pattern = pattern};
    std::string out;
    bool afterHour = false;
    while (reader.at < pattern.size()) {
        if (!takeTime(reader, moment, hour, afterHour, out) &&
            !takeDate(reader, moment, afterHour, out))
            out += pattern[reader.at++];
    }
    return out;
}

} // namespace examo::text
