// The picture fitting the quiz windows share; the grading rules are tested through the player
// and the previewer, which run the shared code under their own rules.
#include "quizrun/fitpicture.h"

#include <gtest/gtest.h>

using namespace examo;

TEST(FittedRect, ShrinksKeepingTheShapeRoundsHalvesToEvenAndCentresDown) {
    struct Case {
        double w, h;
        QRect drawn;
    };
    // A box of 270 by 270.
    for (const Case& c : {Case{201, 100, {34, 85, 201, 100}}, // fits: own size, centred down
                          Case{540, 301, {0, 60, 270, 150}},  // 150.5 rounds to 150
                          Case{303, 540, {59, 0, 152, 270}},  // 151.5 rounds to 152
                          Case{270, 270, {0, 0, 270, 270}}, Case{2700, 27, {0, 133, 270, 3}}}) {
        EXPECT_EQ(FittedRect(c.w, c.h, 270, 270), c.drawn) << c.w << " x " << c.h;
    }
}
