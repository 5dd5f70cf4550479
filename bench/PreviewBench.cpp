// Times the output preview on a large case: 8 inputs sampled at 10 kHz for 60 s,
// 40 outputs with 4 rules each, fed to the model in blocks as the host program does.
// Prints how many seconds of signal the model runs through per second of wall-clock time.

#include "eventconfig/EventConfig.h"
#include "extension/OutputRecord.h"
#include "preview/OutputModel.h"

#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <vector>

namespace {

constexpr int Inputs = 8;
constexpr int Outputs = 40;
constexpr double Rate = 10000.0;
constexpr double Seconds = 60.0;
constexpr size_t BlockSamples = 8192;

double ElapsedSeconds(LARGE_INTEGER from, LARGE_INTEGER to)
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// Sines of different frequencies with noise, in counts.
std::vector<int32_t> Signals(size_t count)
{
    std::vector<int32_t> samples(Inputs * count);
    uint32_t seed = 1;
    for (int input = 0; input < Inputs; ++input) {
        const double frequency = 0.5 + input * 1.7;
        for (size_t n = 0; n < count; ++n) {
            seed = seed * 1664525u + 1013904223u;
            const double noise = (static_cast<double>(seed >> 8) / 16777216.0 - 0.5) * 2000.0;
            const double t = static_cast<double>(n) / Rate;
            samples[input * count + n] =
                static_cast<int32_t>(20000.0 * std::sin(2 * 3.14159265358979 * frequency * t) + noise);
        }
    }
    return samples;
}

std::vector<OnlineEvents::ModelOutput> BenchOutputs()
{
    std::vector<OnlineEvents::ModelOutput> outputs;
    for (int i = 0; i < Outputs; ++i) {
        OnlineEvent event;
        event.On = true;
        event.Output = i < 8 ? i + 1 : -(i - 7);
        event.All = (i % 2) == 0;
        event.LimitedDuration = (i % 3) != 0;
        event.PulseDuration = 0.002;
        event.PulseDelay = 0.001 * (i % 5);
        event.RetriggerHoldoff = (i % 4) == 0;
        event.RetriggerHoldoffTime = 0.05;
        for (int r = 0; r < 4; ++r) {
            OnlineEventRule rule;
            rule.Input = (i + r) % Inputs;
            rule.Above = (r % 2) == 0;
            rule.Level = -40.0 + 7.5 * ((i + 3 * r) % 12);
            rule.Hysteresis = (i + r) % 3 == 0 ? 0.0 : 5.0;
            event.Rules.push_back(rule);
        }
        const OnlineEvents::OutputRecord record = OnlineEvents::BuildOutputRecord(event);
        OnlineEvents::ModelOutput output;
        OnlineEvents::ReadOutputRecord(record.data(), output);
        outputs.push_back(output);
    }
    return outputs;
}

} // namespace

int main()
{
    const size_t count = static_cast<size_t>(Seconds * Rate);
    const std::vector<int32_t> samples = Signals(count);
    const std::vector<OnlineEvents::ModelOutput> outputs = BenchOutputs();
    double best = 1e300;
    size_t activities = 0;
    for (int round = 0; round < 3; ++round) {
        LARGE_INTEGER start, end;
        QueryPerformanceCounter(&start);
        OnlineEvents::ModelStream stream(outputs, Inputs, Rate);
        std::vector<int32_t> block;
        for (size_t from = 0; from < count; from += BlockSamples) {
            const size_t n = std::min(BlockSamples, count - from);
            block.clear();
            for (int input = 0; input < Inputs; ++input)
                block.insert(block.end(), samples.begin() + input * count + from,
                             samples.begin() + input * count + from + n);
            stream.Feed(block.data(), n);
        }
        activities = stream.Finish().size();
        QueryPerformanceCounter(&end);
        best = std::min(best, ElapsedSeconds(start, end));
    }
    std::printf("PreviewBench: %d inputs at %.0f Hz, %d outputs x 4 rules, %.0f s of signal\n", Inputs, Rate, Outputs,
                Seconds);
    std::printf("  %zu activities, best of 3 runs %.3f s wall\n", activities, best);
    std::printf("  %.0f simulated seconds per wall-clock second (goal: 1000)\n", Seconds / best);
    return 0;
}
