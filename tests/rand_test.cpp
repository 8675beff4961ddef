#include <gtest/gtest.h>

#include "platform/crt_rand.h"

TEST(Rand, FollowsTheClassicRunTimeSequence)
{
    SetFixedSeed(false, 0);
    Srand(1);
    for (int want : {41, 18467, 6334, 26500, 19169, 15724}) EXPECT_EQ(Rand(), want);
    Srand(12345);
    for (int want : {7584, 19164, 25795, 22125, 5828, 23405}) EXPECT_EQ(Rand(), want);
}

TEST(Rand, StaysInRangeAndAFixedSeedOverridesTheClock)
{
    Srand(0xDEADBEEF);
    for (int i = 0; i < 100000; ++i) {
        int r = Rand();
        ASSERT_GE(r, 0);
        ASSERT_LE(r, kRandMax);
    }
    SetFixedSeed(true, 12345);
    Srand(987654);  // the clock's value is ignored
    EXPECT_EQ(Rand(), 7584);
    SetFixedSeed(false, 0);
    Srand(1);
    EXPECT_EQ(Rand(), 41);
}
