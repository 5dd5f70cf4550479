// The detection model over analytic signals, fed with records as the document builds them.

#include "eventconfig/ConfigTestSupport.h"
#include "eventconfig/EventConfig.h"
#include "support/FakeRecordingUnit.h"
#include "extension/OnlineEventsDoc.h"
#include "extension/OutputRecord.h"
#include "preview/OutputModel.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <functional>
#include <vector>

using namespace OnlineEvents;
using VireoTest::RuleOn;

namespace {

constexpr double Rate = 10000.0;
constexpr double Pi = 3.14159265358979323846;

// A fixed-width pulse output (width 0 makes a level output).
OnlineEvent Output(std::vector<OnlineEventRule> rules, double width = 0.001, bool all = true)
{
    OnlineEvent event;
    event.On = true;
    event.Output = 1;
    event.All = all;
    event.LimitedDuration = width > 0.0;
    event.PulseDuration = width;
    event.Rules = std::move(rules);
    return event;
}

ModelOutput Read(const OnlineEvent& event)
{
    const OutputRecord record = BuildOutputRecord(event);
    ModelOutput output;
    EXPECT_TRUE(ReadOutputRecord(record.data(), output));
    return output;
}

// Channels of `seconds` at Rate, each sample in counts from its function of time.
struct Signals {
    std::vector<int32_t> samples;
    SignalView view;
    Signals(double seconds, const std::vector<std::function<double(double)>>& channels)
    {
        const size_t count = static_cast<size_t>(std::lround(seconds * Rate));
        for (const auto& f : channels)
            for (size_t i = 0; i < count; ++i)
                samples.push_back(static_cast<int32_t>(std::lround(f(static_cast<double>(i) / Rate))));
        view = {samples.data(), channels.size(), count, Rate};
    }
};

std::vector<Activity> Simulate(const OnlineEvent& event, const Signals& signals)
{
    return RunModel({Read(event)}, signals.view);
}

// 16000 counts (half of full scale) at 2 Hz.
double Sine(double t)
{
    return 16000.0 * std::sin(2 * Pi * 2 * t);
}

// Rises every 0.1 s from -10000 to 10000 counts.
double Square10Hz(double t)
{
    return std::lround(t * Rate) % 1000 < 500 ? 10000.0 : -10000.0;
}

// A recording unit that keeps the records it is sent.
class RecordingUnit : public VireoTest::FakeRecordingUnit, public IOnlineEventControl {
public:
    std::vector<OutputRecord> records;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override
    {
        if (IsEqualIID(iid, IID_IOnlineEventControl)) {
            *object = static_cast<IOnlineEventControl*>(this);
            return S_OK;
        }
        return FakeRecordingUnit::QueryInterface(iid, object);
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE IsSupported(SHORT* supported) override { return *supported = 1, S_OK; }
    HRESULT STDMETHODCALLTYPE IsActive(SHORT* active) override { return *active = 1, S_OK; }
    HRESULT STDMETHODCALLTYPE GetOutputLimits(OutputLimits*) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE SetOutput(const void* record) override
    {
        records.emplace_back();
        std::memcpy(records.back().data(), record, OutputRecordLayout::Size);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SwitchOff() override { return S_OK; }
};

} // namespace

TEST(OutputModel, SinePulsesStartWithinOneSampleOfTheRisingCrossings)
{
    // Level 25 % is 8000 counts: the sine rises through it at 1/24 s and 1/24 + 1/2 s.
    const Signals signals(1.0, {Sine});
    const std::vector<Activity> pulses = Simulate(Output({RuleOn(0).Above(25).Hysteresis(5)}, 0.01), signals);
    ASSERT_EQ(pulses.size(), 2u);
    for (size_t k = 0; k < 2; ++k) {
        const double crossing = 1.0 / 24 + 0.5 * static_cast<double>(k);
        EXPECT_NEAR(pulses[k].start, crossing, 1.0 / Rate);
        EXPECT_NEAR(pulses[k].end - pulses[k].start, 0.01, 1e-12);
    }
}

TEST(OutputModel, LevelOutputIsOnFromTheRiseToTheFallBelowTheBand)
{
    // On at 8000 counts going up, off below 8000 - 1600 going down.
    const Signals signals(0.5, {Sine});
    const std::vector<Activity> levels = Simulate(Output({RuleOn(0).Above(25).Hysteresis(5)}, 0.0), signals);
    ASSERT_EQ(levels.size(), 1u);
    const double on = std::asin(0.5) / (4 * Pi);
    const double off = (Pi - std::asin(0.4)) / (4 * Pi);
    EXPECT_NEAR(levels[0].start, on, 1.0 / Rate);
    EXPECT_NEAR(levels[0].end, off, 1.0 / Rate);
}

TEST(OutputModel, HysteresisSuppressesChatterOfANoisySignalCrossingOnce)
{
    // A slow ramp through 8000 counts with noise of about 400 counts.
    uint32_t seed = 12345;
    auto noisyRamp = [&seed](double t) {
        seed = seed * 1664525u + 1013904223u;
        const double noise = (static_cast<double>(seed >> 8) / 16777216.0 - 0.5) * 1400.0;
        return 16000.0 * t + noise;
    };
    const Signals signals(1.0, {noisyRamp});
    struct Case {
        double hysteresis;
        bool chatters;
    } cases[] = {{0.0, true}, {10.0, false}};
    for (const Case& c : cases) {
        const std::vector<Activity> pulses = Simulate(Output({RuleOn(0).Above(25).Hysteresis(c.hysteresis)}), signals);
        if (c.chatters)
            EXPECT_GT(pulses.size(), 3u) << c.hysteresis;
        else
            ASSERT_EQ(pulses.size(), 1u) << c.hysteresis;
        EXPECT_NEAR(pulses[0].start, 0.5, 0.05);
    }
}

TEST(OutputModel, DelayShiftsPulsesAndLevels)
{
    const Signals signals(1.0, {Square10Hz});
    for (double width : {0.002, 0.0}) {
        OnlineEvent event = Output({RuleOn(0).Above(10).Hysteresis(5)}, width);
        const std::vector<Activity> plain = Simulate(event, signals);
        event.PulseDelay = 0.025;
        const std::vector<Activity> delayed = Simulate(event, signals);
        ASSERT_EQ(delayed.size(), plain.size());
        for (size_t k = 0; k < plain.size(); ++k) {
            EXPECT_NEAR(delayed[k].start, plain[k].start + 0.025, 1e-9);
            EXPECT_NEAR(delayed[k].end, plain[k].end + 0.025, 1e-9);
        }
    }
}

TEST(OutputModel, HoldoffDropsRisesAndTheCountLimitStopsPulses)
{
    const Signals signals(1.0, {Square10Hz});
    struct Case {
        bool holdoff;
        double wait;
        bool limited;
        int limit;
        std::vector<double> starts;
    } cases[] = {
        {false, 0.0, false, 1, {0, 0.1, 0.2, 0.3, 0.4, 0.5, 0.6, 0.7, 0.8, 0.9}},
        {true, 0.25, false, 1, {0, 0.3, 0.6, 0.9}},
        {true, 0.2, false, 1, {0, 0.2, 0.4, 0.6, 0.8}},
        {false, 0.0, true, 3, {0, 0.1, 0.2}},
        {true, 0.25, true, 2, {0, 0.3}},
    };
    for (const Case& c : cases) {
        OnlineEvent event = Output({RuleOn(0).Above(10).Hysteresis(5)}, 0.005);
        event.RetriggerHoldoff = c.holdoff;
        event.RetriggerHoldoffTime = c.wait;
        event.LimitedNumPulses = c.limited;
        event.PulseNumLimit = c.limit;
        const std::vector<Activity> pulses = Simulate(event, signals);
        ASSERT_EQ(pulses.size(), c.starts.size()) << c.wait << " " << c.limit;
        for (size_t k = 0; k < pulses.size(); ++k)
            EXPECT_NEAR(pulses[k].start, c.starts[k], 1e-9);
    }
}

TEST(OutputModel, LevelOutputCountLimitCountsTurningOn)
{
    const Signals signals(1.0, {Square10Hz});
    OnlineEvent event = Output({RuleOn(0).Above(10).Hysteresis(5)}, 0.0);
    event.LimitedNumPulses = true;
    event.PulseNumLimit = 2;
    const std::vector<Activity> levels = Simulate(event, signals);
    ASSERT_EQ(levels.size(), 2u);
    EXPECT_NEAR(levels[1].start, 0.1, 1e-9);
    EXPECT_NEAR(levels[1].end, 0.15, 1e-9);
}

TEST(OutputModel, AllNeedsEveryRuleAndAnyOneOfThem)
{
    // Input 1 high during [0, 0.5), input 2 high during [0.25, 0.75).
    auto first = [](double t) { return t < 0.5 ? 10000.0 : -10000.0; };
    auto second = [](double t) { return t >= 0.25 && t < 0.75 ? 10000.0 : -10000.0; };
    const Signals signals(1.0, {first, second});
    const std::vector<OnlineEventRule> rules = {RuleOn(0).Above(10).Hysteresis(5), RuleOn(1).Above(10).Hysteresis(5)};
    const std::vector<Activity> all = Simulate(Output(rules, 0.0, true), signals);
    const std::vector<Activity> any = Simulate(Output(rules, 0.0, false), signals);
    ASSERT_EQ(all.size(), 1u);
    EXPECT_NEAR(all[0].start, 0.25, 1e-9);
    EXPECT_NEAR(all[0].end, 0.5, 1e-9);
    ASSERT_EQ(any.size(), 1u);
    EXPECT_NEAR(any[0].start, 0.0, 1e-9);
    EXPECT_NEAR(any[0].end, 0.75, 1e-9);
}

TEST(OutputModel, BelowRuleTurnsTrueAtTheBandsLowerEdgeAndFalseAboveTheThreshold)
{
    // Level 25 %, hysteresis 5 %: true at or below 8000, false above 9600.
    auto ramp = [](double t) { return t < 0.5 ? 20000.0 - 40000.0 * t : 40000.0 * t - 20000.0; };
    const Signals signals(1.0, {ramp});
    const std::vector<Activity> levels = Simulate(Output({RuleOn(0).Below(25).Hysteresis(5)}, 0.0), signals);
    ASSERT_EQ(levels.size(), 1u);
    EXPECT_NEAR(levels[0].start, 0.3, 1.0 / Rate);
    EXPECT_NEAR(levels[0].end, 0.74, 1.5 / Rate);
}

TEST(OutputModel, OutputThatIsOffNeverFires)
{
    OnlineEvent event = Output({RuleOn(0).Above(10).Hysteresis(5)});
    event.On = false;
    const ModelOutput output = Read(event);
    EXPECT_EQ(output.mode, 0u);
    EXPECT_TRUE(RunModel({output}, Signals(1.0, {Square10Hz}).view).empty());
}

TEST(OutputModel, ActivityStillOnAtTheEndStopsThere)
{
    auto high = [](double) { return 10000.0; };
    OnlineEvent event = Output({RuleOn(0).Above(10).Hysteresis(5)}, 0.0);
    event.PulseDelay = 0.1;
    const std::vector<Activity> levels = Simulate(event, Signals(0.5, {high}));
    ASSERT_EQ(levels.size(), 1u);
    EXPECT_NEAR(levels[0].start, 0.1, 1e-12);
    EXPECT_NEAR(levels[0].end, 0.5, 1e-12);
}

TEST(OutputModel, RuleOnAnInputTheUnitLacksWatchesInputOneAsTheRecordSays)
{
    EventConfig config;
    config.SetOutputCounts(1, 0);
    config.AddDefaultRule();
    config.GetEvent(0) = Output({RuleOn(6).Above(10).Hysteresis(5)}, 0.0);
    RecordingUnit unit;
    unit.inputs = 4;
    unit.analogOutputs = 1;
    ASSERT_TRUE(Doc::ApplyToUnit(config, &unit));
    ASSERT_EQ(unit.records.size(), 1u);
    ModelOutput output;
    ASSERT_TRUE(ReadOutputRecord(unit.records[0].data(), output));
    ASSERT_EQ(output.rules.size(), 1u);
    EXPECT_EQ(output.rules[0].input, 0);
    // Only input 1 moves; inputs 2 to 7 stay low.
    std::vector<std::function<double(double)>> channels(7, [](double) { return -10000.0; });
    channels[0] = [](double t) { return t >= 0.5 ? 10000.0 : -10000.0; };
    const std::vector<Activity> levels = RunModel({output}, Signals(1.0, channels).view);
    ASSERT_EQ(levels.size(), 1u);
    EXPECT_NEAR(levels[0].start, 0.5, 1e-9);
}

TEST(OutputModel, InputBeyondTheSignalsReadsZero)
{
    const Signals signals(0.2, {Square10Hz});
    // Above -10 % holds for 0 counts from the first sample; above 10 % never does.
    EXPECT_EQ(Simulate(Output({RuleOn(3).Above(-10).Hysteresis(5)}, 0.0), signals).size(), 1u);
    EXPECT_TRUE(Simulate(Output({RuleOn(3).Above(10).Hysteresis(5)}, 0.0), signals).empty());
}

TEST(OutputModel, RecordWithWrongSizesOrModeIsRefused)
{
    OutputRecord record = BuildOutputRecord(Output({RuleOn(0).Above(10).Hysteresis(5)}));
    ModelOutput output;
    namespace L = OutputRecordLayout;
    for (size_t offset : {L::SizeField, L::SlotCount, L::Mode, L::Slot(0) + L::SlotSizeField}) {
        OutputRecord bad = record;
        bad[offset] = 99;
        EXPECT_FALSE(ReadOutputRecord(bad.data(), output)) << offset;
    }
}

TEST(OutputModel, FeedingBlocksOfAnySizeGivesTheActivitiesOfOneRun)
{
    // Noisy sines on two inputs; pulses with hold-off and delay, a level, any of two
    // rules, a falling rule and one on an input beyond the signals.
    uint32_t seed = 7;
    auto noisy = [&seed](double frequency) {
        return [&seed, frequency](double t) {
            seed = seed * 1664525u + 1013904223u;
            return 16000.0 * std::sin(2 * Pi * frequency * t) +
                   (static_cast<double>(seed >> 8) / 16777216.0 - 0.5) * 3000;
        };
    };
    const Signals signals(1.5, {noisy(3), noisy(7)});
    OnlineEvent holdoff = Output({RuleOn(0).Above(20).Hysteresis(0)}, 0.004);
    holdoff.RetriggerHoldoff = true;
    holdoff.RetriggerHoldoffTime = 0.03;
    OnlineEvent level = Output({RuleOn(1).Below(-10).Hysteresis(5)}, 0.0);
    level.PulseDelay = 0.02;
    OnlineEvent any = Output({RuleOn(0).Above(40).Hysteresis(2), RuleOn(1).Above(30).Hysteresis(0)}, 0.05, false);
    OnlineEvent beyond = Output({RuleOn(0).Above(10).Hysteresis(5), RuleOn(5).Below(0).Hysteresis(5)}, 0.0);
    const std::vector<ModelOutput> outputs = {Read(holdoff), Read(level), Read(any), Read(beyond)};
    const std::vector<Activity> whole = RunModel(outputs, signals.view);
    ASSERT_GT(whole.size(), 20u);
    const size_t count = signals.view.count;
    for (size_t block : {size_t{1}, size_t{63}, size_t{4096}, size_t{5000}}) {
        ModelStream stream(outputs, 2, Rate);
        std::vector<int32_t> part;
        for (size_t from = 0; from < count; from += block) {
            const size_t n = std::min(block, count - from);
            part.clear();
            for (size_t input = 0; input < 2; ++input)
                part.insert(part.end(), signals.samples.begin() + input * count + from,
                            signals.samples.begin() + input * count + from + n);
            stream.Feed(part.data(), n);
        }
        const std::vector<Activity> fed = stream.Finish();
        ASSERT_EQ(fed.size(), whole.size()) << block;
        for (size_t k = 0; k < fed.size(); ++k) {
            EXPECT_EQ(fed[k].record, whole[k].record) << block << " " << k;
            EXPECT_EQ(fed[k].start, whole[k].start) << block << " " << k;
            EXPECT_EQ(fed[k].end, whole[k].end) << block << " " << k;
        }
    }
}
