#pragma once
// Input signals for the preview: read from a CSV file or made from a synthetic
// description, in each input's own unit, at a fixed sampling rate.

#include <map>
#include <string>
#include <vector>

namespace VireoHost {

struct SampledSignals {
    double rate = 0.0; // samples per second
    size_t count = 0;  // samples of every input
    // By input number (1, 2, ...): the values in the input's own unit.
    std::map<int, std::vector<double>> inputs;
};

// What reading or parsing gave: ok, or a message and the line it concerns (0: none).
struct SignalResult {
    bool ok = true;
    std::wstring message;
    int line = 0;
};

// A header "time,1,2,..." then rows of seconds and one value per named input, in
// increasing time at a fixed rate. Inputs above the unit's input count are refused.
SignalResult ParseSignalCsv(const std::string& text, int unitInputs, SampledSignals& signals);

// One term of a synthetic signal.
struct SynthShape {
    enum class Kind { Sine, Square, Ramp, Noise, Const };
    int input = 0; // 1, 2, ...
    Kind kind = Kind::Const;
    double first = 0.0;  // amplitude, from, sd or value
    double second = 0.0; // frequency, to or seed
};

// "INPUT=SHAPE(ARGS);..." with sine(amplitude,frequency), square(amplitude,frequency),
// ramp(from,to), noise(sd,seed) and const(value).
SignalResult ParseSynthShapes(const std::wstring& shapesText, int unitInputs, std::vector<SynthShape>& shapes);
// The shapes sampled over `seconds` at `rate`; shapes of one input add up.
SampledSignals SampleShapes(const std::vector<SynthShape>& shapes, double seconds, double rate);

// The greatest number of samples a preview takes per input, and over all the
// unit's inputs together.
constexpr size_t MaxPreviewSamples = 20000000;
constexpr size_t MaxPreviewUnitSamples = 64000000;

} // namespace VireoHost
