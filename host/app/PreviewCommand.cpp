#include "PreviewCommand.h"
#include "Held.h"

#include "HostSession.h"
#include "PreviewEdf.h"
#include "PreviewPlot.h"
#include "UnitModel.h"

#include "hostapi/Preview.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cwctype>

namespace VireoHost {
namespace {

// Greatest synthetic duration and rate accepted.
constexpr double MaxSeconds = 86400.0;
constexpr double MaxRate = 1e7;
// Samples per input read, converted and run at a time.
constexpr size_t BlockSamples = 8192;

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

// The picture keeps the watched inputs' traces as the blocks pass.
struct PictureTraces {
    std::vector<int> watched; // input numbers, ascending
    std::vector<PlotTrace> traces;
};

PictureTraces TracesFor(const Described& described, size_t count, int columns)
{
    PictureTraces traces;
    for (const VireoPreviewRule& rule : described.rules)
        if (described.outputs[static_cast<size_t>(rule.record)].mode != 0 &&
            std::find(traces.watched.begin(), traces.watched.end(), rule.input + 1) == traces.watched.end())
            traces.watched.push_back(rule.input + 1);
    std::sort(traces.watched.begin(), traces.watched.end());
    traces.traces.assign(traces.watched.size(), PlotTrace(count, columns));
    return traces;
}

// Adds a block of counts to the traces, in the inputs' own units as the unit sees them.
void AddToTraces(PictureTraces& traces, const std::vector<int32_t>& counts, size_t n, const UnitModel& unit,
                 std::vector<double>& scratch)
{
    scratch.resize(n);
    for (size_t k = 0; k < traces.watched.size(); ++k) {
        const size_t input = static_cast<size_t>(traces.watched[k] - 1);
        const double range = RangeValue(unit.inputRanges[input]);
        const int32_t* channel = counts.data() + input * n;
        for (size_t i = 0; i < n; ++i)
            scratch[i] = CountsToUnit(channel[i], range);
        traces.traces[k].Add(scratch.data(), n);
    }
}

PreviewPicture PictureFor(const Described& described, const HeldActivities& activities, const UnitModel& unit,
                          PictureTraces& traces, double rate, size_t count, int columns, const std::wstring& title)
{
    PreviewPicture picture;
    picture.title = title;
    picture.rate = rate;
    picture.count = count;
    picture.columns = columns;
    const double span = static_cast<double>(count) / rate;
    for (size_t i = 0; i < described.outputs.size(); ++i) {
        if (described.outputs[i].mode == 0)
            continue;
        PlotOutput output = PlotOutputFor(described.outputs[i], static_cast<LONG>(i), described, unit);
        output.active.assign(static_cast<size_t>(columns), 0);
        for (ULONG k = 0; k < activities.count; ++k)
            if (activities.items[k].record == static_cast<LONG>(i))
                MarkActivity(output, activities.items[k].start, activities.items[k].end, span, columns);
        picture.outputs.push_back(std::move(output));
    }
    for (size_t k = 0; k < traces.watched.size(); ++k)
        picture.inputs.push_back({traces.watched[k],
                                  RangeUnit(unit.inputRanges[static_cast<size_t>(traces.watched[k] - 1)]),
                                  std::move(traces.traces[k])});
    return picture;
}

void PrintActivities(const Described& described, const HeldActivities& activities)
{
    // Written in large pieces: a recording can give many thousands of lines.
    std::string text;
    char line[96];
    for (ULONG k = 0; k < activities.count; ++k) {
        const VireoPreviewActivity& a = activities.items[k];
        std::snprintf(line, sizeof line, "%s %.4f %.4f\n", OutputLabel(a.output).c_str(), a.start, a.end);
        text += line;
        if (text.size() > 60000) {
            std::fwrite(text.data(), 1, text.size(), stdout);
            text.clear();
        }
    }
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fflush(stdout);
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

bool EndsWith(const std::wstring& text, const wchar_t* end)
{
    const size_t length = std::wcslen(end);
    if (text.size() < length)
        return false;
    for (size_t i = 0; i < length; ++i)
        if (std::towlower(text[text.size() - length + i]) != end[i])
            return false;
    return true;
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

std::unique_ptr<SignalSource> OpenPreviewSignals(const PreviewOptions& options, const UnitModel& unit)
{
    const int inputs = static_cast<int>(unit.inputRanges.size());
    std::unique_ptr<SignalSource> source;
    if (!options.signalFile.empty()) {
        std::unique_ptr<ByteInput> file = OpenFileInput(options.signalFile);
        if (!file) {
            PrintError(L"cannot read " + options.signalFile);
            return nullptr;
        }
        std::vector<std::wstring> units;
        for (const std::wstring& range : unit.inputRanges)
            units.push_back(RangeUnit(range));
        std::wstring note;
        const SignalResult result = EndsWith(options.signalFile, L".edf") || EndsWith(options.signalFile, L".bdf")
                                        ? OpenEdfSignal(std::move(file), units, source, note)
                                        : OpenCsvSignal(std::move(file), inputs, source);
        if (!result.ok) {
            PrintError(options.signalFile + (result.line ? L" line " + std::to_wstring(result.line) : L"") + L": " +
                       result.message);
            return nullptr;
        }
        if (!note.empty())
            PrintError(options.signalFile + L": " + note);
        return source;
    }
    std::vector<SynthShape> shapes;
    const SignalResult result = ParseSynthShapes(options.synth, inputs, shapes);
    if (!result.ok) {
        PrintError(L"--synth: " + result.message);
        return nullptr;
    }
    const double rate = options.rateGiven ? options.rate : unit.sampleRate;
    if (options.seconds * rate > MaxSynthSamples || options.seconds * rate < 2) {
        PrintError(L"--seconds and --rate give " + std::to_wstring(std::llround(options.seconds * rate)) +
                   L" samples; 2 to " + std::to_wstring(std::llround(MaxSynthSamples)) + L" are allowed");
        return nullptr;
    }
    return SynthSignal(shapes, options.seconds, rate);
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

void ToUnitCounts(const SignalBlock& block, const std::vector<int>& inputs, const UnitModel& unit,
                  std::vector<int32_t>& counts)
{
    const size_t n = block.count;
    counts.assign(unit.inputRanges.size() * n, 0);
    for (size_t k = 0; k < inputs.size(); ++k) {
        const size_t input = static_cast<size_t>(inputs[k] - 1);
        const double range = input < unit.inputRanges.size() ? RangeValue(unit.inputRanges[input]) : 0.0;
        if (!(range > 0))
            continue;
        const double* values = block.Channel(k);
        int32_t* channel = counts.data() + input * n;
        // The unit's converter rounds half away from zero and saturates at its 16-bit
        // limits; done inline, as the library's round is a call per sample.
        for (size_t i = 0; i < n; ++i) {
            const double value = std::max(-40000.0, std::min(40000.0, values[i] / range * VIREO_PREVIEW_FULL_SCALE));
            int32_t whole = static_cast<int32_t>(value);
            const double rest = value - whole;
            whole += rest >= 0.5 ? 1 : rest <= -0.5 ? -1 : 0;
            channel[i] = std::max(-32768, std::min(32767, whole));
        }
    }
}

std::string OutputLabel(long output)
{
    return (output > 0 ? "A" : "D") + std::to_string(output > 0 ? output : -output);
}

int RunPreview(const PreviewOptions& options, const UnitModel& unit, const std::wstring& settingsName,
               const std::vector<std::array<uint8_t, 112>>& records, SignalSource& signals)
{
    Held<IVireoOutputPreview> preview;
    if (FAILED(CoGetClassObject(CLSID_VireoOutputPreview, CLSCTX_INPROC_SERVER, nullptr, IID_IVireoOutputPreview,
                                preview.Out())) ||
        !preview.object) {
        PrintError(L"the module offers no output preview");
        return 1;
    }
    std::vector<BYTE> bytes;
    for (const auto& record : records)
        bytes.insert(bytes.end(), record.begin(), record.end());
    const ULONG recordCount = static_cast<ULONG>(records.size());
    const ULONG inputCount = static_cast<ULONG>(unit.inputRanges.size());
    Described described;
    Held<IVireoPreviewRun> run;
    HRESULT hr = Describe(preview.object, bytes, recordCount, described);
    if (SUCCEEDED(hr))
        hr = preview.object->Start(bytes.data(), recordCount, inputCount, signals.rate, &run.object);
    const bool plotting = !options.plotFile.empty();
    const int columns = PlotColumns(PlotWidth);
    PictureTraces traces = plotting ? TracesFor(described, signals.count, columns) : PictureTraces();
    SignalBlock block;
    std::vector<int32_t> counts;
    std::vector<double> scratch;
    while (SUCCEEDED(hr)) {
        const SignalResult read = signals.Read(BlockSamples, block);
        if (!read.ok) {
            PrintError(options.signalFile + (read.line ? L" line " + std::to_wstring(read.line) : L"") + L": " +
                       read.message);
            return 2;
        }
        if (block.count == 0)
            break;
        ToUnitCounts(block, signals.inputs, unit, counts);
        hr = run.object->Feed(reinterpret_cast<const LONG*>(counts.data()), static_cast<ULONG>(block.count));
        if (plotting)
            AddToTraces(traces, counts, block.count, unit, scratch);
    }
    HeldActivities activities;
    if (SUCCEEDED(hr))
        hr = run.object->Finish(&activities.items, &activities.count);
    if (FAILED(hr)) {
        PrintError(L"the output preview failed (" + Code(hr) + L")");
        return 1;
    }
    PrintActivities(described, activities);
    if (!plotting)
        return 0;
    wchar_t span[96];
    std::swprintf(span, 96, L"%g s, %zu samples at %g Hz", static_cast<double>(signals.count) / signals.rate,
                  signals.count, signals.rate);
    const std::wstring title = L"Preview of " + settingsName + L" on " + unit.name + L": " + span;
    std::wstring error;
    if (!SavePreviewPng(PictureFor(described, activities, unit, traces, signals.rate, signals.count, columns, title),
                        options.plotFile, error)) {
        PrintError(error);
        return 1;
    }
    return 0;
}

} // namespace VireoHost
