#pragma once
// The preview command: runs settings, as the unit receives them, over recorded or
// synthetic input signals through the module's output preview, prints what every
// output does and draws it when asked.

#include "PreviewSignals.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace VireoHost {

struct UnitModel;

struct PreviewOptions {
    std::wstring signalFile; // --signal: CSV, or EDF/BDF by its extension
    std::wstring synth;      // --synth
    double seconds = 2.0;    // --seconds, synthetic signals only
    double rate = 0.0;       // --rate, synthetic signals only; 0: the unit's rate
    std::wstring plotFile;   // --plot
    bool secondsGiven = false;
    bool rateGiven = false;
};

// True for the options only the preview takes.
bool IsPreviewOption(const std::wstring& arg);

// Takes the option at args[index] and its value (index moves to the value);
// false with a one-line reason.
bool ParsePreviewOption(const std::vector<std::wstring>& args, size_t& index, PreviewOptions& options,
                        std::wstring& error);
// Checks the options as a whole once all are read.
bool CheckPreviewOptions(const PreviewOptions& options, std::wstring& error);

// The signals the options name, on the unit's inputs, ready to be read; null with a
// reason on stderr.
std::unique_ptr<SignalSource> OpenPreviewSignals(const PreviewOptions& options, const UnitModel& unit);

// Converts a block of the source's channels to unit counts, one channel per input of
// the unit, inputs without a signal at 0. Full scale is the input's range.
void ToUnitCounts(const SignalBlock& block, const std::vector<int>& inputs, const UnitModel& unit,
                  std::vector<int32_t>& counts);
// The number at the start of an input's range text, such as 200 for "200 mV".
double RangeValue(const std::wstring& rangeText);
// The unit word of a range text, such as "mV".
std::wstring RangeUnit(const std::wstring& rangeText);

// "A1", "D3".
std::string OutputLabel(long output);

// Runs the records the unit received over the signals, block by block, and prints the
// result; the exit code of the host program.
int RunPreview(const PreviewOptions& options, const UnitModel& unit, const std::wstring& settingsName,
               const std::vector<std::array<uint8_t, 112>>& records, SignalSource& signals);

} // namespace VireoHost
