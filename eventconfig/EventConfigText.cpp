// The text settings form of a configuration: ASCII lines "Key = value" and bare labels.

#include "eventconfig/CheckedAccess.h"
#include "eventconfig/EventConfig.h"
#include "eventconfig/SettingsReader.h"
#include "foundation/XQLX.h"

#include <cctype>
#include <cstdint>
#include <locale>
#include <sstream>
#include <stdexcept>
#include <string>

namespace OnlineEvents {

void SkipWhitespace(std::istream& in)
{
    std::streambuf* buffer = in.rdbuf();
    if (!in.good() || !buffer)
        return;
    for (;;) {
        const int c = buffer->sgetc();
        if (c == std::char_traits<char>::eof()) {
            in.setstate(std::ios::eofbit);
            return;
        }
        if (!std::isspace(static_cast<unsigned char>(c)))
            return;
        buffer->sbumpc();
    }
}

namespace {

std::string ReadToken(std::istream& in)
{
    std::string token;
    in >> token;
    return token;
}

} // namespace

void SwallowKey(std::istream& in, const char* key)
{
    SkipWhitespace(in);
    const std::string name = ReadToken(in);
    const std::string equals = ReadToken(in);
    if (!in || name != key || equals != "=")
        throw std::runtime_error("Online Events: Parse error in swallow key.");
    SkipWhitespace(in);
}

void SwallowLabel(std::istream& in, const char* label)
{
    SkipWhitespace(in);
    const std::string name = ReadToken(in);
    if (!in || name != label)
        throw std::runtime_error("Online Events: Parse error in swallow label.");
    SkipWhitespace(in);
}

} // namespace OnlineEvents

using namespace OnlineEvents;

bool EventConfig::Serialize(std::string& text) const
{
    const int64_t declared = static_cast<int64_t>(AnalogOutputCount) + DigitalOutputCount;
    // Records the counts do not cover would silently vanish from the text.
    if (AnalogOutputCount < 0 || DigitalOutputCount < 0 || declared < static_cast<int64_t>(events_.size()))
        throw XQLX(QLXString(L"Online Events: Inconsistent internal state (serialize)"));

    std::ostringstream out;
    out.imbue(std::locale::classic());
    out << "Version = 1\n";
    out << "AnalogOutputCount = " << AnalogOutputCount << '\n';
    out << "DigitalOutputCount = " << DigitalOutputCount << '\n';
    // Access is checked, so the loop ends with an out-of-range error at the first missing record.
    for (int64_t i = 0; i < declared; ++i) {
        const OnlineEvent& record = CheckedAt(events_, static_cast<int>(i));
        out << "BeginOnlineEvent\n";
        out << "Version = 1\n";
        out << "Output = " << record.Output << '\n';
        out << "On = " << record.On << '\n';
        out << "PulseDuration = " << record.PulseDuration << '\n';
        out << "PulseDelay = " << record.PulseDelay << '\n';
        out << "RetriggerHoldoffTime = " << record.RetriggerHoldoffTime << '\n';
        out << "LimitedDuration = " << record.LimitedDuration << '\n';
        out << "LimitedNumPulses = " << record.LimitedNumPulses << '\n';
        out << "RetriggerHoldoff = " << record.RetriggerHoldoff << '\n';
        out << "PulseNumLimit = " << record.PulseNumLimit << '\n';
        out << "All = " << record.All << '\n';
        out << "RuleCount = " << record.Rules.size() << '\n';
        for (const OnlineEventRule& rule : record.Rules) {
            out << "BeginOnlineEventRule\n";
            out << "Version = 1\n";
            out << "Input = " << rule.Input << '\n';
            out << "Above = " << rule.Above << '\n';
            out << "Hysteresis = " << rule.Hysteresis << '\n';
            out << "Level = " << rule.Level << '\n';
            out << "EndOnlineEventRule\n";
        }
        out << "EndOnlineEvent\n";
    }
    text = out.str();
    return true;
}

namespace {

template <class T>
void ReadValue(std::istream& in, const char* key, T& value)
{
    SwallowKey(in, key);
    in >> value;
}

} // namespace

bool EventConfig::Parse(const std::string& text)
{
    AnalogOutputCount = 0;
    DigitalOutputCount = 0;
    events_.clear();

    try {
        std::istringstream in(text);
        in.imbue(std::locale::classic());

        int version = 0;
        ReadValue(in, "Version", version);
        // An unreadable version is a damaged text, not a newer one.
        if (!in)
            throw std::runtime_error("Online Events: Unreadable settings version.");
        if (version != 1)
            return true;

        int analogCount = 0;
        int digitalCount = 0;
        ReadValue(in, "AnalogOutputCount", analogCount);
        ReadValue(in, "DigitalOutputCount", digitalCount);
        SetOutputCounts(analogCount, digitalCount);
        const int blocks = analogCount + digitalCount;

        for (int block = 0; block < blocks; ++block) {
            SwallowLabel(in, "BeginOnlineEvent");
            int blockVersion = 0;
            ReadValue(in, "Version", blockVersion);
            OnlineEvent read;
            ReadValue(in, "Output", read.Output);
            ReadValue(in, "On", read.On);
            ReadValue(in, "PulseDuration", read.PulseDuration);
            ReadValue(in, "PulseDelay", read.PulseDelay);
            ReadValue(in, "RetriggerHoldoffTime", read.RetriggerHoldoffTime);
            ReadValue(in, "LimitedDuration", read.LimitedDuration);
            ReadValue(in, "LimitedNumPulses", read.LimitedNumPulses);
            ReadValue(in, "RetriggerHoldoff", read.RetriggerHoldoff);
            ReadValue(in, "PulseNumLimit", read.PulseNumLimit);
            ReadValue(in, "All", read.All);

            int index = FindOutputFrom(block, read.Output);
            if (index < 0) {
                InsertEvent(read.Output);
                index = FindOutput(read.Output);
            }
            CheckedAt(events_, index).CopySettingsFrom(read);

            int ruleCount = 0;
            ReadValue(in, "RuleCount", ruleCount);
            if (ruleCount < 0)
                throw std::runtime_error("Online Events: Illegal rule count.");
            for (int j = 0; j < ruleCount; ++j) {
                SwallowLabel(in, "BeginOnlineEventRule");
                int ruleVersion = 0;
                ReadValue(in, "Version", ruleVersion);
                OnlineEventRule rule;
                ReadValue(in, "Input", rule.Input);
                ReadValue(in, "Above", rule.Above);
                ReadValue(in, "Hysteresis", rule.Hysteresis);
                ReadValue(in, "Level", rule.Level);
                SwallowLabel(in, "EndOnlineEventRule");
                InsertRule(index, j - 1);
                SetRule(index, j, rule);
            }
            SwallowLabel(in, "EndOnlineEvent");
        }
        return true;
    } catch (const std::exception&) {
        return false;
    }
}
