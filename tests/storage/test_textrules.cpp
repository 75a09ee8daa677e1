#include "storage/datetimeformat.h"
#include "storage/textrules.h"

#include <gtest/gtest.h>

using namespace examo::text;

TEST(NumberText, WholeNumbersCarryALeadingBlankUnlessNegative) {
    EXPECT_EQ(Str(0), " 0");
    EXPECT_EQ(Str(3), " 3");
    EXPECT_EQ(Str(-2), "-2");
    EXPECT_EQ(Str(100), " 100");
    EXPECT_EQ(Dec(3), "3");
    EXPECT_EQ(Dec(-2), "-2");
}

TEST(NumberText, ReadingStopsAtTheFirstCharacterThatCannotContinueANumber) {
    const std::pair<const char*, double> cases[] = {
        {" 2", 2},  {"2.5", 2.5}, {"1x", 1},       {"", 0},     {"   ", 0},
        {"abc", 0}, {"  -4", -4}, {"1.2.3", 1.2},  {".5", 0.5}, {"1e3", 1000},
        {"1e", 1},  {"2 3", 2},   {"1e999999", 0}, // no infinity leaks out
    };
    for (const auto& [text, value] : cases)
        EXPECT_EQ(Val(text), value) << '"' << text << '"';
}

TEST(NumberText, RoundingSendsHalvesToTheEvenNeighbour) {
    EXPECT_EQ(RoundHalfEven(12.5), 12.0);
    EXPECT_EQ(RoundHalfEven(13.5), 14.0);
    EXPECT_EQ(RoundHalfEven(2.5), 2.0);
    EXPECT_EQ(RoundHalfEven(-2.5), -2.0);
    EXPECT_EQ(RoundHalfEven(2.6), 3.0);
    EXPECT_EQ(ToInt16(3.5), 4);
    EXPECT_EQ(ToInt16(32767.0), 32767);
    EXPECT_FALSE(ToInt16(32768.0));
    EXPECT_FALSE(ToInt16(-40000.0));
    EXPECT_EQ(WholePart(57.99), 57);
    EXPECT_EQ(WholePart(-0.5), -1);
}

TEST(PathText, TheExtensionIsEverythingAfterTheFirstDotOfTheWholePath) {
    EXPECT_EQ(ExtensionOf("/home/ann/math.exm"), "exm");
    EXPECT_EQ(ExtensionOf("quiz.exm.bak"), "exm.bak");
    EXPECT_EQ(ExtensionOf("/home/class.7/pic.bmp"), "7/pic.bmp");
    EXPECT_EQ(ExtensionOf("noextension"), "noextension");
    EXPECT_EQ(ExtensionOf("trailing."), "");
    EXPECT_TRUE(EqualsNoCase(ExtensionOf("MATH.EXM"), "exm"));
    EXPECT_FALSE(EqualsNoCase("exm", "exm "));
}

TEST(PathText, FoldersEndWithTheirSeparator) {
    EXPECT_EQ(FolderOf("/home/ann/math.exm"), "/home/ann/");
    EXPECT_EQ(FolderOf("math.exm"), "");
    EXPECT_EQ(BareName("/home/ann/dog.bmp"), "dog.bmp");
    EXPECT_EQ(BareName("dog.bmp"), "dog.bmp");
}

TEST(PlainText, TrimmingRemovesBlanksOnly) {
    EXPECT_EQ(Trim("  Math Quiz  "), "Math Quiz");
    EXPECT_EQ(Trim("   "), "");
    EXPECT_EQ(Trim("\tx\t"), "\tx\t");
}

TEST(DateTimePatterns, DateAndTwelveHourTime) {
    examo::LocalDateTime t;
    t.year = 2026;
    t.month = 12;
    t.day = 6;
    t.hour = 9;
    t.minute = 41;
    t.weekdayName = "Sunday";
    t.monthShortName = "Dec";
    EXPECT_EQ(FormatDateTime("dddd, mmm d yyyy", t), "Sunday, Dec 6 2026");
    EXPECT_EQ(FormatDateTime("hh:mm AMPM", t), "09:41 AM");
    t.hour = 0;
    t.minute = 5;
    EXPECT_EQ(FormatDateTime("hh:mm AMPM", t), "12:05 AM");
    t.hour = 12;
    EXPECT_EQ(FormatDateTime("hh:mm AMPM", t), "12:05 PM");
    t.hour = 23;
    t.minute = 59;
    EXPECT_EQ(FormatDateTime("hh:mm AMPM", t), "11:59 PM");
    t.day = 24;
    t.month = 3;
    EXPECT_EQ(FormatDateTime("mm/dd/yyyy", t), "03/24/2026");
}
