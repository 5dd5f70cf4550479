// Shaping a configuration after the connected recording unit.

#include "ConfigTestSupport.h"
#include "support/FakeRecordingUnit.h"

#include "eventconfig/EventConfig.h"

#include <gtest/gtest.h>

#include <climits>

using VireoTest::FakeRecordingUnit;

TEST(EventConfigDevice, WithoutAUnitTheConfigurationIsEmptiedAndFalse)
{
    EventConfig config;
    config.SetOutputCounts(2, 2);
    EXPECT_FALSE(config.InitFromDevice(nullptr));
    EXPECT_EQ(0, config.GetCount());
    EXPECT_EQ(0, config.AnalogOutputCount);
    EXPECT_EQ(0, config.DigitalOutputCount);
}

TEST(EventConfigDevice, ShapeFollowsTheUnitWithOneDefaultRuleEach)
{
    FakeRecordingUnit unit;
    unit.inputs = 16;
    unit.analogOutputs = 2;
    unit.groups = {{8}, {4}};
    EventConfig config;
    ASSERT_TRUE(config.InitFromDevice(&unit));
    EXPECT_EQ(16, config.InputCount);
    EXPECT_EQ(2, config.AnalogOutputCount);
    EXPECT_EQ(12, config.DigitalOutputCount);
    EXPECT_EQ(14, config.GetCount());
    EXPECT_EQ(L"Analog Output 1", config.GetEvent(0).Name);
    EXPECT_EQ(L"Digital Output 1", config.GetEvent(2).Name);
    EXPECT_EQ(-12, config.GetEvent(13).Output);
    for (int i = 0; i < config.GetCount(); ++i) {
        ASSERT_EQ(1, config.GetRuleCount(i));
        EXPECT_EQ(0, config.GetEvent(i).Rules[0].Input);
        EXPECT_EQ(5.0, config.GetEvent(i).Rules[0].Hysteresis);
    }
    EXPECT_EQ(0, unit.liveGroups);
}

TEST(EventConfigDevice, AnUnreadableGroupMeansNoDigitalOutputs)
{
    FakeRecordingUnit unit;
    unit.inputs = 4;
    unit.analogOutputs = 1;
    unit.groups = {{8}, {8, S_OK, false}, {8}};
    EventConfig config;
    ASSERT_TRUE(config.InitFromDevice(&unit));
    EXPECT_EQ(1, config.AnalogOutputCount);
    EXPECT_EQ(0, config.DigitalOutputCount);
    EXPECT_EQ(L"Analog Output", config.GetEvent(0).Name);

    unit.groups = {{8}, {8, E_FAIL}};
    ASSERT_TRUE(config.InitFromDevice(&unit));
    EXPECT_EQ(0, config.DigitalOutputCount);
    EXPECT_EQ(0, unit.liveGroups);

    unit.groups = {{8}};
    unit.groupCountStatus = E_FAIL;
    ASSERT_TRUE(config.InitFromDevice(&unit));
    EXPECT_EQ(0, config.DigitalOutputCount);
}

TEST(EventConfigDevice, NegativeCountsFromTheUnitCountAsNone)
{
    FakeRecordingUnit unit;
    unit.inputs = -3;
    unit.analogOutputs = -2;
    unit.groups = {{4}, {-6}, {2}};
    EventConfig config;
    ASSERT_TRUE(config.InitFromDevice(&unit));
    EXPECT_EQ(0, config.InputCount);
    EXPECT_EQ(0, config.AnalogOutputCount);
    EXPECT_EQ(6, config.DigitalOutputCount);
    EXPECT_EQ(6, config.GetCount());
}

TEST(EventConfigDevice, AnImplausiblyLargeUnitIsRefused)
{
    FakeRecordingUnit unit;
    unit.analogOutputs = 1;
    unit.groups = {{INT_MAX}, {INT_MAX}};
    EventConfig config;
    EXPECT_EQ("plain: Online Events: Illegal output count.", VireoTest::Thrown([&] { config.InitFromDevice(&unit); }));
    EXPECT_EQ(0, config.GetCount());
    EXPECT_EQ(0, unit.liveGroups);
}
