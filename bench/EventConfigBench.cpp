// Times writing and reading the text settings of a large unit: 8 analog and 32 digital
// outputs with 4 rules each. Prints microseconds per operation.

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

EventConfig LargeConfig()
{
    EventConfig config;
    config.SetOutputCounts(8, 32);
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

} // namespace

int main()
{
    const EventConfig config = LargeConfig();
    const int rounds = 2000;

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

    std::printf("EventConfig text of 8 analog + 32 digital outputs, 4 rules each: %zu bytes\n", text.size());
    std::printf("Serialize: %.1f us per call\n", serialize * 1e6);
    std::printf("Parse:     %.1f us per call\n", parse * 1e6);
    std::printf("Round trip %s\n", ok ? "identical" : "FAILED");
    return ok ? 0 : 1;
}
