#include "datetimeformat.h"

#include <cstdio>

namespace examo::text {

namespace {

std::string twoDigits(int v) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02d", v);
    return buf;
}

bool startsWith(std::string_view s, std::size_t pos, std::string_view token) {
    return s.substr(pos, token.size()) == token;
}

} // namespace

std::string FormatDateTime(std::string_view pattern, const LocalDateTime& moment) {
    const bool twelveHour = pattern.find("AMPM") != std::string_view::npos;
    int hour = moment.hour;
    if (twelveHour) {
        hour %= 12;
        if (hour == 0)
            hour = 12;
    }
    std::string out;
    bool afterHour = false;
    std::size_t i = 0;
    auto take = [&](std::string_view token) {
        if (!startsWith(pattern, i, token))
            return false;
        i += token.size();
        return true;
    };
    while (i < pattern.size()) {
        if (take("AMPM")) {
            out += moment.hour < 12 ? moment.amText : moment.pmText;
        } else if (take("dddd")) {
            out += moment.weekdayName;
        } else if (take("dd")) {
            out += twoDigits(moment.day);
        } else if (take("d")) {
            out += std::to_string(moment.day);
        } else if (take("mmm")) {
            out += moment.monthShortName;
        } else if (take("mm")) {
            out += afterHour ? twoDigits(moment.minute) : twoDigits(moment.month);
            afterHour = false;
        } else if (take("m")) {
            out += afterHour ? std::to_string(moment.minute) : std::to_string(moment.month);
            afterHour = false;
        } else if (take("yyyy")) {
            out += std::to_string(moment.year);
        } else if (take("hh")) {
            out += twoDigits(hour);
            afterHour = true;
        } else if (take("h")) {
            out += std::to_string(hour);
            afterHour = true;
        } else if (take("nn")) {
            out += twoDigits(moment.minute);
        } else if (take("ss")) {
            out += twoDigits(moment.second);
        } else {
            out += pattern[i++];
        }
    }
    return out;
}

} // namespace examo::text
