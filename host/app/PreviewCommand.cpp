#include "PreviewCommand.h"
#include "Held.h"

#include "HostSession.h"
#include "PreviewPlot.h"
#include "UnitModel.h"

#include "hostapi/Preview.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>

namespace VireoHost {
namespace {

// Greatest synthetic duration and rate accepted.
constexpr double MaxSeconds = 86400.0;
constexpr double MaxRate = 1e7;

bool ParsePositive(const std::wstring& text, double high, double& value)
{
    if (text.empty())
        return false;
    wchar_t* end = nullptr;
    value = std::wcstod(text.c_str(), &end);
    return *end == 0 && value > 0 && value <= high;
}

// Activities handed out by the preview, freed with the task allocator.
struct HeldActivities {
    VireoPreviewActivity* items = nullptr;
    ULONG count = 0;
    ~HeldActivities() { CoTaskMemFree(items); }
};

// What the preview made of the records.
struct Described {
    std::vector<VireoPreviewOutput> outputs;
    std::vector<VireoPreviewRule> rules;
};

double CountsToUnit(double counts, double range)
{
    return counts * range / VIREO_PREVIEW_FULL_SCALE;
}

PlotOutput PlotOutputFor(const VireoPreviewOutput& output, LONG record, const Described& described,
                         const UnitModel& unit)
{
    PlotOutput plotted;
    plotted.name = OutputLabel(output.output);
    plotted.fixedWidth = output.width > 0;
    plotted.all = output.mode == 1;
    plotted.width = output.width;
    plotted.delay = output.delay;
    plotted.holdoff = output.holdoff;
    plotted.pulseLimit = output.pulseLimit;
    for (const VireoPreviewRule& rule : described.rules) {
        if (rule.record != record)
            continue;
        const double range = static_cast<size_t>(rule.input) < unit.inputRanges.size()
                                 ? RangeValue(unit.inputRanges[static_cast<size_t>(rule.input)])
                                 : 0.0;
        const double upper = CountsToUnit(rule.threshold, range);
        const double lower = CountsToUnit(static_cast<double>(rule.threshold) - rule.hysteresis, range);
        // A rising rule is set to its threshold, a falling one to the band's lower edge.
        plotted.rules.push_back({rule.input + 1, rule.above != 0, rule.above ? upper : lower, lower, upper});
    }
    return plotted;
}

PreviewPicture PictureFor(const Described& described, const HeldActivities& activities, const UnitModel& unit,
                          const std::vector<int32_t>& counts, const SampledSignals& signals, const std::wstring& title)
{
    PreviewPicture picture;
    picture.title = title;
    picture.rate = signals.rate;
    picture.count = signals.count;
    std::vector<int> watched;
    for (size_t i = 0; i < described.outputs.size(); ++i) {
        if (described.outputs[i].mode == 0)
            continue;
        PlotOutput output = PlotOutputFor(described.outputs[i], static_cast<LONG>(i), described, unit);
        for (ULONG k = 0; k < activities.count; ++k)
            if (activities.items[k].record == static_cast<LONG>(i))
                output.activity.emplace_back(activities.items[k].start, activities.items[k].end);
        for (const PlotRule& rule : output.rules)
            if (std::find(watched.begin(), watched.end(), rule.input) == watched.end())
                watched.push_back(rule.input);
        picture.outputs.push_back(std::move(output));
    }
    std::sort(watched.begin(), watched.end());
    for (int input : watched) {
        const std::wstring& rangeText = unit.inputRanges[static_cast<size_t>(input - 1)];
        const double range = RangeValue(rangeText);
        PlotInput plotted{input, RangeUnit(rangeText), {}};
        const int32_t* channel = counts.data() + static_cast<size_t>(input - 1) * signals.count;
        plotted.values.reserve(signals.count);
        for (size_t n = 0; n < signals.count; ++n)
            plotted.values.push_back(CountsToUnit(channel[n], range));
        picture.inputs.push_back(std::move(plotted));
    }
    return picture;
}

void PrintActivities(const Described& described, const HeldActivities& activities)
{
    char line[96];
    for (ULONG k = 0; k < activities.count; ++k) {
        const VireoPreviewActivity& a = activities.items[k];
        std::snprintf(line, sizeof line, "%s %.4f %.4f", OutputLabel(a.output).c_str(), a.start, a.end);
        PrintLine(line);
    }
    for (size_t i = 0; i < described.outputs.size(); ++i) {
        if (described.outputs[i].mode == 0)
            continue;
        size_t events = 0;
        for (ULONG k = 0; k < activities.count; ++k)
            events += activities.items[k].record == static_cast<LONG>(i) ? 1 : 0;
        PrintLine("Summary: " + OutputLabel(described.outputs[i].output) + " " + std::to_string(events) +
                  (events == 1 ? " event" : " events"));
    }
}

HRESULT Describe(IVireoOutputPreview* preview, const std::vector<BYTE>& bytes, ULONG recordCount, Described& described)
{
    described.outputs.resize(recordCount);
    described.rules.resize(static_cast<size_t>(recordCount) * 4);
    ULONG ruleCount = 0;
    const HRESULT hr =
        preview->Describe(bytes.data(), recordCount, described.outputs.data(), described.rules.data(), &ruleCount);
    described.rules.resize(SUCCEEDED(hr) ? ruleCount : 0);
    return hr;
}

// Every input of the unit gets a channel of counts; their total is held in bounds.
bool FitsTheUnit(size_t count, const UnitModel& unit)
{
    const size_t inputs = std::max<size_t>(1, unit.inputRanges.size());
    if (count <= MaxPreviewUnitSamples / inputs)
        return true;
    PrintError(L"the signal is too long: at most " + std::to_wstring(MaxPreviewUnitSamples / inputs) +
               L" samples per input on this unit");
    return false;
}

} // namespace

bool IsPreviewOption(const std::wstring& arg)
{
    return arg == L"--signal" || arg == L"--synth" || arg == L"--seconds" || arg == L"--rate" || arg == L"--plot";
}

bool ParsePreviewOption(const std::vector<std::wstring>& args, size_t& index, PreviewOptions& options,
                        std::wstring& error)
{
    const std::wstring& arg = args[index];
    if (index + 1 >= args.size() || args[index + 1].empty()) {
        error = arg + L" needs a value";
        return false;
    }
    const std::wstring& value = args[++index];
    std::wstring* text = arg == L"--signal"  ? &options.signalFile
                         : arg == L"--synth" ? &options.synth
                         : arg == L"--plot"  ? &options.plotFile
                                             : nullptr;
    if (text) {
        if (!text->empty()) {
            error = arg + L" given twice";
            return false;
        }
        *text = value;
        return true;
    }
    const bool seconds = arg == L"--seconds";
    bool& given = seconds ? options.secondsGiven : options.rateGiven;
    double& number = seconds ? options.seconds : options.rate;
    if (given) {
        error = arg + L" given twice";
        return false;
    }
    if (!ParsePositive(value, seconds ? MaxSeconds : MaxRate, number)) {
        error = arg + L" needs a number above 0, not " + value;
        return false;
    }
    given = true;
    return true;
}

bool CheckPreviewOptions(const PreviewOptions& options, std::wstring& error)
{
    if (options.signalFile.empty() == options.synth.empty()) {
        error =
            options.synth.empty() ? L"preview needs --signal or --synth" : L"--signal and --synth exclude each other";
        return false;
    }
    if (!options.signalFile.empty() && (options.secondsGiven || options.rateGiven)) {
        error = L"--seconds and --rate go with --synth; a signal file has its own";
        return false;
    }
    return true;
}

bool ReadPreviewSignals(const PreviewOptions& options, const UnitModel& unit, SampledSignals& signals)
{
    const int inputs = static_cast<int>(unit.inputRanges.size());
    if (!options.signalFile.empty()) {
        std::string text;
        if (!ReadTextFile(options.signalFile, text)) {
            PrintError(L"cannot read " + options.signalFile);
            return false;
        }
        const SignalResult result = ParseSignalCsv(text, inputs, signals);
        if (!result.ok) {
            PrintError(options.signalFile + (result.line ? L" line " + std::to_wstring(result.line) : L"") + L": " +
                       result.message);
            return false;
        }
        return FitsTheUnit(signals.count, unit);
    }
    std::vector<SynthShape> shapes;
    const SignalResult result = ParseSynthShapes(options.synth, inputs, shapes);
    if (!result.ok) {
        PrintError(L"--synth: " + result.message);
        return false;
    }
    const double rate = options.rateGiven ? options.rate : unit.sampleRate;
    if (options.seconds * rate > static_cast<double>(MaxPreviewSamples) || options.seconds * rate < 2) {
        PrintError(L"--seconds and --rate give " + std::to_wstring(std::llround(options.seconds * rate)) +
                   L" samples; 2 to " + std::to_wstring(MaxPreviewSamples) + L" are allowed");
        return false;
    }
    if (!FitsTheUnit(static_cast<size_t>(std::llround(options.seconds * rate)), unit))
        return false;
    signals = SampleShapes(shapes, options.seconds, rate);
    return true;
}

double RangeValue(const std::wstring& rangeText)
{
    return std::wcstod(rangeText.c_str(), nullptr);
}

std::wstring RangeUnit(const std::wstring& rangeText)
{
    const size_t space = rangeText.find(L' ');
    return space == std::wstring::npos ? std::wstring() : rangeText.substr(space + 1);
}

std::vector<int32_t> ToUnitCounts(const SampledSignals& signals, const UnitModel& unit)
{
    const size_t inputs = unit.inputRanges.size();
    std::vector<int32_t> counts(inputs * signals.count, 0);
    for (const auto& entry : signals.inputs) {
        const size_t input = static_cast<size_t>(entry.first - 1);
        const double range = input < inputs ? RangeValue(unit.inputRanges[input]) : 0.0;
        if (!(range > 0))
            continue;
        int32_t* channel = counts.data() + input * signals.count;
        // The unit's converter saturates at its 16-bit limits.
        for (size_t n = 0; n < signals.count && n < entry.second.size(); ++n) {
            const double value = std::round(entry.second[n] / range * VIREO_PREVIEW_FULL_SCALE);
            channel[n] = static_cast<int32_t>(std::max(-32768.0, std::min(32767.0, value)));
        }
    }
    return counts;
}

std::string OutputLabel(long output)
{
    return (output > 0 ? "A" : "D") + std::to_string(output > 0 ? output : -output);
}

int RunPreview(const PreviewOptions& options, const UnitModel& unit, const std::wstring& settingsName,
               const std::vector<std::array<uint8_t, 112>>& records, const SampledSignals& signals)
{
    Held<IVireoOutputPreview> preview;
    if (FAILED(CoGetClassObject(CLSID_VireoOutputPreview, CLSCTX_INPROC_SERVER, nullptr, IID_IVireoOutputPreview,
                                reinterpret_cast<void**>(&preview.object))) ||
        !preview.object) {
        PrintError(L"the module offers no output preview");
        return 1;
    }
    std::vector<BYTE> bytes;
    for (const auto& record : records)
        bytes.insert(bytes.end(), record.begin(), record.end());
    const ULONG recordCount = static_cast<ULONG>(records.size());
    Described described;
    HRESULT hr = Describe(preview.object, bytes, recordCount, described);
    const std::vector<int32_t> counts = ToUnitCounts(signals, unit);
    HeldActivities activities;
    if (SUCCEEDED(hr))
        hr = preview.object->Run(bytes.data(), recordCount, reinterpret_cast<const LONG*>(counts.data()),
                                 static_cast<ULONG>(unit.inputRanges.size()), static_cast<ULONG>(signals.count),
                                 signals.rate, &activities.items, &activities.count);
    if (FAILED(hr)) {
        PrintError(L"the output preview failed (" + Code(hr) + L")");
        return 1;
    }
    PrintActivities(described, activities);
    if (options.plotFile.empty())
        return 0;
    wchar_t span[96];
    std::swprintf(span, 96, L"%g s, %zu samples at %g Hz", static_cast<double>(signals.count) / signals.rate,
                  signals.count, signals.rate);
    const std::wstring title = L"Preview of " + settingsName + L" on " + unit.name + L": " + span;
    std::wstring error;
    if (!SavePreviewPng(PictureFor(described, activities, unit, counts, signals, title), options.plotFile, error)) {
        PrintError(error);
        return 1;
    }
    return 0;
}

} // namespace VireoHost
