// The text settings form: exact layout, number formats, round trips and parse failures.

#include "ConfigTestSupport.h"

#include "eventconfig/EventConfig.h"
#include "eventconfig/SettingsReader.h"
#include "foundation/XQLX.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <locale>
#include <sstream>
#include <string>
#include <utility>

using VireoTest::RuleOn;
using VireoTest::Snapshot;
using VireoTest::Thrown;

namespace {

const char kEmptyText[] = "Version = 1\nAnalogOutputCount = 0\nDigitalOutputCount = 0\n";

const char kOneAnalogOutputText[] = "Version = 1\n"
                                    "AnalogOutputCount = 1\n"
                                    "DigitalOutputCount = 0\n"
                                    "BeginOnlineEvent\n"
                                    "Version = 1\n"
                                    "Output = 1\n"
                                    "On = 0\n"
                                    "PulseDuration = 0.001\n"
                                    "PulseDelay = 0\n"
                                    "RetriggerHoldoffTime = 0\n"
                                    "LimitedDuration = 0\n"
                                    "LimitedNumPulses = 0\n"
                                    "RetriggerHoldoff = 0\n"
                                    "PulseNumLimit = 1\n"
                                    "All = 1\n"
                                    "RuleCount = 1\n"
                                    "BeginOnlineEventRule\n"
                                    "Version = 1\n"
                                    "Input = 0\n"
                                    "Above = 1\n"
                                    "Hysteresis = 5\n"
                                    "Level = 0\n"
                                    "EndOnlineEventRule\n"
                                    "EndOnlineEvent\n";

std::string Written(const EventConfig& config)
{
    std::string text;
    EXPECT_TRUE(config.Serialize(text));
    return text;
}

// An output block as the writer lays it out, with the given output, rule count and rule inputs.
std::string Block(int output, int ruleCount, const std::string& rules, const char* on = "0")
{
    return "BeginOnlineEvent\nVersion = 1\nOutput = " + std::to_string(output) + "\nOn = " + on +
           "\nPulseDuration = 0.001\nPulseDelay = 0\nRetriggerHoldoffTime = 0\nLimitedDuration = 0\n"
           "LimitedNumPulses = 0\nRetriggerHoldoff = 0\nPulseNumLimit = 1\nAll = 1\nRuleCount = " +
           std::to_string(ruleCount) + "\n" + rules + "EndOnlineEvent\n";
}

std::string RuleBlock(int input)
{
    return "BeginOnlineEventRule\nVersion = 1\nInput = " + std::to_string(input) +
           "\nAbove = 1\nHysteresis = 5\nLevel = 0\nEndOnlineEventRule\n";
}

std::string Header(int analog, int digital)
{
    return "Version = 1\nAnalogOutputCount = " + std::to_string(analog) +
           "\nDigitalOutputCount = " + std::to_string(digital) + "\n";
}

// A configuration exercising every field with values of at most six significant digits.
EventConfig RichConfig()
{
    EventConfig config;
    config.SetOutputCounts(2, 3);
    config.AddDefaultRule();
    OnlineEvent& a = config.GetEvent(1);
    a.On = true;
    a.PulseDuration = 0.0125;
    a.PulseDelay = 1e-05;
    a.LimitedDuration = true;
    a.LimitedNumPulses = true;
    a.PulseNumLimit = 250;
    a.RetriggerHoldoff = true;
    a.RetriggerHoldoffTime = 1.5e+06;
    a.All = false;
    config.InsertRule(1, 0);
    config.InsertRule(1, 1);
    config.SetRule(1, 2, RuleOn(15).Below(-87.5).Hysteresis(0.25));
    config.GetEvent(3).On = true;
    config.GetEvent(3).Rules[0].Level = 33.3333;
    config.InsertRule(4, 0);
    config.InsertRule(4, 0);
    config.InsertRule(4, 0);
    return config;
}

} // namespace

TEST(SettingsTextWrite, EmptyConfigurationIsThreeLines)
{
    EXPECT_EQ(kEmptyText, Written(EventConfig()));
}

