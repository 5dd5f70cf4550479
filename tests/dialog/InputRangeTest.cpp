// Reading an input's range and unit from the unit's settings text.

#include "dialog/InputRange.h"

#include <gtest/gtest.h>

using OnlineEvents::InputRange;

TEST(InputRange, PhysicalGainIndexGivesRangeAndUnit)
{
    const struct {
        const wchar_t* text;
        const wchar_t* range;
        const wchar_t* unit;
    } cases[] = {
        {L"<Input><PhysicalGainIndex>10 V</PhysicalGainIndex></Input>", L"10", L"V"},
        {L"<Input><Gain>x</Gain><PhysicalGainIndex>200 mV</PhysicalGainIndex></Input>", L"200", L"mV"},
        {L"<Input><PhysicalGainIndex>5 m V</PhysicalGainIndex></Input>", L"5", L"m V"},
        {L"<Input><PhysicalGainIndex>10</PhysicalGainIndex></Input>", L"10", L"10"},
        {L"<Input><PhysicalGainIndex></PhysicalGainIndex></Input>", L"", L""},
        // Only the first such child counts, and only direct children of the root.
        {L"<I><PhysicalGainIndex>2 V</PhysicalGainIndex><PhysicalGainIndex>5 V</PhysicalGainIndex></I>", L"2",
         L"V"},
        {L"<I><A><PhysicalGainIndex>2 V</PhysicalGainIndex></A></I>", L"", L""},
        {L"<I><physicalgainindex>2 V</physicalgainindex></I>", L"", L""},
        {L"<I><PhysicalGainIndex>2 V</I>", L"", L""},
        {L"", L"", L""},
    };
    for (const auto& c : cases) {
        const InputRange got = InputRange::FromSettingsText(QLXString(c.text));
        EXPECT_EQ(c.range, got.range) << c.text;
        EXPECT_EQ(c.unit, got.unit) << c.text;
    }
}
