#include "platform/linux/systemclock.h"

#include <QDateTime>
#include <QLocale>

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

using examo::describeDateTime;
using examo::LocalDateTime;

TEST(SystemClock, ReadingsAreInRangeAndNamedInEnglish) {
    examo::SystemClock clock;
    const double timer = clock.timer();
    EXPECT_GE(timer, 0.0);
    EXPECT_LT(timer, 86400.0);

    const double before = clock.monotonicSeconds();
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_GE(clock.monotonicSeconds() - before, 0.015);

    // The tests run in the C locale.
    static const char* const days[] = {"Monday", "Tuesday",  "Wednesday", "Thursday",
                                       "Friday", "Saturday", "Sunday"};
    const LocalDateTime now = clock.now();
    ASSERT_TRUE(now.dayOfWeek >= 1 && now.dayOfWeek <= 7);
    EXPECT_EQ(now.weekdayName, days[now.dayOfWeek - 1]);
}

TEST(DescribeDateTime, NamesAreWindows1252OrEnglishWhenItCannotHoldThem) {
    const QDateTime sunday(QDate(2026, 12, 6), QTime(14, 5, 9));
    const LocalDateTime c = describeDateTime(sunday, QLocale::c());
    EXPECT_EQ(c.dayOfWeek, 7);
    EXPECT_EQ(c.hour, 14);
    EXPECT_EQ(c.weekdayName, "Sunday");
    EXPECT_EQ(c.monthShortName, "Dec");
    EXPECT_EQ(c.amText, "AM");
    EXPECT_EQ(c.pmText, "PM");

    const LocalDateTime french = describeDateTime(sunday, QLocale(QLocale::French));
    EXPECT_EQ(french.weekdayName, "dimanche");
    EXPECT_EQ(french.monthShortName, "d\xE9"
                                     "c.");

    const LocalDateTime russian = describeDateTime(sunday, QLocale(QLocale::Russian));
    EXPECT_EQ(russian.weekdayName, "Sunday");
    EXPECT_EQ(russian.monthShortName, "Dec");
}
