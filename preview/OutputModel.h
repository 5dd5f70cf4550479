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

// A stretch of time, in seconds from the first sample, during which an output is on.
struct Activity {
    size_t record;
    int32_t output;
    double start;
    double end;
};

// Runs the outputs over signals that arrive block by block. It keeps each rule's
// and output's state between blocks and only the activities it found, so its memory
// does not grow with the signal.
class ModelStream {
public:
    ModelStream(std::vector<ModelOutput> outputs, size_t inputs, double rate);
    // The next `count` samples of every input, one channel after the other. Inputs a
    // rule watches beyond `inputs` read 0.
    void Feed(const int32_t* samples, size_t count);
    // Ends the signals: every output's activity in order of start time (ties in
    // record order); activity that would go on past the last sample ends there.
    std::vector<Activity> Finish();

private:
    // One distinct rule: rules of several outputs that read alike are scanned once.
    struct Rule {
        ModelRule rule;
        bool on = false;
        std::vector<size_t> flips; // sample indices within the block being fed
    };
    struct Output {
        ModelOutput output;
        std::vector<size_t> rules; // into rules_
        unsigned state = 0;        // one bit per rule that holds
        bool condition = false;
        int32_t count = 0; // pulses started, or times turned on
        bool started = false;
        double lastStart = 0.0;
        bool levelOn = false;
        double levelStart = 0.0;
        std::vector<Activity> activities;
    };
    void FeedBlock(const int32_t* samples, size_t stride, size_t count);
    void ScanRule(Rule& rule, const int32_t* x, size_t count);
    void MergeFlips(Output& output);
    void ConditionChanged(Output& output, size_t record, size_t sample);

    std::vector<Rule> rules_;
    std::vector<Output> outputs_;
    size_t inputs_;
    double rate_;
    size_t fed_ = 0;
    // Per block of the input being scanned: the least and greatest sample of each chunk.
    std::vector<int32_t> chunkLow_;
    std::vector<int32_t> chunkHigh_;
};

// Every output's activity over the whole signal at once.
std::vector<Activity> RunModel(const std::vector<ModelOutput>& outputs, const SignalView& signals);

} // namespace OnlineEvents
