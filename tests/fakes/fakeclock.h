#pragma once

#include "platform/clock.h"

namespace examo::fakes {

// A clock the test sets and moves.
class FakeClock : public Clock {
public:
    FakeClock() {
        moment.year = 2026;
        moment.month = 12;
        moment.day = 6;
        moment.dayOfWeek = 7;
        moment.hour = 9;
        moment.minute = 41;
        moment.weekdayName = "Sunday";
        moment.monthShortName = "Dec";
        moment.shortDate = "12/6/26";
    }
    double timer() override { return secondsSinceMidnight; }
    double monotonicSeconds() override { return monotonic; }
    LocalDateTime now() override { return moment; }

    // Moves both clocks on.
    void advance(double seconds) {
        secondsSinceMidnight += seconds;
        monotonic += seconds;
    }

    double secondsSinceMidnight = 9 * 3600.0 + 41 * 60.0;
    double monotonic = 1000.0;
    LocalDateTime moment;
};

} // namespace examo::fakes