TEST(SettingsTextWrite, OneDefaultAnalogOutputIsTwentyFourLines)
{
    EventConfig config;
    config.SetOutputCounts(1, 0);
    config.AddDefaultRule();
    EXPECT_EQ(kOneAnalogOutputText, Written(config));
}

TEST(SettingsTextWrite, DigitalOutputsAreWrittenWithNegativeNumbers)
{
    EventConfig config;
    config.SetOutputCounts(1, 2);
    EXPECT_EQ(Header(1, 2) + Block(1, 0, "") + Block(-1, 0, "") + Block(-2, 0, ""), Written(config));
}

TEST(SettingsTextWrite, RealsUseSixSignificantDigitsInTheClassicLocale)
{
    EventConfig config;
    config.SetOutputCounts(1, 0);
    config.AddDefaultRule();
    OnlineEvent& event = config.GetEvent(0);
    event.PulseDuration = 0.00001;
    event.PulseDelay = 1234567;
    event.RetriggerHoldoffTime = 0.1234567;
    event.Rules[0].Hysteresis = 2.5;
    event.Rules[0].Level = -100;
    const std::string text = Written(config);
    EXPECT_NE(std::string::npos, text.find("\nPulseDuration = 1e-05\n"));
    EXPECT_NE(std::string::npos, text.find("\nPulseDelay = 1.23457e+06\n"));
    EXPECT_NE(std::string::npos, text.find("\nRetriggerHoldoffTime = 0.123457\n"));
    EXPECT_NE(std::string::npos, text.find("\nHysteresis = 2.5\n"));
    EXPECT_NE(std::string::npos, text.find("\nLevel = -100\n"));
}

TEST(SettingsTextWrite, ReplacesTheCallersText)
{
    std::string text = "previous content";
    EXPECT_TRUE(EventConfig().Serialize(text));
    EXPECT_EQ(kEmptyText, text);
}

TEST(SettingsTextWrite, CountsCoveringTooFewRecordsAreAnInternalError)
{
    EventConfig config;
    config.SetOutputCounts(2, 1);
    config.AnalogOutputCount = 1;
    std::string text = "untouched";
    try {
        config.Serialize(text);
        ADD_FAILURE() << "no error";
    } catch (const XQLX& error) {
        EXPECT_EQ(XQLX::GenericCode, error.Code());
        EXPECT_STREQ("Online Events: Inconsistent internal state (serialize)", error.what());
    }
    config.AnalogOutputCount = -1;
    config.DigitalOutputCount = 4;
    EXPECT_THROW(config.Serialize(text), XQLX);
    EXPECT_EQ("untouched", text);
}

TEST(SettingsTextWrite, CountsBeyondTheRecordsAreTheSubscriptError)
{
    EventConfig config;
    config.SetOutputCounts(1, 1);
    config.DigitalOutputCount = 3;
    std::string text = "untouched";
    EXPECT_EQ("out_of_range: invalid vector<T> subscript", Thrown([&] { config.Serialize(text); }));
    EXPECT_EQ("untouched", text);
}

TEST(SettingsTextRoundTrip, EmptyTextReadsBackAndWritesIdentically)
{
    EventConfig config;
    ASSERT_TRUE(config.Parse(kEmptyText));
    EXPECT_EQ(0, config.GetCount());
    EXPECT_EQ(kEmptyText, Written(config));
}

TEST(SettingsTextRoundTrip, WriteReadWriteIsByteIdentical)
{
    const std::string first = Written(RichConfig());
    EventConfig read;
    ASSERT_TRUE(read.Parse(first));
    EXPECT_EQ(first, Written(read));
}

TEST(SettingsTextRoundTrip, ReadConfigurationEqualsTheWrittenOne)
{
    const EventConfig written = RichConfig();
    EventConfig read;
    ASSERT_TRUE(read.Parse(Written(written)));
    // Names are not in the text; reading rebuilds them the way SetOutputCounts names.
    EXPECT_EQ(Snapshot(written), Snapshot(read));
    const OnlineEvent& event = read.GetEvent(1);
    EXPECT_EQ(1e-05, event.PulseDelay);
    EXPECT_EQ(1.5e+06, event.RetriggerHoldoffTime);
    EXPECT_EQ(250, event.PulseNumLimit);
    EXPECT_FALSE(event.All);
    ASSERT_EQ(3, read.GetRuleCount(1));
    EXPECT_EQ(15, event.Rules[2].Input);
    EXPECT_FALSE(event.Rules[2].Above);
    EXPECT_EQ(0.25, event.Rules[2].Hysteresis);
    EXPECT_EQ(-87.5, event.Rules[2].Level);
    EXPECT_EQ(33.3333, read.GetEvent(3).Rules[0].Level);
    EXPECT_EQ(4, read.GetRuleCount(4));
}

