// The level arithmetic between percent of full scale and the level controls.

#include "dialog/LevelScale.h"

#include <gtest/gtest.h>

#include <climits>

using OnlineEvents::LeadingInteger;
using OnlineEvents::LevelScale;

TEST(LevelScale, RangeTextGivesItsLeadingInteger)
{
    const struct {
        const wchar_t* text;
        int fullScale;
        double range;
    } cases[] = {
        {L"10", 10, 10},   {L"200", 200, 200}, {L"5x", 5, 5},   {L"", 0, 100},
        {L"mV", 0, 100},   {L"-10", 0, 100},   {L"0", 0, 100},  {L" 10", 0, 100},
    };
    for (const auto& c : cases) {
        const LevelScale scale = LevelScale::FromRangeText(c.text);
        EXPECT_EQ(c.fullScale, scale.FullScale()) << c.text;
        EXPECT_EQ(c.range, scale.Range()) << c.text;
    }
}

TEST(LevelScale, TwentyFivePercentOfTenVoltsIsTwoAndAHalf)
{
    EXPECT_DOUBLE_EQ(2.5, LevelScale(10).ToUnits(25));
    EXPECT_DOUBLE_EQ(50, LevelScale(200).ToUnits(25));
    EXPECT_DOUBLE_EQ(25, LevelScale(200).ToPercent(50));
}

TEST(LevelScale, ZeroRangeEditsInPercentAndKeepsTheLevel)
{
    const LevelScale none(0);
    EXPECT_DOUBLE_EQ(-33.7, none.ToUnits(-33.7));
    EXPECT_DOUBLE_EQ(-33.7, none.ToPercent(none.ToUnits(-33.7)));
}

TEST(LevelScale, PositionTruncatesTowardZeroAndStaysOnTheScale)
{
    EXPECT_EQ(-33, LevelScale::Position(-33.7));
    EXPECT_EQ(33, LevelScale::Position(33.7));
    EXPECT_EQ(100, LevelScale::Position(250));
    EXPECT_EQ(-100, LevelScale::Position(-1e300));
    EXPECT_EQ(0, LevelScale::Position(0.0 / 0.0));
}

TEST(LevelScale, TypedValuesBeyondTheRangeClampToItsEnds)
{
    const LevelScale tenVolts(10);
    const struct {
        double typed;
        bool changed;
        double units;
        double percent;
    } cases[] = {
        {15, true, 10, 100}, {-15, true, -10, -100}, {10, false, 10, 100}, {-3.37, false, -3.37, -33.7},
    };
    for (const auto& c : cases) {
        const LevelScale::Clamped got = tenVolts.ClampTyped(c.typed);
        EXPECT_EQ(c.changed, got.changed) << c.typed;
        EXPECT_DOUBLE_EQ(c.units, got.units) << c.typed;
        EXPECT_NEAR(c.percent, got.percent, 1e-9) << c.typed;
    }
}

TEST(LevelScale, UpDownStepsStopAtTheEnds)
{
    const struct {
        int current, delta;
        bool moves;
        int next;
    } cases[] = {
        {99, 1, true, 100}, {100, 1, true, 100}, {95, 10, true, 100}, {-99, -5, true, -100},
        {0, -1, true, -1},  {-150, 1, false, 0}, {150, -1, false, 0},
    };
    for (const auto& c : cases) {
        int next = 0;
        EXPECT_EQ(c.moves, LevelScale::Step(c.current, c.delta, next)) << c.current << " " << c.delta;
        if (c.moves) {
            EXPECT_EQ(c.next, next) << c.current << " " << c.delta;
        }
    }
}

TEST(LeadingInteger, ReadsTheStartOfTheFirstTwentyNineCharacters)
{
    EXPECT_EQ(0, LeadingInteger(L""));
    EXPECT_EQ(0, LeadingInteger(L"abc"));
    EXPECT_EQ(12, LeadingInteger(L"12.9"));
    EXPECT_EQ(-7, LeadingInteger(L" -7x"));
    EXPECT_EQ(INT_MAX, LeadingInteger(L"99999999999999"));
    EXPECT_EQ(INT_MIN, LeadingInteger(L"-99999999999999"));
    EXPECT_EQ(0, LeadingInteger(std::wstring(29, L' ') + L"5"));
}
