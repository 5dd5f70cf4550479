// Times writing and reading the text settings of a large unit: 8 analog and 32 digital
// outputs with 4 rules each. Prints microseconds per operation, and the same per output
// for the largest configuration accepted, to show the cost grows linearly.

#include "eventconfig/EventConfig.h"

#include <windows.h>

#include <cstdio>
#include <string>

namespace {

double Seconds(LARGE_INTEGER from, LARGE_INTEGER to)
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

EventConfig LargeConfig(int analog, int digital)
{
    EventConfig config;
    config.SetOutputCounts(analog, digital);
    config.AddDefaultRule();
    for (int i = 0; i < config.GetCount(); ++i) {
        for (int r = 0; r < 3; ++r)
            config.InsertRule(i, r);
        OnlineEvent& event = config.GetEvent(i);
        event.On = (i % 2) == 0;
        event.PulseDuration = 0.001 * (i + 1);
        event.PulseDelay = 0.0005 * i;
        event.RetriggerHoldoffTime = 0.25;
        for (int r = 0; r < 4; ++r) {
            event.Rules[r].Input = (i + r) % 16;
            event.Rules[r].Above = (r % 2) == 0;
            event.Rules[r].Level = -50.0 + 12.5 * r;
        }
    }
    return config;
}

struct Timing {
    double serialize;
    double parse;
    std::size_t bytes;
    bool identical;
};

Timing Measure(const EventConfig& config, int rounds)
{
    std::string text;
    LARGE_INTEGER start, end;
    QueryPerformanceCounter(&start);
    for (int i = 0; i < rounds; ++i)
        config.Serialize(text);
    QueryPerformanceCounter(&end);
    const double serialize = Seconds(start, end) / rounds;

    bool ok = true;
    QueryPerformanceCounter(&start);
    for (int i = 0; i < rounds; ++i) {
        EventConfig read;
        ok = read.Parse(text) && ok;
    }
    QueryPerformanceCounter(&end);
    const double parse = Seconds(start, end) / rounds;

    EventConfig check;
    std::string again;
    ok = check.Parse(text) && check.Serialize(again) && again == text && ok;
    return {serialize, parse, text.size(), ok};
}

} // namespace

int main()
{
    const Timing unit = Measure(LargeConfig(8, 32), 2000);
    std::printf("EventConfig text of 8 analog + 32 digital outputs, 4 rules each: %zu bytes\n", unit.bytes);
    std::printf("Serialize: %.1f us per call\n", unit.serialize * 1e6);
    std::printf("Parse:     %.1f us per call\n", unit.parse * 1e6);

    const int most = EventConfig::MaxOutputs;
    const Timing largest = Measure(LargeConfig(most / 4, most - most / 4), 80);
    std::printf("Per output at 40 / %d outputs: Serialize %.2f / %.2f us, Parse %.2f / %.2f us\n", most,
                unit.serialize * 1e6 / 40, largest.serialize * 1e6 / most, unit.parse * 1e6 / 40,
                largest.parse * 1e6 / most);

    const bool ok = unit.identical && largest.identical;
    std::printf("Round trips %s\n", ok ? "identical" : "FAILED");
    return ok ? 0 : 1;
}
