#include "eventconfig/EventConfig.h"

#include "eventconfig/CheckedAccess.h"
#include "hostapi/HostInterfaces.h"
#include "foundation/ModuleInstance.h"
#include "foundation/QLXString.h"
#include "foundation/StringStreams.h"
#include "resources/resource.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <stdexcept>
#include <utility>

using OnlineEvents::CheckedAt;

namespace {

[[noreturn]] void ThrowRuleLimit()
{
    throw std::out_of_range("Online Events: Illegal rule insertion point.");
}

std::wstring FormatNumbered(UINT formatId, int number)
{
    QLX::OFormatStringStream text(LoadResourceString(QLX::GetModuleInstance(), formatId));
    text << number;
    return std::wstring(text.TakeString().c_str());
}

} // namespace

void OnlineEvent::CopySettingsFrom(const OnlineEvent& other)
{
    On = other.On;
    PulseDuration = other.PulseDuration;
    PulseDelay = other.PulseDelay;
    LimitedDuration = other.LimitedDuration;
    LimitedNumPulses = other.LimitedNumPulses;
    PulseNumLimit = other.PulseNumLimit;
    RetriggerHoldoff = other.RetriggerHoldoff;
    RetriggerHoldoffTime = other.RetriggerHoldoffTime;
    All = other.All;
}

int EventConfig::GetCount() const
{
    return AnalogOutputCount + DigitalOutputCount;
}

int EventConfig::GetRuleCount(int output) const
{
    return static_cast<int>(CheckedAt(events_, output).Rules.size());
}

OnlineEvent& EventConfig::GetEvent(int output)
{
    return CheckedAt(events_, output);
}

const OnlineEvent& EventConfig::GetEvent(int output) const
{
    return CheckedAt(events_, output);
}

std::wstring EventConfig::AnalogOutputName(int number) const
{
    if (AnalogOutputCount == 1)
        return std::wstring(LoadResourceString(QLX::GetModuleInstance(), IDS_ANALOG_OUTPUT_SOLE).c_str());
    if (number == 1)
        return FormatNumbered(IDS_ANALOG_OUTPUT_N, 1);
    return std::to_wstring(number);
}

std::wstring EventConfig::DigitalOutputName(int magnitude)
{
    if (magnitude == 1)
        return FormatNumbered(IDS_DIGITAL_OUTPUT_N, 1);
    return std::to_wstring(magnitude);
}

OnlineEvent EventConfig::MakeRecord(int outputNumber) const
{
    OnlineEvent record;
    record.Output = outputNumber;
    record.Name = outputNumber > 0 ? AnalogOutputName(outputNumber) : DigitalOutputName(-outputNumber);
    return record;
}

void EventConfig::SetOutputCounts(int analogCount, int digitalCount)
{
    if (analogCount < 0 || digitalCount < 0 || analogCount > MaxOutputs || digitalCount > MaxOutputs - analogCount)
        throw std::runtime_error("Online Events: Illegal output count.");

    // Names are judged with the new counts, so build the records on a side configuration.
    EventConfig shaped;
    shaped.AnalogOutputCount = analogCount;
    shaped.DigitalOutputCount = digitalCount;
    shaped.events_.reserve(static_cast<std::size_t>(analogCount + digitalCount));
    for (int i = 0; i < analogCount; ++i)
        shaped.events_.push_back(shaped.MakeRecord(i + 1));
    for (int k = 0; k < digitalCount; ++k)
        shaped.events_.push_back(shaped.MakeRecord(-(k + 1)));

    events_ = std::move(shaped.events_);
    AnalogOutputCount = analogCount;
    DigitalOutputCount = digitalCount;
}

void EventConfig::AddDefaultRule()
{
    for (OnlineEvent& record : events_) {
        if (record.Rules.size() >= static_cast<std::size_t>(MaxRules))
            ThrowRuleLimit();
        record.Rules.insert(record.Rules.begin(), OnlineEventRule());
    }
}

bool EventConfig::CanInsertRule(int output) const
{
    return GetRuleCount(output) + 1 <= MaxRules;
}

bool EventConfig::CanDeleteRule(int output) const
{
    return GetRuleCount(output) > 1;
}

void EventConfig::InsertRule(int output, int afterRule)
{
    std::vector<OnlineEventRule>& rules = CheckedAt(events_, output).Rules;
    if (!CanInsertRule(output) || afterRule < -1 || afterRule >= static_cast<int>(rules.size()))
        ThrowRuleLimit();
    rules.insert(rules.begin() + (afterRule + 1), OnlineEventRule());
}

void EventConfig::DeleteRule(int output, int rule)
{
    std::vector<OnlineEventRule>& rules = CheckedAt(events_, output).Rules;
    if (!CanDeleteRule(output))
        throw std::out_of_range("Online Events: Can't delete the rule.");
    CheckedAt(rules, rule);
    const std::size_t before = rules.size();
    rules.erase(rules.begin() + rule);
    if (rules.size() != before - 1)
        throw std::runtime_error("Online Events: Failed to delete rule.");
}

