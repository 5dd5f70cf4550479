#include "extension/OutputRecord.h"

#include "eventconfig/ConfigTestSupport.h"
#include "eventconfig/EventConfig.h"

#include <gtest/gtest.h>

#include <cstring>
#include <limits>

using namespace OnlineEvents;
namespace L = OutputRecordLayout;
using VireoTest::RuleOn;

namespace {

template <typename T>
T At(const OutputRecord& record, size_t offset)
{
    T value;
    std::memcpy(&value, record.data() + offset, sizeof value);
    return value;
}

TEST(OutputRecordRules, HalfScaleWithTenPercentHysteresisInBothDirections)
{
    const RuleCounts rising = ConvertRule(50, 10, true);
    EXPECT_EQ(rising.threshold, 16000);
    EXPECT_EQ(rising.hysteresis, 3200);
    EXPECT_EQ(rising.direction, 0);
    const RuleCounts falling = ConvertRule(50, 10, false);
    EXPECT_EQ(falling.threshold, 19200);
    EXPECT_EQ(falling.hysteresis, 3200);
    EXPECT_EQ(falling.direction, 1);
}

TEST(OutputRecordRules, AFallingRuleAtFullScaleKeepsItsThresholdBelowTheLimit)
{
    const RuleCounts counts = ConvertRule(100, 5, false);
    EXPECT_EQ(counts.threshold, 32766);
    EXPECT_EQ(counts.hysteresis, 766);
}

TEST(OutputRecordRules, NegativeLevelsTruncateTowardZero)
{
    const RuleCounts counts = ConvertRule(-12.5, 5, true);
    EXPECT_EQ(counts.threshold, -4000);
    EXPECT_EQ(counts.hysteresis, 1600);
    EXPECT_EQ(ConvertRule(0.0031, 0.0031, true).threshold, 0);
    EXPECT_EQ(ConvertRule(-0.0031, 0, true).threshold, 0);
}

TEST(OutputRecordRules, FallingRulesFollowTheArithmeticAndClampOnlyWhatOverflows)
{
    struct Case {
        double level, hysteresis;
        bool above;
        int32_t threshold, counts;
    };
    const Case cases[] = {
        {101, 1, false, 32640, 320},  // beyond full scale, but nothing overflows
        {150, 5, false, 32766, 0},    // the remaining hysteresis would be negative
        {50, -10, false, 16000, 0},   // negative hysteresis goes out as 0
        {50, -10, true, 16000, 0},
        {100, 5, false, 32766, 766},
        {1e12, 1e12, false, 32766, 0},
    };
    for (const Case& c : cases) {
        const RuleCounts counts = ConvertRule(c.level, c.hysteresis, c.above);
        EXPECT_EQ(c.threshold, counts.threshold) << c.level << " " << c.hysteresis << " " << c.above;
        EXPECT_EQ(c.counts, counts.hysteresis) << c.level << " " << c.hysteresis << " " << c.above;
    }
}

TEST(OutputRecordRules, HugeLevelsHoldAtTheIntegerLimits)
{
    EXPECT_EQ(ConvertRule(1e300, 1e300, true).threshold, std::numeric_limits<int32_t>::max());
    EXPECT_EQ(ConvertRule(1e300, 1e300, true).hysteresis, std::numeric_limits<int32_t>::max());
    EXPECT_EQ(ConvertRule(-1e300, 0, true).threshold, std::numeric_limits<int32_t>::min());
    EXPECT_EQ(ConvertRule(-1e300, 5, false).threshold, std::numeric_limits<int32_t>::min() + 1600);
    EXPECT_EQ(ConvertRule(std::numeric_limits<double>::quiet_NaN(), 5, true).threshold, 0);
}

TEST(OutputRecord, ThreeRulesFillThreeSlotsAndLeaveTheFourthUnused)
{
    OnlineEvent event;
    event.Output = 2;
    event.On = true;
    event.All = false;
    event.LimitedNumPulses = true;
    event.PulseNumLimit = 7;
    event.LimitedDuration = true;
    event.PulseDuration = 0.25;
    event.PulseDelay = 0.5;
    event.RetriggerHoldoff = true;
    event.RetriggerHoldoffTime = 2.0;
    event.Rules = {RuleOn(0).Above(50).Hysteresis(10), RuleOn(1).Below(50).Hysteresis(10),
                   RuleOn(3).Above(-12.5).Hysteresis(5)};
    const OutputRecord r = BuildOutputRecord(event);
    EXPECT_EQ(At<uint32_t>(r, L::SizeField), 112u);
    EXPECT_EQ(At<uint32_t>(r, L::SlotCount), 4u);
    EXPECT_EQ(At<int32_t>(r, L::Output), 2);
    EXPECT_EQ(At<uint32_t>(r, L::Mode), 2u);
    EXPECT_EQ(At<int32_t>(r, L::PulseLimit), 7);
    EXPECT_EQ(At<uint32_t>(r, 20), 0u);
    EXPECT_EQ(At<double>(r, L::PulseWidth), 0.25);
    EXPECT_EQ(At<double>(r, L::PulseDelay), 0.5);
    EXPECT_EQ(At<double>(r, L::Holdoff), 2.0);
    const int32_t expected[3][2] = {{16000, 3200}, {19200, 3200}, {-4000, 1600}};
    const uint8_t inputs[3] = {1, 2, 4};
    for (size_t k = 0; k < 3; ++k) {
        const size_t base = L::Slot(static_cast<unsigned>(k));
        EXPECT_EQ(At<uint32_t>(r, base + L::SlotSizeField), 16u) << k;
        EXPECT_EQ(At<int32_t>(r, base + L::Threshold), expected[k][0]) << k;
        EXPECT_EQ(At<int32_t>(r, base + L::Hysteresis), expected[k][1]) << k;
        EXPECT_EQ(r[base + L::Input], inputs[k]) << k;
        EXPECT_EQ(r[base + L::Direction], k == 1 ? 1 : 0) << k;
        EXPECT_EQ(At<uint16_t>(r, base + 14), 0u) << k;
    }
    EXPECT_EQ(At<uint32_t>(r, L::Slot(3)), 16u);
    for (size_t i = 100; i < 112; ++i)
        EXPECT_EQ(r[i], 0) << i;
}

TEST(OutputRecord, SettingsThatAreSwitchedOffGoOutAsZero)
{
    OnlineEvent event;
    event.Output = -3;
    event.On = true;
    event.All = true;
    event.PulseNumLimit = 9;
    event.PulseDuration = 3;
    event.RetriggerHoldoffTime = 4;
    event.PulseDelay = 0.125;
    const OutputRecord r = BuildOutputRecord(event);
    EXPECT_EQ(At<int32_t>(r, L::Output), -3);
    EXPECT_EQ(At<uint32_t>(r, L::Mode), 1u);
    EXPECT_EQ(At<int32_t>(r, L::PulseLimit), 0);
    EXPECT_EQ(At<double>(r, L::PulseWidth), 0.0);
    EXPECT_EQ(At<double>(r, L::PulseDelay), 0.125);
    EXPECT_EQ(At<double>(r, L::Holdoff), 0.0);
    for (size_t k = 0; k < 4; ++k)
        EXPECT_EQ(r[L::Slot(static_cast<unsigned>(k)) + L::Input], 0) << k;
}

TEST(OutputRecord, AnOutputThatIsOffCarriesOnlyItsFirstFourFields)
{
    OnlineEvent event;
    event.Output = 1;
    event.On = false;
    event.LimitedDuration = true;
    event.PulseDelay = 1;
    event.Rules = {RuleOn(0).Above(50).Hysteresis(10)};
    const OutputRecord r = BuildOutputRecord(event);
    EXPECT_EQ(At<uint32_t>(r, L::SizeField), 112u);
    EXPECT_EQ(At<uint32_t>(r, L::SlotCount), 4u);
    EXPECT_EQ(At<int32_t>(r, L::Output), 1);
    EXPECT_EQ(At<uint32_t>(r, L::Mode), 0u);
    for (size_t i = 16; i < 112; ++i)
        EXPECT_EQ(r[i], 0) << i;
}

TEST(OutputRecord, ANegativeInputGoesOutAsInputZero)
{
    OnlineEvent event;
    event.Output = 1;
    event.On = true;
    event.Rules = {RuleOn(-5).Above(10).Hysteresis(5)};
    EXPECT_EQ(BuildOutputRecord(event)[L::Slot(0) + L::Input], 1);
}

} // namespace