TEST(SettingsTextRoundTrip, MoreThanSixDigitsComeBackRounded)
{
    EventConfig config;
    config.SetOutputCounts(0, 1);
    config.GetEvent(0).PulseDuration = 0.1234567;
    EventConfig read;
    ASSERT_TRUE(read.Parse(Written(config)));
    EXPECT_EQ(0.123457, read.GetEvent(0).PulseDuration);
}

TEST(SettingsTextRoundTrip, ChangedRuleInputSurvives)
{
    EventConfig source;
    source.SetOutputCounts(1, 0);
    source.AddDefaultRule();
    source.GetEvent(0).Rules[0].Input = 2;
    EventConfig read;
    ASSERT_TRUE(read.Parse(Written(source)));
    ASSERT_EQ(1, read.GetRuleCount(0));
    EXPECT_EQ(2, read.GetEvent(0).Rules[0].Input);
    EXPECT_EQ(L"Analog Output", read.GetEvent(0).Name);
}

TEST(SettingsTextRead, OtherVersionGivesAnEmptyConfigurationAndTrue)
{
    EventConfig config;
    config.SetOutputCounts(2, 2);
    config.InputCount = 8;
    EXPECT_TRUE(config.Parse("Version = 2\nAnalogOutputCount = 1\nDigitalOutputCount = 0\n" + Block(1, 0, "")));
    EXPECT_EQ(0, config.GetCount());
    EXPECT_EQ(0, config.AnalogOutputCount);
    EXPECT_EQ(8, config.InputCount);
}

TEST(SettingsTextRead, UnreadableVersionIsAFailure)
{
    EventConfig config;
    EXPECT_FALSE(config.Parse("Version = x\nAnalogOutputCount = 0\nDigitalOutputCount = 0\n"));
    EXPECT_FALSE(config.Parse(""));
    EXPECT_EQ(0, config.GetCount());
}

TEST(SettingsTextRead, ExtraWhiteSpaceBetweenTokensIsAccepted)
{
    const std::string text = "\r\n\n  Version \t=\t 1\r\n\r\nAnalogOutputCount   =   1\r\n"
                             "\tDigitalOutputCount = 1\r\n \v\f"
                             "BeginOnlineEvent\r\nVersion = 1\r\nOutput = 1\r\nOn = 1\r\n"
                             "PulseDuration = 0.5\r\nPulseDelay = 0\r\nRetriggerHoldoffTime = 0\r\n"
                             "LimitedDuration = 0\r\nLimitedNumPulses = 1\r\nRetriggerHoldoff = 0\r\n"
                             "PulseNumLimit    =\t3\r\nAll = 0\r\n\r\nRuleCount = 1\r\n"
                             "  BeginOnlineEventRule\r\n\tVersion = 1\r\n\tInput = 6\r\n\tAbove = 0\r\n"
                             "\tHysteresis = 1\r\n\tLevel = 12.5\r\n  EndOnlineEventRule\r\n"
                             "EndOnlineEvent\r\n" +
                             Block(-1, 0, "") + "\r\n\r\n";
    EventConfig config;
    ASSERT_TRUE(config.Parse(text));
    ASSERT_EQ(2, config.GetCount());
    const OnlineEvent& event = config.GetEvent(0);
    EXPECT_TRUE(event.On);
    EXPECT_EQ(0.5, event.PulseDuration);
    EXPECT_TRUE(event.LimitedNumPulses);
    EXPECT_EQ(3, event.PulseNumLimit);
    EXPECT_FALSE(event.All);
    ASSERT_EQ(1, config.GetRuleCount(0));
    EXPECT_EQ(6, event.Rules[0].Input);
    EXPECT_FALSE(event.Rules[0].Above);
    EXPECT_EQ(12.5, event.Rules[0].Level);
}

