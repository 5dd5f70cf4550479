#include "preview/OutputModel.h"

#include "hostapi/HostInterfaces.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace OnlineEvents {
namespace {

namespace L = OutputRecordLayout;
// Hold-off comparisons forgive the rounding of sample times.
constexpr double TimeSlack = 1e-9;
// Signals are scanned in blocks of this many samples, each in chunks whose least and
// greatest sample tell whether a rule can change in them at all.
constexpr size_t BlockSamples = 4096;
constexpr size_t Chunk = 64;
constexpr size_t Chunks = BlockSamples / Chunk;
// What an input beyond the signals reads.
const int32_t Silence[BlockSamples] = {};

template <typename T>
T At(const uint8_t* record, size_t offset)
{
    T value;
    std::memcpy(&value, record + offset, sizeof value);
    return value;
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

ModelStream::ModelStream(std::vector<ModelOutput> outputs, size_t inputs, double rate)
    : inputs_(inputs), rate_(rate), chunkLow_(Chunks), chunkHigh_(Chunks)
{
    for (ModelOutput& output : outputs) {
        Output state;
        if (output.mode != L::ModeOff) {
            for (const ModelRule& rule : output.rules) {
                size_t found = 0;
                while (found < rules_.size() &&
                       !(rules_[found].rule.input == rule.input && rules_[found].rule.above == rule.above &&
                         rules_[found].rule.threshold == rule.threshold &&
                         rules_[found].rule.hysteresis == rule.hysteresis))
                    ++found;
                if (found == rules_.size())
                    rules_.push_back({rule, false, {}});
                state.rules.push_back(found);
            }
        }
        state.output = std::move(output);
        outputs_.push_back(std::move(state));
    }
    // Rules of one input next to each other: its chunk extremes are found once a block.
    std::vector<size_t> order(rules_.size());
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    std::stable_sort(order.begin(), order.end(),
                     [this](size_t a, size_t b) { return rules_[a].rule.input < rules_[b].rule.input; });
    std::vector<size_t> place(order.size());
    std::vector<Rule> sorted;
    for (size_t i = 0; i < order.size(); ++i) {
        place[order[i]] = i;
        sorted.push_back(rules_[order[i]]);
    }
    rules_ = std::move(sorted);
    for (Output& state : outputs_)
        for (size_t& rule : state.rules)
            rule = place[rule];
}

void ModelStream::Feed(const int32_t* samples, size_t count)
{
    for (size_t from = 0; from < count; from += BlockSamples)
        FeedBlock(samples + from, count, std::min(BlockSamples, count - from));
}

void ModelStream::FeedBlock(const int32_t* samples, size_t stride, size_t count)
{
    int summarised = -1;
    for (Rule& rule : rules_) {
        rule.flips.clear();
        const size_t input = static_cast<size_t>(rule.rule.input);
        const int32_t* x = input < inputs_ ? samples + input * stride : Silence;
        if (rule.rule.input != summarised) {
            for (size_t c = 0; c * Chunk < count; ++c) {
                const size_t end = std::min(count, (c + 1) * Chunk);
                int32_t low = x[c * Chunk];
                int32_t high = low;
                for (size_t i = c * Chunk + 1; i < end; ++i) {
                    low = std::min(low, x[i]);
                    high = std::max(high, x[i]);
                }
                chunkLow_[c] = low;
                chunkHigh_[c] = high;
            }
            summarised = rule.rule.input;
        }
        ScanRule(rule, x, count);
    }
    for (size_t o = 0; o < outputs_.size(); ++o)
        if (!outputs_[o].rules.empty())
            MergeFlips(outputs_[o]);
    fed_ += count;
}

// Rising rules turn true at or above the threshold and false below the band; falling
// ones true at or below the band's lower edge and false above the threshold.
void ModelStream::ScanRule(Rule& state, const int32_t* x, size_t count)
{
    const int64_t upper = state.rule.threshold;
    const int64_t lower = upper - state.rule.hysteresis;
    const bool above = state.rule.above;
    bool on = state.on;
    for (size_t c = 0; c * Chunk < count; ++c) {
        const bool mayFlip = above ? (on ? chunkLow_[c] < lower : chunkHigh_[c] >= upper)
                                   : (on ? chunkHigh_[c] > upper : chunkLow_[c] <= lower);
        if (!mayFlip)
            continue;
        const size_t end = std::min(count, (c + 1) * Chunk);
        for (size_t i = c * Chunk; i < end; ++i) {
            const int64_t v = x[i];
            if (above ? (on ? v < lower : v >= upper) : (on ? v > upper : v <= lower)) {
                on = !on;
                state.flips.push_back(fed_ + i);
            }
        }
    }
    state.on = on;
}

// Rules that flip on the same sample change the condition together.
void ModelStream::MergeFlips(Output& output)
{
    size_t next[L::RuleSlots] = {};
    const size_t used = output.rules.size();
    const unsigned every = (1u << used) - 1;
    for (;;) {
        size_t at = std::numeric_limits<size_t>::max();
        for (size_t r = 0; r < used; ++r) {
            const std::vector<size_t>& flips = rules_[output.rules[r]].flips;
            if (next[r] < flips.size())
                at = std::min(at, flips[next[r]]);
        }
        if (at == std::numeric_limits<size_t>::max())
            return;
        for (size_t r = 0; r < used; ++r) {
            const std::vector<size_t>& flips = rules_[output.rules[r]].flips;
            if (next[r] < flips.size() && flips[next[r]] == at) {
                output.state ^= 1u << r;
                ++next[r];
            }
        }
        const bool now = output.output.mode == L::ModeAll ? output.state == every : output.state != 0;
        if (now != output.condition) {
            output.condition = now;
            ConditionChanged(output, static_cast<size_t>(&output - outputs_.data()), at);
        }
    }
}

// Fixed-width pulses: one per rise of the condition, after the delay, unless the
// hold-off or the count limit stops it; pulses that overlap make one activity. Level
// outputs are on while the condition holds, shifted by the delay; the count limit
// counts the times they turned on.
void ModelStream::ConditionChanged(Output& state, size_t record, size_t sample)
{
    const ModelOutput& output = state.output;
    const double at = static_cast<double>(sample) / rate_;
    const bool limited = output.pulseLimit > 0 && state.count >= output.pulseLimit;
    if (output.width > 0.0) {
        if (!state.condition || limited)
            return;
        if (output.holdoff > 0.0 && state.started && at - state.lastStart < output.holdoff - TimeSlack)
            return;
        const double start = at + output.delay;
        ++state.count;
        state.started = true;
        state.lastStart = start;
        const double end = start + output.width;
        if (!state.activities.empty() && start < state.activities.back().end)
            state.activities.back().end = std::max(state.activities.back().end, end);
        else
            state.activities.push_back({record, output.output, start, end});
        return;
    }
    if (state.condition && !limited) {
        ++state.count;
        state.levelOn = true;
        state.levelStart = at + output.delay;
    } else if (!state.condition && state.levelOn) {
        state.levelOn = false;
        state.activities.push_back({record, output.output, state.levelStart, at + output.delay});
    }
}

std::vector<Activity> ModelStream::Finish()
{
    std::vector<Activity> activities;
    if (fed_ == 0 || !(rate_ > 0.0))
        return activities;
    const double span = static_cast<double>(fed_) / rate_;
    for (size_t o = 0; o < outputs_.size(); ++o) {
        Output& state = outputs_[o];
        if (state.levelOn)
            state.activities.push_back({o, state.output.output, state.levelStart, span});
        state.levelOn = false;
        // Starts only grow: what starts at the end or later is not shown.
        for (const Activity& activity : state.activities) {
            if (activity.start >= span)
                break;
            activities.push_back(activity);
            activities.back().end = std::min(activity.end, span);
        }
        state.activities.clear();
    }
    std::stable_sort(activities.begin(), activities.end(),
                     [](const Activity& a, const Activity& b) { return a.start < b.start; });
    return activities;
}

std::vector<Activity> RunModel(const std::vector<ModelOutput>& outputs, const SignalView& signals)
{
    ModelStream stream(outputs, signals.inputs, signals.rate);
    if (signals.count)
        stream.Feed(signals.samples, signals.count);
    return stream.Finish();
}

} // namespace OnlineEvents
