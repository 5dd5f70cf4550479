// The configuration model: shape, names, rule limits, output insertion and copying.

#include "ConfigTestSupport.h"

#include "eventconfig/EventConfig.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

using VireoTest::RuleOn;
using VireoTest::Snapshot;
using VireoTest::Thrown;

namespace {

const std::string kSubscript = "out_of_range: invalid vector<T> subscript";
const std::string kRuleLimit = "out_of_range: Online Events: Illegal rule insertion point.";
const std::string kCannotDelete = "out_of_range: Online Events: Can't delete the rule.";
const std::string kIllegalEvent = "plain: Online Events: Illegal event insertion.";

std::vector<int> Outputs(const EventConfig& config)
{
    std::vector<int> outputs;
    for (int i = 0; i < config.GetCount(); ++i)
        outputs.push_back(config.GetEvent(i).Output);
    return outputs;
}

std::vector<std::wstring> Names(const EventConfig& config)
{
    std::vector<std::wstring> names;
    for (int i = 0; i < config.GetCount(); ++i)
        names.push_back(config.GetEvent(i).Name);
    return names;
}

// Rule inputs of one output, to see positions after inserts and deletes.
std::vector<int> RuleInputs(const EventConfig& config, int output)
{
    std::vector<int> inputs;
    for (const OnlineEventRule& rule : config.GetEvent(output).Rules)
        inputs.push_back(rule.Input);
    return inputs;
}

void NumberRules(EventConfig& config, int output)
{
    int n = 10;
    for (OnlineEventRule& rule : config.GetEvent(output).Rules)
        rule.Input = n++;
}

} // namespace

TEST(EventConfigShape, NewConfigurationIsEmpty)
{
    EventConfig config;
    EXPECT_EQ(0, config.GetCount());
    EXPECT_EQ(0, config.AnalogOutputCount);
    EXPECT_EQ(0, config.DigitalOutputCount);
    EXPECT_EQ(0, config.InputCount);
    EXPECT_EQ(kSubscript, Thrown([&] { config.GetEvent(0); }));
}

TEST(EventConfigShape, RecordAndRuleDefaults)
{
    const OnlineEvent record;
    EXPECT_FALSE(record.On);
    EXPECT_EQ(0.001, record.PulseDuration);
    EXPECT_EQ(0.0, record.PulseDelay);
    EXPECT_FALSE(record.LimitedDuration);
    EXPECT_FALSE(record.LimitedNumPulses);
    EXPECT_EQ(1, record.PulseNumLimit);
    EXPECT_FALSE(record.RetriggerHoldoff);
    EXPECT_EQ(0.0, record.RetriggerHoldoffTime);
    EXPECT_TRUE(record.All);
    EXPECT_TRUE(record.Rules.empty());
    EXPECT_EQ(0, record.Output);
    EXPECT_TRUE(record.Name.empty());

    const OnlineEventRule rule;
    EXPECT_EQ(0, rule.Input);
    EXPECT_TRUE(rule.Above);
    EXPECT_EQ(5.0, rule.Hysteresis);
    EXPECT_EQ(0.0, rule.Level);
}

TEST(EventConfigShape, SetOutputCountsNumbersAndNamesEveryOutput)
{
    EventConfig config;
    config.SetOutputCounts(2, 4);
    EXPECT_EQ(2, config.AnalogOutputCount);
    EXPECT_EQ(4, config.DigitalOutputCount);
    EXPECT_EQ(6, config.GetCount());
    EXPECT_EQ((std::vector<int>{1, 2, -1, -2, -3, -4}), Outputs(config));
    EXPECT_EQ((std::vector<std::wstring>{L"Analog Output 1", L"2", L"Digital Output 1", L"2", L"3", L"4"}),
              Names(config));
    for (int i = 0; i < config.GetCount(); ++i)
        EXPECT_EQ(0, config.GetRuleCount(i));
}

TEST(EventConfigShape, SoleAnalogOutputHasNoNumber)
{
    EventConfig config;
    config.SetOutputCounts(1, 1);
    EXPECT_EQ((std::vector<std::wstring>{L"Analog Output", L"Digital Output 1"}), Names(config));
}

TEST(EventConfigShape, SetOutputCountsReplacesEveryRecord)
{
    EventConfig config;
    config.SetOutputCounts(3, 3);
    config.AddDefaultRule();
    config.GetEvent(0).On = true;
    config.SetOutputCounts(1, 2);
    EXPECT_EQ((std::vector<int>{1, -1, -2}), Outputs(config));
    EXPECT_FALSE(config.GetEvent(0).On);
    EXPECT_EQ(0, config.GetRuleCount(0));
}