TEST(SettingsTextRead, TextAfterTheLastBlockIsIgnored)
{
    EventConfig config;
    EXPECT_TRUE(config.Parse(Header(0, 1) + Block(-1, 0, "") + "anything at all = 5\n"));
    EXPECT_EQ(1, config.GetCount());
}

TEST(SettingsTextRead, FiveRuleBlocksFailAfterKeepingFour)
{
    std::string rules;
    for (int i = 0; i < 5; ++i)
        rules += RuleBlock(i + 1);
    EventConfig config;
    EXPECT_FALSE(config.Parse(Header(1, 0) + Block(1, 5, rules)));
    ASSERT_EQ(1, config.GetCount());
    EXPECT_EQ(4, config.GetRuleCount(0));
    EXPECT_EQ(4, config.GetEvent(0).Rules[3].Input);
}

TEST(SettingsTextRead, FailureKeepsWhatWasReadBeforeIt)
{
    const std::string text = Header(1, 2) + Block(1, 1, RuleBlock(3), "1") +
                             "BeginOnlineEvent\nVersion = 1\nOutput = -1\n"
                             "On = yes\n";
    EventConfig config;
    EXPECT_FALSE(config.Parse(text));
    EXPECT_EQ(1, config.AnalogOutputCount);
    EXPECT_EQ(2, config.DigitalOutputCount);
    ASSERT_EQ(3, config.GetCount());
    EXPECT_TRUE(config.GetEvent(0).On);
    EXPECT_EQ(3, config.GetEvent(0).Rules[0].Input);
    EXPECT_EQ(0, config.GetRuleCount(1));
    EXPECT_EQ(L"Digital Output 1", config.GetEvent(1).Name);
}

TEST(SettingsTextRead, MalformedKeysLabelsAndValuesFail)
{
    const std::string good = Header(0, 1) + Block(-1, 0, "");
    EventConfig check;
    ASSERT_TRUE(check.Parse(good));

    const struct {
        const char* from;
        const char* to;
    } damage[] = {
        {"Version = 1\nAnalog", "Version=1\nAnalog"},               // key and "=" in one token
        {"DigitalOutputCount = 1", "DigitalOutputCount : 1"},       // wrong separator
        {"DigitalOutputCount = 1", "DigitalOutputCounts = 1"},      // longer key
        {"DigitalOutputCount = 1", "DigitalOutputCoun = 1"},        // shorter key
        {"BeginOnlineEvent\n", "BeginOnlineEvents\n"},              // wrong label
        {"On = 0", "On = 2"},                                       // boolean other than 0 or 1
        {"PulseDelay = 0", "PulseDelay = fast"},                    // letters for a real
        {"PulseNumLimit = 1", "PulseNumLimit = many"},              // letters for an integer
        {"RuleCount = 0\n", "RuleCount = 0\nEndOnlineEventRule\n"}, // label out of place
        {"EndOnlineEvent\n", ""},                                   // truncated
    };
    for (const auto& d : damage) {
        std::string text = good;
        const std::size_t at = text.find(d.from);
        ASSERT_NE(std::string::npos, at) << d.from;
        text.replace(at, std::string(d.from).size(), d.to);
        EventConfig config;
        EXPECT_FALSE(config.Parse(text)) << d.to;
    }
}

TEST(SettingsTextRead, BlockForAnUndeclaredOutputAddsIt)
{
    EventConfig config;
    ASSERT_TRUE(config.Parse(Header(1, 0) + Block(3, 0, "", "1")));
    EXPECT_EQ(2, config.AnalogOutputCount);
    ASSERT_EQ(2, config.GetCount());
    EXPECT_EQ(3, config.GetEvent(1).Output);
    EXPECT_TRUE(config.GetEvent(1).On);
    EXPECT_FALSE(config.GetEvent(0).On);
}

