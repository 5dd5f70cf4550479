#pragma once
// Timing shared by the benchmark programs: a monotonic clock and the best of several rounds.

#include <windows.h>

#include <algorithm>

namespace Bench {

// Seconds on the performance counter.
inline double Now()
{
    static const double frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return static_cast<double>(f.QuadPart);
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) / frequency;
}

// Best of several rounds, each timing `repeat` calls, in seconds per call.
template <typename Call>
double BestTime(int rounds, int repeat, Call call)
{
    double best = 1e30;
    for (int r = 0; r < rounds; ++r) {
        const double start = Now();
        for (int i = 0; i < repeat; ++i)
            call();
        best = std::min(best, (Now() - start) / repeat);
    }
    return best;
}

} // namespace Bench
