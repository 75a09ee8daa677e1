#pragma once

#include <string>

namespace examo {

// A moment of local time with the names the platform's language gives it.
struct LocalDateTime {
    int year = 2000;
    int month = 1;     // 1..12
    int day = 1;       // 1..31
    int dayOfWeek = 1; // 1 = Monday .. 7 = Sunday
    int hour = 0;      // 0..23
    int minute = 0;
    int second = 0;
    std::string weekdayName;    // "Sunday"
    std::string monthShortName; // "Dec"
    std::string amText = "AM";
    std::string pmText = "PM";
    std::string shortDate; // the platform's short date form, "12/6/26"
};

class Clock {
public:
    virtual ~Clock() = default;
    // Seconds since local midnight, with fractions.
    virtual double timer() = 0;
    // Seconds on a clock that never jumps, for elapsed times.
    virtual double monotonicSeconds() = 0;
    virtual LocalDateTime now() = 0;
};

} // namespace examo