TEST(SettingsTextRead, SecondBlockForAnOutputReplacesSettingsAndPutsRulesFirst)
{
    EventConfig config;
    ASSERT_TRUE(
        config.Parse(Header(0, 2) + Block(-1, 2, RuleBlock(1) + RuleBlock(2), "1") + Block(-1, 1, RuleBlock(9), "0")));
    ASSERT_EQ(2, config.GetCount());
    EXPECT_FALSE(config.GetEvent(0).On);
    ASSERT_EQ(3, config.GetRuleCount(0));
    EXPECT_EQ(9, config.GetEvent(0).Rules[0].Input);
    EXPECT_EQ(1, config.GetEvent(0).Rules[1].Input);
    EXPECT_EQ(2, config.GetEvent(0).Rules[2].Input);
    EXPECT_EQ(0, config.GetRuleCount(1));
}

TEST(SettingsTextRead, OutputZeroAndTheMostNegativeNumberFail)
{
    EventConfig config;
    EXPECT_FALSE(config.Parse(Header(0, 1) + Block(0, 0, "")));
    EXPECT_EQ(1, config.GetCount());
    EXPECT_FALSE(config.Parse(Header(0, 1) + Block(INT_MIN, 0, "")));
    EXPECT_EQ(1, config.GetCount());
    EXPECT_EQ(-1, config.GetEvent(0).Output);
}

TEST(SettingsTextRead, NegativeOrOversizedCountsFailWithAnEmptyConfiguration)
{
    EventConfig config;
    EXPECT_FALSE(config.Parse(Header(-1, 2) + Block(-1, 0, "")));
    EXPECT_EQ(0, config.GetCount());
    EXPECT_FALSE(config.Parse(Header(0, 2000000000)));
    EXPECT_EQ(0, config.GetCount());
    EXPECT_FALSE(config.Parse(Header(EventConfig::MaxOutputs, 1)));
    EXPECT_EQ(0, config.GetCount());
    EXPECT_FALSE(config.Parse("Version = 1\nAnalogOutputCount = 99999999999999999999\nDigitalOutputCount = 0\n"));
    EXPECT_EQ(0, config.GetCount());
}

TEST(SettingsTextRead, NegativeRuleCountFails)
{
    EventConfig config;
    EXPECT_FALSE(config.Parse(Header(1, 0) + Block(1, -1, "")));
    EXPECT_EQ(0, config.GetRuleCount(0));
}

TEST(SettingsTextRead, InputCountIsKept)
{
    EventConfig config;
    config.InputCount = 32;
    ASSERT_TRUE(config.Parse(kOneAnalogOutputText));
    EXPECT_EQ(32, config.InputCount);
}

TEST(SettingsTextReader, SwallowKeyWantsKeyThenASeparateEquals)
{
    std::istringstream in(" \n\tVersion = 1 Next");
    OnlineEvents::SwallowKey(in, "Version");
    int value = 0;
    in >> value;
    EXPECT_EQ(1, value);

    const std::string error = "plain: Online Events: Parse error in swallow key.";
    std::istringstream joined("Version=1");
    EXPECT_EQ(error, Thrown([&] { OnlineEvents::SwallowKey(joined, "Version"); }));
    std::istringstream other("Versio = 1");
    EXPECT_EQ(error, Thrown([&] { OnlineEvents::SwallowKey(other, "Version"); }));
    std::istringstream empty("");
    EXPECT_EQ(error, Thrown([&] { OnlineEvents::SwallowKey(empty, "Version"); }));
    std::istringstream doubled("Version == 1");
    EXPECT_EQ(error, Thrown([&] { OnlineEvents::SwallowKey(doubled, "Version"); }));
}

TEST(SettingsTextReader, SwallowLabelWantsTheExactLabel)
{
    std::istringstream in("\r\n EndOnlineEvent  \n x");
    OnlineEvents::SwallowLabel(in, "EndOnlineEvent");
    EXPECT_EQ('x', in.peek());

    const std::string error = "plain: Online Events: Parse error in swallow label.";
    std::istringstream prefix("EndOnlineEventRule");
    EXPECT_EQ(error, Thrown([&] { OnlineEvents::SwallowLabel(prefix, "EndOnlineEvent"); }));
    std::istringstream failed("EndOnlineEvent");
    failed.setstate(std::ios::failbit);
    EXPECT_EQ(error, Thrown([&] { OnlineEvents::SwallowLabel(failed, "EndOnlineEvent"); }));
}