TEST(EventConfigShape, NegativeOrHugeCountsAreRefusedWithoutChange)
{
    EventConfig config;
    config.SetOutputCounts(1, 2);
    const std::string before = Snapshot(config);
    EXPECT_EQ("plain: Online Events: Illegal output count.", Thrown([&] { config.SetOutputCounts(-1, 2); }));
    EXPECT_EQ("plain: Online Events: Illegal output count.", Thrown([&] { config.SetOutputCounts(1, -1); }));
    EXPECT_EQ("plain: Online Events: Illegal output count.", Thrown([&] { config.SetOutputCounts(INT_MAX, INT_MAX); }));
    EXPECT_EQ("plain: Online Events: Illegal output count.",
              Thrown([&] { config.SetOutputCounts(EventConfig::MaxOutputs, 1); }));
    EXPECT_EQ(before, Snapshot(config));
    config.SetOutputCounts(EventConfig::MaxOutputs - 8, 8);
    EXPECT_EQ(EventConfig::MaxOutputs, config.GetCount());
}

TEST(EventConfigShape, IndexOutsideTheRecordsIsTheSubscriptError)
{
    EventConfig config;
    config.SetOutputCounts(1, 1);
    config.AddDefaultRule();
    const std::string before = Snapshot(config);
    EXPECT_EQ(kSubscript, Thrown([&] { config.GetEvent(2); }));
    EXPECT_EQ(kSubscript, Thrown([&] { config.GetEvent(-1); }));
    EXPECT_EQ(kSubscript, Thrown([&] { config.GetRuleCount(2); }));
    EXPECT_EQ(kSubscript, Thrown([&] { config.CanInsertRule(-1); }));
    EXPECT_EQ(kSubscript, Thrown([&] { config.CanDeleteRule(5); }));
    EXPECT_EQ(kSubscript, Thrown([&] { config.InsertRule(2, -1); }));
    EXPECT_EQ(kSubscript, Thrown([&] { config.DeleteRule(2, 0); }));
    EXPECT_EQ(kSubscript, Thrown([&] { config.SetRule(2, 0, OnlineEventRule()); }));
    EXPECT_EQ(kSubscript, Thrown([&] { config.SetRule(0, 1, OnlineEventRule()); }));
    EXPECT_EQ(kSubscript, Thrown([&] { config.SetRule(0, -1, OnlineEventRule()); }));
    EXPECT_EQ(before, Snapshot(config));
}

TEST(EventConfigRules, AddDefaultRuleGoesToTheFrontOfEveryOutput)
{
    EventConfig config;
    config.SetOutputCounts(1, 1);
    config.AddDefaultRule();
    config.GetEvent(0).Rules[0].Input = 7;
    config.AddDefaultRule();
    EXPECT_EQ((std::vector<int>{0, 7}), RuleInputs(config, 0));
    EXPECT_EQ(2, config.GetRuleCount(1));
}

TEST(EventConfigRules, AddDefaultRuleStopsAtAFullOutputKeepingEarlierRules)
{
    EventConfig config;
    config.SetOutputCounts(1, 2);
    for (int i = 0; i < 4; ++i)
        config.InsertRule(1, -1);
    EXPECT_EQ(kRuleLimit, Thrown([&] { config.AddDefaultRule(); }));
    EXPECT_EQ(1, config.GetRuleCount(0));
    EXPECT_EQ(4, config.GetRuleCount(1));
    EXPECT_EQ(0, config.GetRuleCount(2));
}

TEST(EventConfigRules, InsertRulePlacesTheRuleBehindTheGivenOne)
{
    EventConfig config;
    config.SetOutputCounts(1, 0);
    config.AddDefaultRule();
    config.InsertRule(0, 0);
    NumberRules(config, 0); // 10, 11
    config.InsertRule(0, -1);
    EXPECT_EQ((std::vector<int>{0, 10, 11}), RuleInputs(config, 0));
    config.InsertRule(0, 1);
    EXPECT_EQ((std::vector<int>{0, 10, 0, 11}), RuleInputs(config, 0));
}

TEST(EventConfigRules, FifthInsertIsRefused)
{
    EventConfig config;
    config.SetOutputCounts(1, 0);
    for (int i = 0; i < 4; ++i) {
        EXPECT_TRUE(config.CanInsertRule(0));
        config.InsertRule(0, i - 1);
    }
    EXPECT_FALSE(config.CanInsertRule(0));
    const std::string before = Snapshot(config);
    EXPECT_EQ(kRuleLimit, Thrown([&] { config.InsertRule(0, 3); }));
    EXPECT_EQ(kRuleLimit, Thrown([&] { config.InsertRule(0, -1); }));
    EXPECT_EQ(before, Snapshot(config));
}

