#pragma once
// Input signals for the preview: read from a CSV, EDF or BDF file or made from a
// synthetic description, in each input's own unit, at a fixed sampling rate. They are
// read block by block, so a recording of any length needs the same memory.

#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace VireoHost {

// What reading or parsing gave: ok, or a message and the line it concerns (0: none).
struct SignalResult {
    bool ok = true;
    std::wstring message;
    int line = 0;
};
SignalResult SignalFailure(const std::wstring& message, int line = 0);

// The next samples of every input a source gives, one channel after the other.
struct SignalBlock {
    size_t count = 0; // samples of each channel; 0 at the end
    std::vector<double> values;
    const double* Channel(size_t channel) const { return values.data() + channel * count; }
};

class SignalSource {
public:
    virtual ~SignalSource() = default;
    // Known before the first block.
    double rate = 0.0;       // samples per second
    size_t count = 0;        // samples of every input
    std::vector<int> inputs; // the input number (1, 2, ...) of each channel
    // The next block of at most `most` samples per channel; block.count is 0 at the end.
    virtual SignalResult Read(size_t most, SignalBlock& block) = 0;
};

// Bytes to read from the start, more than once if need be.
class ByteInput {
public:
    virtual ~ByteInput() = default;
    // Up to `size` bytes; 0 at the end. False when reading fails.
    virtual bool Read(char* buffer, size_t size, size_t& got) = 0;
    virtual bool Rewind() = 0;
    virtual uint64_t Size() = 0;
};

// A file, opened for reading; null when it cannot be.
std::unique_ptr<ByteInput> OpenFileInput(const std::wstring& path);
// Bytes held in memory.
std::unique_ptr<ByteInput> MemoryInput(std::string bytes);

// A header "time,1,2,..." then rows of seconds and one value per named input, in
// increasing time at a fixed rate: the number of rows less one over the time they
// span. Inputs above the unit's input count are refused. The file is read twice: once
// for the number of rows and the last row's time, which give the rate, then block by
// block. Errors name the line.
SignalResult OpenCsvSignal(std::unique_ptr<ByteInput> input, int unitInputs, std::unique_ptr<SignalSource>& source);

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
std::unique_ptr<SignalSource> SynthSignal(const std::vector<SynthShape>& shapes, double seconds, double rate);

// The greatest number of samples a synthetic signal may have per input.
constexpr double MaxSynthSamples = 4e9;

} // namespace VireoHost