TEST(SettingsTextReader, SkipWhitespaceStopsAtTheFirstOtherCharacter)
{
    std::istringstream in(" \t\r\n\v\fa b");
    OnlineEvents::SkipWhitespace(in);
    EXPECT_EQ('a', in.peek());
    std::istringstream blank("   ");
    OnlineEvents::SkipWhitespace(blank);
    EXPECT_TRUE(blank.eof());
    EXPECT_FALSE(blank.fail());
}

namespace {

// What the classic-locale stream reads from the text, and whether it fails.
template <class T>
std::pair<T, bool> StreamReads(const std::string& text, T start)
{
    std::istringstream in(text);
    in.imbue(std::locale::classic());
    T value = start;
    in >> value;
    return {value, in.fail()};
}

template <class T>
std::pair<T, bool> ReaderReads(const std::string& text, T start)
{
    OnlineEvents::SettingsTextReader in(text.data(), text.data() + text.size());
    T value = start;
    in.Read(value);
    return {value, in.Failed()};
}

} // namespace

TEST(SettingsTextReader, NumbersReadAsTheClassicStreamReadsThem)
{
    for (const char* text : {"12\n", "-2147483648", "2147483648", "-2147483649", "+7", "007", "0x1F", "1e5",
                             "1.5e-3x", ".5", "1.", "1e", "1e+", "-", "+-1", "abc", "2", "01", "-1", "1e400",
                             "-1e400", "4.9e-324", "1e-400", "0.001", "99999999999999999999", "1.23457e+06"}) {
        EXPECT_EQ(StreamReads<int>(text, 5), ReaderReads<int>(text, 5)) << text;
        EXPECT_EQ(StreamReads<bool>(text, false), ReaderReads<bool>(text, false)) << text;
        const auto stream = StreamReads<double>(text, 7.5);
        const auto reader = ReaderReads<double>(text, 7.5);
        EXPECT_EQ(stream.second, reader.second) << text;
        if (!stream.second) {
            EXPECT_EQ(0, std::memcmp(&stream.first, &reader.first, sizeof(double))) << text;
        }
    }
}

TEST(SettingsTextReader, KeysAndLabelsFailWithTheStreamStepsMessages)
{
    const std::string key = "plain: Online Events: Parse error in swallow key.";
    const std::string label = "plain: Online Events: Parse error in swallow label.";
    for (const std::string text : {"Version=1", "Versio = 1", "", "Version == 1", "Version\n"}) {
        OnlineEvents::SettingsTextReader in(text.data(), text.data() + text.size());
        EXPECT_EQ(key, Thrown([&] { in.SwallowKey("Version"); })) << text;
    }
    const std::string text = "Version \n=\t 1 x End";
    OnlineEvents::SettingsTextReader in(text.data(), text.data() + text.size());
    in.SwallowKey("Version");
    int value = 0;
    in.Read(value);
    EXPECT_EQ(1, value);
    // A value that cannot be read fails the next step whatever it names.
    in.Read(value);
    EXPECT_TRUE(in.Failed());
    EXPECT_EQ(label, Thrown([&] { in.SwallowLabel("x"); }));
}

TEST(SettingsTextRead, UnreadableValuesLeaveWhatTheStreamLeft)
{
    // A count that cannot be read counts as 0, and no block is then missing.
    EventConfig counts;
    EXPECT_TRUE(counts.Parse("Version = 1\nAnalogOutputCount = 0\nDigitalOutputCount = x\n"));
    EXPECT_EQ(0, counts.GetCount());
    // "All" is copied into the record before the failure shows: 2 reads as true, a
    // missing value leaves the default.
    const std::pair<const char*, bool> cases[] = {
        {"All = 0 2\n", false}, {"All = x\n", false}, {"All = 2\n", true}, {"All = ", true}};
    for (const auto& [all, expected] : cases) {
        const std::string block = Header(1, 0) + Block(1, 0, "");
        EventConfig config;
        EXPECT_FALSE(config.Parse(block.substr(0, block.find("All = 1\n")) + all)) << all;
        ASSERT_EQ(1, config.GetCount());
        EXPECT_EQ(expected, config.GetEvent(0).All) << all;
    }
}
