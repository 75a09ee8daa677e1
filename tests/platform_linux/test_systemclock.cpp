#include "platform/linux/systemclock.h"

#include <QDateTime>
#include <QLocale>

#include <gtest/gtest.h>

TEST(SystemClock, ReadingsAreInRangeAndNamesAreWindows1252OrEnglishWhenItCannotHoldThem) {
    examo::SystemClock clock;
    const double timer = clock.timer(), before = clock.monotonicSeconds();
    EXPECT_TRUE(timer >= 0.0 && timer < 86400.0) << timer;
    EXPECT_GE(clock.monotonicSeconds(), before);
    const examo::LocalDateTime now = clock.now(); // the tests run in the C locale
    EXPECT_EQ(now.weekdayName, QLocale::c().dayName(now.dayOfWeek).toStdString());

    const QDateTime sunday(QDate(2026, 12, 6), QTime(14, 5, 9));
    const auto c = examo::describeDateTime(sunday, QLocale::c());
    EXPECT_TRUE(c.dayOfWeek == 7 && c.hour == 14 && c.weekdayName == "Sunday" &&
                c.monthShortName == "Dec" && c.amText == "AM" && c.pmText == "PM");
    const auto french = examo::describeDateTime(sunday, QLocale(QLocale::French));
    EXPECT_TRUE(french.weekdayName == "dimanche" && french.monthShortName == "d\xE9"
                                                                             "c.");
    EXPECT_EQ(examo::describeDateTime(sunday, QLocale(QLocale::Russian)).weekdayName, "Sunday");
}