TEST(EventConfigRules, InsertPointOutsideTheRulesIsRefused)
{
    EventConfig config;
    config.SetOutputCounts(1, 0);
    config.AddDefaultRule();
    EXPECT_EQ(kRuleLimit, Thrown([&] { config.InsertRule(0, 1); }));
    EXPECT_EQ(kRuleLimit, Thrown([&] { config.InsertRule(0, -2); }));
    EXPECT_EQ(1, config.GetRuleCount(0));
}

TEST(EventConfigRules, DeleteRuleMovesLaterRulesUp)
{
    EventConfig config;
    config.SetOutputCounts(1, 0);
    for (int i = 0; i < 3; ++i)
        config.InsertRule(0, -1);
    NumberRules(config, 0); // 10, 11, 12
    EXPECT_TRUE(config.CanDeleteRule(0));
    config.DeleteRule(0, 1);
    EXPECT_EQ((std::vector<int>{10, 12}), RuleInputs(config, 0));
    config.DeleteRule(0, 1);
    EXPECT_EQ((std::vector<int>{10}), RuleInputs(config, 0));
}

TEST(EventConfigRules, TheLastRuleCannotBeDeleted)
{
    EventConfig config;
    config.SetOutputCounts(1, 1);
    config.InsertRule(0, -1);
    EXPECT_FALSE(config.CanDeleteRule(0));
    EXPECT_FALSE(config.CanDeleteRule(1));
    EXPECT_EQ(kCannotDelete, Thrown([&] { config.DeleteRule(0, 0); }));
    EXPECT_EQ(kCannotDelete, Thrown([&] { config.DeleteRule(1, 0); }));
    EXPECT_EQ(1, config.GetRuleCount(0));
}

TEST(EventConfigRules, DeleteOfAMissingRuleIsTheSubscriptError)
{
    EventConfig config;
    config.SetOutputCounts(1, 0);
    config.InsertRule(0, -1);
    config.InsertRule(0, -1);
    EXPECT_EQ(kSubscript, Thrown([&] { config.DeleteRule(0, 2); }));
    EXPECT_EQ(kSubscript, Thrown([&] { config.DeleteRule(0, -1); }));
    EXPECT_EQ(2, config.GetRuleCount(0));
}

TEST(EventConfigRules, SetRuleOverwritesOneRule)
{
    EventConfig config;
    config.SetOutputCounts(0, 1);
    config.AddDefaultRule();
    config.InsertRule(0, 0);
    config.SetRule(0, 1, RuleOn(3).Below(-20.0).Hysteresis(1.5));
    const OnlineEventRule& stored = config.GetEvent(0).Rules[1];
    EXPECT_EQ(3, stored.Input);
    EXPECT_FALSE(stored.Above);
    EXPECT_EQ(1.5, stored.Hysteresis);
    EXPECT_EQ(-20.0, stored.Level);
    EXPECT_EQ(0, config.GetEvent(0).Rules[0].Input);
}

TEST(EventConfigOutputs, FindOutputGivesTheRecordIndex)
{
    EventConfig config;
    config.SetOutputCounts(2, 2);
    EXPECT_EQ(1, config.FindOutput(2));
    EXPECT_EQ(3, config.FindOutput(-2));
    EXPECT_EQ(-1, config.FindOutput(3));
    EXPECT_EQ(-1, config.FindOutput(0));
}

TEST(EventConfigOutputs, InsertEventKeepsAnalogOutputsInOrder)
{
    EventConfig config;
    config.SetOutputCounts(0, 1);
    config.InsertEvent(3); // named with no analog output yet
    config.InsertEvent(1); // named while exactly one analog output exists
    config.InsertEvent(2);
    EXPECT_EQ((std::vector<int>{1, 2, 3, -1}), Outputs(config));
    EXPECT_EQ((std::vector<std::wstring>{L"Analog Output", L"2", L"3", L"Digital Output 1"}), Names(config));
    EXPECT_EQ(3, config.AnalogOutputCount);
    EXPECT_EQ(1, config.DigitalOutputCount);
    EXPECT_EQ(0, config.GetRuleCount(0));
}

TEST(EventConfigOutputs, InsertEventKeepsDigitalOutputsBehindAnalogOnes)
{
    EventConfig config;
    config.SetOutputCounts(2, 2);
    config.InsertEvent(-5);
    config.InsertEvent(-3);
    config.InsertEvent(4);
    EXPECT_EQ((std::vector<int>{1, 2, 4, -1, -2, -3, -5}), Outputs(config));
    EXPECT_EQ(L"Analog Output 1", config.GetEvent(0).Name);
    EXPECT_EQ(L"3", config.GetEvent(5).Name);
    EXPECT_EQ(L"5", config.GetEvent(6).Name);
    EXPECT_EQ(3, config.AnalogOutputCount);
    EXPECT_EQ(4, config.DigitalOutputCount);

    EventConfig analogOnly;
    analogOnly.SetOutputCounts(2, 0);
    analogOnly.InsertEvent(-1);
    EXPECT_EQ((std::vector<int>{1, 2, -1}), Outputs(analogOnly));
    EXPECT_EQ(L"Digital Output 1", analogOnly.GetEvent(2).Name);
}

