#include "preview/OutputModel.h"

#include "hostapi/HostInterfaces.h"

#include <algorithm>
#include <cstring>

namespace OnlineEvents {
namespace {

namespace L = OutputRecordLayout;
// Hold-off comparisons forgive the rounding of sample times.
constexpr double TimeSlack = 1e-9;

template <typename T>
T At(const uint8_t* record, size_t offset)
{
    T value;
    std::memcpy(&value, record + offset, sizeof value);
    return value;
}

// The index of the first sample from `from` on that the predicate holds for, or count.
template <typename Predicate>
size_t FindFrom(const int32_t* x, size_t from, size_t count, Predicate holds)
{
    while (from < count && !holds(x[from]))
        ++from;
    return from;
}

// A channel the unit lacks reads 0 throughout: the rule's state is settled at once.
std::vector<size_t> FlipsOfSilentInput(const ModelRule& rule)
{
    const int64_t lower = static_cast<int64_t>(rule.threshold) - rule.hysteresis;
    const bool on = rule.above ? 0 >= rule.threshold : 0 <= lower;
    return on ? std::vector<size_t>{0} : std::vector<size_t>{};
}

} // namespace

bool ReadOutputRecord(const uint8_t* record, ModelOutput& output)
{
    if (At<uint32_t>(record, L::SizeField) != L::Size || At<uint32_t>(record, L::SlotCount) != L::RuleSlots)
        return false;
    output = ModelOutput{};
    output.output = At<int32_t>(record, L::Output);
    output.mode = At<uint32_t>(record, L::Mode);
    if (output.mode > L::ModeAny)
        return false;
    if (output.mode == L::ModeOff)
        return true;
    const int32_t limit = At<int32_t>(record, L::PulseLimit);
    output.pulseLimit = limit > 0 ? limit : 0;
    output.width = std::max(0.0, At<double>(record, L::PulseWidth));
    output.delay = std::max(0.0, At<double>(record, L::PulseDelay));
    output.holdoff = std::max(0.0, At<double>(record, L::Holdoff));
    for (unsigned slot = 0; slot < L::RuleSlots; ++slot) {
        const uint8_t* base = record + L::Slot(slot);
        if (At<uint32_t>(base, L::SlotSizeField) != L::SlotSize)
            return false;
        if (base[L::Input] == 0)
            continue;
        ModelRule rule{};
        rule.slot = static_cast<int>(slot);
        rule.input = base[L::Input] - 1;
        rule.above = base[L::Direction] == L::Above;
        rule.threshold = At<int32_t>(base, L::Threshold);
        rule.hysteresis = std::max<int32_t>(0, At<int32_t>(base, L::Hysteresis));
        output.rules.push_back(rule);
    }
    return true;
}

std::vector<size_t> RuleFlips(const ModelRule& rule, const SignalView& signals)
{
    if (static_cast<size_t>(rule.input) >= signals.inputs)
        return signals.count ? FlipsOfSilentInput(rule) : std::vector<size_t>{};
    const int32_t* x = signals.samples + static_cast<size_t>(rule.input) * signals.count;
    const size_t count = signals.count;
    const int64_t upper = rule.threshold;
    const int64_t lower = upper - rule.hysteresis;
    std::vector<size_t> flips;
    bool on = false;
    for (size_t i = 0; i < count; ++i) {
        if (rule.above)
            i = on ? FindFrom(x, i, count, [lower](int64_t v) { return v < lower; })
                   : FindFrom(x, i, count, [upper](int64_t v) { return v >= upper; });
        else
            i = on ? FindFrom(x, i, count, [upper](int64_t v) { return v > upper; })
                   : FindFrom(x, i, count, [lower](int64_t v) { return v <= lower; });
        if (i == count)
            break;
        flips.push_back(i);
        on = !on;
    }
    return flips;
}

std::vector<size_t> ConditionFlips(const ModelOutput& output, const SignalView& signals)
{
    std::vector<size_t> flips;
    if (output.mode == 0 || output.rules.empty())
        return flips;
    std::vector<std::vector<size_t>> ruleFlips;
    for (const ModelRule& rule : output.rules)
        ruleFlips.push_back(RuleFlips(rule, signals));
    std::vector<size_t> next(ruleFlips.size(), 0);
    std::vector<bool> state(ruleFlips.size(), false);
    size_t trueCount = 0;
    bool condition = false;
    for (;;) {
        size_t at = signals.count;
        for (size_t r = 0; r < ruleFlips.size(); ++r)
            if (next[r] < ruleFlips[r].size())
                at = std::min(at, ruleFlips[r][next[r]]);
        if (at == signals.count)
            break;
        // Rules that flip on the same sample change the condition together.
        for (size_t r = 0; r < ruleFlips.size(); ++r) {
            if (next[r] < ruleFlips[r].size() && ruleFlips[r][next[r]] == at) {
                state[r] = !state[r];
                trueCount = state[r] ? trueCount + 1 : trueCount - 1;
                ++next[r];
            }
        }
        const bool now = output.mode == 1 ? trueCount == ruleFlips.size() : trueCount > 0;
        if (now != condition) {
            flips.push_back(at);
            condition = now;
        }
    }
    return flips;
}

namespace {

// Fixed-width pulses: one per rise of the condition, after the delay, unless the
// hold-off or the count limit stops it. Pulses that overlap make one activity.
void AppendPulses(const ModelOutput& output, size_t record, const std::vector<size_t>& flips, double rate, double span,
                  std::vector<Activity>& activities)
{
    const size_t first = activities.size();
    int32_t pulses = 0;
    bool started = false;
    double lastStart = 0.0;
    for (size_t k = 0; k < flips.size(); k += 2) {
        if (output.pulseLimit > 0 && pulses >= output.pulseLimit)
            break;
        const double rise = static_cast<double>(flips[k]) / rate;
        if (output.holdoff > 0.0 && started && rise - lastStart < output.holdoff - TimeSlack)
            continue;
        const double start = rise + output.delay;
        ++pulses;
        started = true;
        lastStart = start;
        if (start >= span)
            break;
        const double end = std::min(start + output.width, span);
        if (activities.size() > first && start < activities.back().end)
            activities.back().end = std::max(activities.back().end, end);
        else
            activities.push_back({record, output.output, start, end});
    }
}

// Level output: on while the condition holds, shifted by the delay; the count
// limit counts the times it turned on.
void AppendLevels(const ModelOutput& output, size_t record, const std::vector<size_t>& flips, double rate, double span,
                  std::vector<Activity>& activities)
{
    int32_t turnedOn = 0;
    for (size_t k = 0; k < flips.size(); k += 2) {
        if (output.pulseLimit > 0 && turnedOn >= output.pulseLimit)
            break;
        ++turnedOn;
        const double start = static_cast<double>(flips[k]) / rate + output.delay;
        if (start >= span)
            break;
        const double off = k + 1 < flips.size() ? static_cast<double>(flips[k + 1]) / rate : span;
        activities.push_back({record, output.output, start, std::min(off + output.delay, span)});
    }
}

} // namespace

void AppendActivity(const ModelOutput& output, size_t record, const SignalView& signals,
                    std::vector<Activity>& activities)
{
    if (signals.count == 0 || !(signals.rate > 0.0))
        return;
    const std::vector<size_t> flips = ConditionFlips(output, signals);
    const double span = static_cast<double>(signals.count) / signals.rate;
    if (output.width > 0.0)
        AppendPulses(output, record, flips, signals.rate, span, activities);
    else
        AppendLevels(output, record, flips, signals.rate, span, activities);
}

std::vector<Activity> RunModel(const std::vector<ModelOutput>& outputs, const SignalView& signals)
{
    std::vector<Activity> activities;
    for (size_t i = 0; i < outputs.size(); ++i)
        AppendActivity(outputs[i], i, signals, activities);
    std::stable_sort(activities.begin(), activities.end(),
                     [](const Activity& a, const Activity& b) { return a.start < b.start; });
    return activities;
}

} // namespace OnlineEvents
