// The host program's preview of a recorded CSV file, timed whole in one process:
// settings to the unit, reading, detecting and printing. bench/preview-vs-numpy runs
// it beside numpy.loadtxt reading the same file.
//
//   PreviewFileBench write DIR             writes DIR/one-minute.csv and DIR/four-minutes.csv
//   PreviewFileBench time FILE SETTINGS    best of 3 previews, in seconds
//   PreviewFileBench memory FILE SETTINGS  the peak working set of one preview with a plot

#include "BenchTimer.h"

#include "CommandLine.h"
#include "HostSession.h"

#include <windows.h>
#include <psapi.h>
#include <shellapi.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fcntl.h>
#include <io.h>
#include <string>
#include <vector>

namespace {

constexpr double Rate = 10000.0;

// Four inputs in their units on the default unit (10 V, 5 V, 2 V, 200 mV): a noisy
// sine, a square wave, a faster sine and a slow one in millivolts.
bool WriteCsv(const std::wstring& path, double seconds)
{
    FILE* file = _wfopen(path.c_str(), L"wb");
    if (!file)
        return false;
    std::fputs("time,1,2,3,4\n", file);
    uint64_t state = 1;
    const double pi = 3.14159265358979323846;
    const size_t rows = static_cast<size_t>(seconds * Rate) + 1;
    char line[128];
    for (size_t n = 0; n < rows; ++n) {
        const double t = static_cast<double>(n) / Rate;
        double noise = 0;
        for (int k = 0; k < 4; ++k) {
            state = state * 6364136223846793005ull + 1442695040888963407ull;
            noise += static_cast<double>(state >> 11) / 9007199254740992.0 - 0.5;
        }
        const int length =
            std::snprintf(line, sizeof line, "%.4f,%.5f,%.5f,%.5f,%.4f\n", t,
                          4 * std::sin(2 * pi * 2 * t) + 0.26 * noise, std::fmod(t * 1.5, 1.0) < 0.5 ? 1.5 : -1.5,
                          0.5 * std::sin(2 * pi * 7 * t), 150 * std::sin(2 * pi * 0.75 * t));
        std::fwrite(line, 1, static_cast<size_t>(length), file);
    }
    return std::fclose(file) == 0;
}

// One preview as `VireoHost preview SETTINGS --signal FILE` runs it, its lines to a
// file as a script would take them (NUL is slow to write under Wine).
int Preview(const std::wstring& file, const std::wstring& settings, bool plot = false)
{
    wchar_t folder[MAX_PATH];
    wchar_t lines[MAX_PATH];
    wchar_t picture[MAX_PATH];
    GetTempPathW(MAX_PATH, folder);
    GetTempFileNameW(folder, L"pfb", 0, lines);
    GetTempFileNameW(folder, L"pfb", 0, picture);
    std::vector<std::wstring> args = {L"preview", settings, L"--signal", file};
    if (plot)
        args.insert(args.end(), {L"--plot", picture});
    VireoHost::CommandLine command;
    std::wstring error;
    if (!VireoHost::ParseCommandLine(args, command, error)) {
        std::fwprintf(stderr, L"%ls\n", error.c_str());
        return 2;
    }
    std::fflush(stdout);
    const int saved = _dup(1);
    const int out = _wopen(lines, _O_WRONLY | _O_BINARY | _O_TRUNC);
    _dup2(out, 1);
    int result = 0;
    {
        VireoHost::HostSession session;
        result = session.Run(command);
    }
    std::fflush(stdout);
    _dup2(saved, 1);
    _close(out);
    _close(saved);
    DeleteFileW(lines);
    DeleteFileW(picture);
    return result;
}

} // namespace

int main()
{
    int count = 0;
    wchar_t** arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::wstring> args(arguments + 1, arguments + count);
    LocalFree(arguments);
    if (args.size() == 2 && args[0] == L"write") {
        const bool written =
            WriteCsv(args[1] + L"\\one-minute.csv", 60) && WriteCsv(args[1] + L"\\four-minutes.csv", 240);
        return written ? 0 : 1;
    }
    if (args.size() == 3 && args[0] == L"time") {
        int result = 0;
        const double best = Bench::BestTime(3, 1, [&] { result |= Preview(args[1], args[2]); });
        std::printf("%.4f\n", best);
        return result;
    }
    if (args.size() == 3 && args[0] == L"memory") {
        const int result = Preview(args[1], args[2], true);
        PROCESS_MEMORY_COUNTERS counters{};
        counters.cb = sizeof counters;
        GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
        std::printf("%zu\n", static_cast<size_t>(counters.PeakWorkingSetSize));
        return result;
    }
    std::fputs("usage: PreviewFileBench write DIR | time FILE SETTINGS | memory FILE SETTINGS\n", stderr);
    return 2;
}