TEST(EventConfigOutputs, InsertEventRefusesZeroPresentAndUnnegatableNumbers)
{
    EventConfig config;
    config.SetOutputCounts(1, 1);
    const std::string before = Snapshot(config);
    EXPECT_EQ(kIllegalEvent, Thrown([&] { config.InsertEvent(0); }));
    EXPECT_EQ(kIllegalEvent, Thrown([&] { config.InsertEvent(1); }));
    EXPECT_EQ(kIllegalEvent, Thrown([&] { config.InsertEvent(-1); }));
    EXPECT_EQ(kIllegalEvent, Thrown([&] { config.InsertEvent(INT_MIN); }));
    EXPECT_EQ(before, Snapshot(config));
    config.InsertEvent(INT_MAX);
    config.InsertEvent(-INT_MAX);
    EXPECT_EQ((std::vector<int>{1, INT_MAX, -1, -INT_MAX}), Outputs(config));
}

TEST(EventConfigCopy, CopyWithoutCreationFillsOnlyExistingOutputs)
{
    EventConfig source;
    source.SetOutputCounts(3, 2);
    source.AddDefaultRule();
    source.InputCount = 12;
    OnlineEvent& analog3 = source.GetEvent(2);
    analog3.On = true;
    analog3.PulseDuration = 0.25;
    analog3.PulseNumLimit = 7;
    analog3.All = false;
    analog3.Rules[0].Input = 4;
    source.InsertRule(2, 0);
    source.GetEvent(4).RetriggerHoldoff = true; // output -2

    EventConfig target;
    target.SetOutputCounts(5, 1);
    target.GetEvent(4).On = true; // output 5, absent from the source
    target.CopyFrom(source, false);

    EXPECT_EQ((std::vector<int>{1, 2, 3, 4, 5, -1}), Outputs(target));
    EXPECT_EQ(5, target.AnalogOutputCount);
    EXPECT_EQ(1, target.DigitalOutputCount);
    EXPECT_EQ(0, target.InputCount);
    const OnlineEvent& copied = target.GetEvent(2);
    EXPECT_TRUE(copied.On);
    EXPECT_EQ(0.25, copied.PulseDuration);
    EXPECT_EQ(7, copied.PulseNumLimit);
    EXPECT_FALSE(copied.All);
    EXPECT_EQ((std::vector<int>{4, 0}), RuleInputs(target, 2));
    // Names travel with the records: the source had three analog outputs as well.
    EXPECT_EQ(L"3", copied.Name);
    EXPECT_EQ(1, target.GetRuleCount(0));
    EXPECT_EQ(0, target.GetRuleCount(3));
    EXPECT_TRUE(target.GetEvent(4).On);
}

TEST(EventConfigCopy, CopyWithCreationAddsMissingOutputs)
{
    EventConfig source;
    source.SetOutputCounts(2, 3);
    source.AddDefaultRule();
    source.GetEvent(4).PulseDelay = 0.5; // output -3

    EventConfig target;
    target.CopyFrom(source, true);
    EXPECT_EQ((std::vector<int>{1, 2, -1, -2, -3}), Outputs(target));
    EXPECT_EQ(2, target.AnalogOutputCount);
    EXPECT_EQ(3, target.DigitalOutputCount);
    EXPECT_EQ(Names(source), Names(target));
    EXPECT_EQ(0.5, target.GetEvent(4).PulseDelay);
    EXPECT_EQ(1, target.GetRuleCount(1));
}

TEST(EventConfigCopy, RefusedCopyLeavesTheTargetUnchanged)
{
    EventConfig source;
    source.SetOutputCounts(2, 0);
    source.GetEvent(0).On = true;
    source.GetEvent(1).Output = 0; // a record no operation would make

    EventConfig target;
    target.SetOutputCounts(1, 0);
    const std::string before = Snapshot(target);
    EXPECT_EQ(kIllegalEvent, Thrown([&] { target.CopyFrom(source, true); }));
    EXPECT_EQ(before, Snapshot(target));
}

TEST(EventConfigCopy, CopyingFromItselfChangesNothing)
{
    EventConfig config;
    config.SetOutputCounts(2, 2);
    config.AddDefaultRule();
    config.GetEvent(3).On = true;
    const std::string before = Snapshot(config);
    config.CopyFrom(config, true);
    EXPECT_EQ(before, Snapshot(config));
}
