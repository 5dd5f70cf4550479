#pragma once
// The detection model: how the recording unit reads an output record, and what the
// output does over sampled input signals. It works on the records as the unit
// receives them, so what it shows is what the unit was sent.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace OnlineEvents {

// One used rule slot. The rule is true inside or beyond its band
// [threshold - hysteresis, threshold] as its direction says.
struct ModelRule {
    int slot;  // 0 to 3
    int input; // zero-based
    bool above;
    int32_t threshold;
    int32_t hysteresis; // never negative
};

// One output's record.
struct ModelOutput {
    int32_t output;
    uint32_t mode;      // 0 off, 1 all rules, 2 any rule
    int32_t pulseLimit; // 0: no limit
    double width;       // 0: on while the condition holds
    double delay;
    double holdoff;
    std::vector<ModelRule> rules;
};

// False for a record whose sizes are not those of the output record, or whose
// mode is unknown. An output that is off reads only its first four fields.
bool ReadOutputRecord(const uint8_t* record, ModelOutput& output);

// Input channels in unit counts, one after another, all of `count` samples.
struct SignalView {
    const int32_t* samples = nullptr;
    size_t inputs = 0;
    size_t count = 0;
    double rate = 1.0; // samples per second
};

// Sample indices at which the rule changes state, the first to true; every rule
// starts false. An input beyond the channels reads 0.
std::vector<size_t> RuleFlips(const ModelRule& rule, const SignalView& signals);
// Sample indices at which the output's condition (all or any of its rules) changes.
std::vector<size_t> ConditionFlips(const ModelOutput& output, const SignalView& signals);

// A stretch of time, in seconds from the first sample, during which an output is on.
struct Activity {
    size_t record;
    int32_t output;
    double start;
    double end;
};

// Appends what the output does within the span of the signals; activity that
// would go on past the last sample ends there.
void AppendActivity(const ModelOutput& output, size_t record, const SignalView& signals,
                    std::vector<Activity>& activities);
// Every output's activity, in order of start time (ties in record order).
std::vector<Activity> RunModel(const std::vector<ModelOutput>& outputs, const SignalView& signals);

} // namespace OnlineEvents
