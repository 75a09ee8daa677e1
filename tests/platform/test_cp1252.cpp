#include "platform/cp1252.h"
#include "platform/twips.h"

#include <gtest/gtest.h>

using namespace examo;

TEST(Cp1252, EveryByteSurvivesARoundTripThroughUtf8) {
    std::string all;
    for (int i = 0; i < 256; ++i)
        all += static_cast<char>(i);
    const auto utf8 = cp1252::toUtf8(all);
    const auto back = cp1252::fromUtf8(utf8);
    ASSERT_TRUE(back.ok());
    EXPECT_EQ(back.bytes, all);
}

TEST(Cp1252, LettersOfTheWesternLanguagesMapToTheirCodes) {
    EXPECT_EQ(cp1252::toUtf8("\xC8ric \x80 \xA9"), "Èric € ©");
    EXPECT_EQ(cp1252::fromUtf8("Ïsabel – “quoted”").bytes, "\xCFsabel \x96 \x93quoted\x94");
}

TEST(Cp1252, CharactersItCannotHoldAreReportedNotReplaced) {
    const auto r = cp1252::fromUtf8("Zoë and Łukasz");
    EXPECT_FALSE(r.ok());
    EXPECT_EQ(*r.unencodable, U'Ł');
    EXPECT_FALSE(cp1252::fromUtf8("日本").ok());
    EXPECT_FALSE(cp1252::fromUtf8("\xC3").ok()); // truncated UTF-8
}

TEST(Twips, FifteenTwipsToThePixelAndOutOfSightStaysLeft) {
    EXPECT_EQ(twipsToPixels(4320), 288);
    EXPECT_EQ(twipsToPixels(4095), 273);
    EXPECT_EQ(twipsToPixels(-20000), -1334);
    EXPECT_EQ(pixelsToTwips(288), 4320);
    EXPECT_EQ(rgb(53, 53, 255), 0x3535FFu);
}