void EventConfig::SetRule(int output, int rule, const OnlineEventRule& value)
{
    CheckedAt(CheckedAt(events_, output).Rules, rule) = value;
}

int EventConfig::FindOutput(int outputNumber) const
{
    for (std::size_t i = 0; i < events_.size(); ++i)
        if (events_[i].Output == outputNumber)
            return static_cast<int>(i);
    return -1;
}

// Readers meet the records in order, so the hinted index is almost always the one.
// Only for callers that keep output numbers unique, as every operation here does.
int EventConfig::FindOutputFrom(int hint, int outputNumber) const
{
    if (hint >= 0 && static_cast<std::size_t>(hint) < events_.size() && events_[hint].Output == outputNumber)
        return hint;
    return FindOutput(outputNumber);
}

void EventConfig::InsertEvent(int outputNumber)
{
    // INT_MIN has no positive magnitude, so it can name no digital output.
    if (outputNumber == 0 || outputNumber == INT_MIN || FindOutput(outputNumber) >= 0)
        throw std::runtime_error("Online Events: Illegal event insertion.");

    const int count = static_cast<int>(events_.size());
    if (outputNumber > 0) {
        const int analogEnd = std::min(AnalogOutputCount, count);
        int position = analogEnd;
        for (int i = 0; i < analogEnd; ++i) {
            if (events_[i].Output > outputNumber) {
                position = i;
                break;
            }
        }
        OnlineEvent record = MakeRecord(outputNumber);
        events_.insert(events_.begin() + position, std::move(record));
        ++AnalogOutputCount;
    } else {
        const int magnitude = -outputNumber;
        int position = count;
        for (int i = std::max(AnalogOutputCount, 0); i < count; ++i) {
            const int other = events_[i].Output;
            if (other != INT_MIN && std::abs(other) > magnitude) {
                position = i;
                break;
            }
        }
        OnlineEvent record = MakeRecord(outputNumber);
        events_.insert(events_.begin() + position, std::move(record));
        ++DigitalOutputCount;
    }
}

void EventConfig::CopyFrom(const EventConfig& source, bool createMissing)
{
    // Work on a copy so that a refused copy leaves this configuration as it was.
    EventConfig result(*this);
    for (const OnlineEvent& from : source.events_) {
        int index = result.FindOutput(from.Output);
        if (index < 0) {
            if (!createMissing)
                continue;
            result.InsertEvent(from.Output);
            index = result.FindOutput(from.Output);
            if (index < 0)
                throw std::runtime_error("Online Events: Failed to allocate output record");
        }
        OnlineEvent& to = result.events_[static_cast<std::size_t>(index)];
        to.CopySettingsFrom(from);
        to.Rules = from.Rules;
        to.Output = from.Output;
        to.Name = from.Name;
    }
    events_ = std::move(result.events_);
    AnalogOutputCount = result.AnalogOutputCount;
    DigitalOutputCount = result.DigitalOutputCount;
}

namespace {

// A count the unit reports; a failed query or a negative answer counts as none.
template <class Query>
LONG UnitCount(Query query)
{
    LONG value = 0;
    const HRESULT status = query(&value);
    return FAILED(status) || value < 0 ? 0 : value;
}

// Sum of the lines of all digital output groups; 0 when any group cannot be read.
int64_t DigitalLineCount(IRecordingUnit* unit)
{
    const LONG groups = UnitCount([unit](LONG* count) { return unit->GetDigitalOutputGroupCount(count); });
    int64_t total = 0;
    for (LONG g = 0; g < groups; ++g) {
        IDigitalOutputGroup* group = nullptr;
        if (FAILED(unit->GetDigitalOutputGroup(g, &group)) || !group)
            return 0;
        LONG lines = 0;
        const HRESULT status = group->GetLineCount(&lines);
        group->Release();
        if (FAILED(status))
            return 0;
        total += lines < 0 ? 0 : lines;
    }
    return total;
}

} // namespace

bool EventConfig::InitFromDevice(IRecordingUnit* unit)
{
    events_.clear();
    AnalogOutputCount = 0;
    DigitalOutputCount = 0;
    if (!unit)
        return false;

    const LONG inputs = UnitCount([unit](LONG* count) { return unit->GetInputCount(count); });
    const LONG analog = UnitCount([unit](LONG* count) { return unit->GetAnalogOutputCount(count); });
    const int64_t digital = DigitalLineCount(unit);

    // Out-of-bound totals are refused by SetOutputCounts; keep the int conversion safe.
    SetOutputCounts(static_cast<int>(analog), static_cast<int>(std::min<int64_t>(digital, INT_MAX)));
    AddDefaultRule();
    InputCount = static_cast<int>(inputs);
    return true;
}
