#include "platform/linux/systemclock.h"

#include <QDateTime>
#include <QLocale>

#include <gtest/gtest.h>

using examo::describeDateTime;

TEST(SystemClock, ReadingsAreInRangeAndNamedInEnglish) {
    examo::SystemClock clock;
    const double timer = clock.timer(), before = clock.monotonicSeconds();
    EXPECT_TRUE(timer >= 0.0 && timer < 86400.0) << timer;
    EXPECT_GE(clock.monotonicSeconds(), before);
    // The tests run in the C locale.
    const examo::LocalDateTime now = clock.now();
    EXPECT_EQ(now.weekdayName, QLocale::c().dayName(now.dayOfWeek).toStdString());
}

TEST(DescribeDateTime, NamesAreWindows1252OrEnglishWhenItCannotHoldThem) {
    const QDateTime sunday(QDate(2026, 12, 6), QTime(14, 5, 9));
    const auto c = describeDateTime(sunday, QLocale::c());
    EXPECT_TRUE(c.dayOfWeek == 7 && c.hour == 14 && c.weekdayName == "Sunday" &&
                c.monthShortName == "Dec" && c.amText == "AM" && c.pmText == "PM");
    const auto french = describeDateTime(sunday, QLocale(QLocale::French));
    EXPECT_TRUE(french.weekdayName == "dimanche" && french.monthShortName == "d\xE9"
                                                                             "c.");
    const auto russian = describeDateTime(sunday, QLocale(QLocale::Russian));
    EXPECT_TRUE(russian.weekdayName == "Sunday" && russian.monthShortName == "Dec");
}
