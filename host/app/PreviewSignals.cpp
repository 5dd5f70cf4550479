#include "PreviewSignals.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cwchar>
#include <set>

namespace VireoHost {
namespace {

constexpr double Pi = 3.14159265358979323846;

SignalResult Failure(const std::wstring& message, int line = 0)
{
    SignalResult result;
    result.ok = false;
    result.message = message;
    result.line = line;
    return result;
}

std::wstring Widen(const std::string& text)
{
    return std::wstring(text.begin(), text.end());
}

std::string TrimSpace(const std::string& text)
{
    size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos)
        return std::string();
    const size_t last = text.find_last_not_of(" \t\r");
    return text.substr(first, last - first + 1);
}

bool ParseNumber(const std::string& text, double& value)
{
    const std::string trimmed = TrimSpace(text);
    if (trimmed.empty())
        return false;
    char* end = nullptr;
    value = std::strtod(trimmed.c_str(), &end);
    return *end == 0 && std::isfinite(value);
}

bool ParseNumber(const std::wstring& text, double& value)
{
    for (wchar_t c : text)
        if (c > 0x7F)
            return false;
    return ParseNumber(std::string(text.begin(), text.end()), value);
}

// An input number from 1 to the unit's input count.
bool ParseInput(const std::string& text, int unitInputs, int& input)
{
    const std::string trimmed = TrimSpace(text);
    if (trimmed.empty() || trimmed.size() > 4 || trimmed.find_first_not_of("0123456789") != std::string::npos)
        return false;
    input = std::atoi(trimmed.c_str());
    return input >= 1 && input <= unitInputs;
}

std::vector<std::string> SplitFields(const std::string& line)
{
    std::vector<std::string> fields;
    size_t start = 0;
    for (;;) {
        const size_t comma = line.find(',', start);
        fields.push_back(line.substr(start, comma == std::string::npos ? std::string::npos : comma - start));
        if (comma == std::string::npos)
            return fields;
        start = comma + 1;
    }
}

SignalResult ParseHeader(const std::string& line, int unitInputs, std::vector<int>& columns)
{
    const std::vector<std::string> fields = SplitFields(line);
    if (TrimSpace(fields[0]) != "time" || fields.size() < 2)
        return Failure(L"the header must be time,1,2,... naming the inputs", 1);
    std::set<int> seen;
    for (size_t i = 1; i < fields.size(); ++i) {
        int input = 0;
        if (!ParseInput(fields[i], unitInputs, input))
            return Failure(L"\"" + Widen(TrimSpace(fields[i])) + L"\" is not an input of the unit (1 to " +
                               std::to_wstring(unitInputs) + L")",
                           1);
        if (!seen.insert(input).second)
            return Failure(L"input " + std::to_wstring(input) + L" is named twice", 1);
        columns.push_back(input);
    }
    return SignalResult();
}

// The rows must keep to one rate: every time within half a sample of its place.
SignalResult CheckFixedRate(const std::vector<double>& times, const std::vector<int>& lines, double& rate)
{
    if (times.size() < 2)
        return Failure(L"at least two rows of samples are needed", times.empty() ? 1 : lines[0]);
    const double step = (times.back() - times.front()) / static_cast<double>(times.size() - 1);
    for (size_t i = 1; i < times.size(); ++i) {
        if (!(times[i] > times[i - 1]))
            return Failure(L"the time does not increase", lines[i]);
        const double expected = times.front() + step * static_cast<double>(i);
        if (std::fabs(times[i] - expected) > 0.5 * step)
            return Failure(L"the time leaves the fixed rate of the rows", lines[i]);
    }
    rate = 1.0 / step;
    return SignalResult();
}

} // namespace

SignalResult ParseSignalCsv(const std::string& text, int unitInputs, SampledSignals& signals)
{
    signals = SampledSignals();
    std::vector<int> columns;
    std::vector<double> times;
    std::vector<int> lines;
    std::vector<std::vector<double>> values;
    size_t start = 0;
    for (int number = 1; start < text.size(); ++number) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        const std::string line = text.substr(start, end - start);
        start = end + 1;
        if (number == 1) {
            // Spreadsheets often start their CSV files with a byte-order mark.
            const bool marked = line.compare(0, 3, "\xEF\xBB\xBF") == 0;
            const SignalResult header = ParseHeader(marked ? line.substr(3) : line, unitInputs, columns);
            if (!header.ok)
                return header;
            values.resize(columns.size());
            continue;
        }
        if (TrimSpace(line).empty())
            continue;
        const std::vector<std::string> fields = SplitFields(line);
        if (fields.size() != columns.size() + 1)
            return Failure(L"expected " + std::to_wstring(columns.size() + 1) + L" fields, found " +
                               std::to_wstring(fields.size()),
                           number);
        double time = 0.0;
        if (!ParseNumber(fields[0], time))
            return Failure(L"\"" + Widen(TrimSpace(fields[0])) + L"\" is not a time in seconds", number);
        for (size_t c = 0; c < columns.size(); ++c) {
            double value = 0.0;
            if (!ParseNumber(fields[c + 1], value))
                return Failure(L"\"" + Widen(TrimSpace(fields[c + 1])) + L"\" is not a number", number);
            values[c].push_back(value);
        }
        if (times.size() >= MaxPreviewSamples)
            return Failure(L"more than " + std::to_wstring(MaxPreviewSamples) + L" rows", number);
        times.push_back(time);
        lines.push_back(number);
    }
    if (columns.empty())
        return Failure(L"the file is empty", 1);
    const SignalResult rate = CheckFixedRate(times, lines, signals.rate);
    if (!rate.ok)
        return rate;
    signals.count = times.size();
    for (size_t c = 0; c < columns.size(); ++c)
        signals.inputs[columns[c]] = std::move(values[c]);
    return SignalResult();
}

namespace {

struct ShapeName {
    const wchar_t* name;
    SynthShape::Kind kind;
    size_t arguments;
};

const ShapeName ShapeNames[] = {
    {L"sine", SynthShape::Kind::Sine, 2},   {L"square", SynthShape::Kind::Square, 2},
    {L"ramp", SynthShape::Kind::Ramp, 2},   {L"noise", SynthShape::Kind::Noise, 2},
    {L"const", SynthShape::Kind::Const, 1},
};

std::wstring Trim(const std::wstring& text)
{
    const size_t first = text.find_first_not_of(L" \t");
    if (first == std::wstring::npos)
        return std::wstring();
    return text.substr(first, text.find_last_not_of(L" \t") - first + 1);
}

// One "INPUT=SHAPE(ARGS)" term.
SignalResult ParseTerm(const std::wstring& term, int unitInputs, SynthShape& shape)
{
    const size_t equals = term.find(L'=');
    const size_t open = term.find(L'(');
    if (equals == std::wstring::npos || open == std::wstring::npos || open < equals || term.back() != L')')
        return Failure(L"\"" + term + L"\" is not INPUT=SHAPE(ARGS)");
    const std::wstring input = Trim(term.substr(0, equals));
    if (!ParseInput(std::string(input.begin(), input.end()), unitInputs, shape.input) ||
        input.find_first_not_of(L"0123456789") != std::wstring::npos)
        return Failure(L"\"" + input + L"\" is not an input of the unit (1 to " + std::to_wstring(unitInputs) + L")");
    const std::wstring name = Trim(term.substr(equals + 1, open - equals - 1));
    const ShapeName* known = nullptr;
    for (const ShapeName& candidate : ShapeNames)
        if (name == candidate.name)
            known = &candidate;
    if (!known)
        return Failure(L"unknown shape \"" + name + L"\" (sine, square, ramp, noise, const)");
    std::vector<double> arguments;
    const std::wstring list = term.substr(open + 1, term.size() - open - 2);
    size_t start = 0;
    for (;;) {
        const size_t comma = list.find(L',', start);
        double value = 0.0;
        const std::wstring argument = list.substr(start, comma == std::wstring::npos ? comma : comma - start);
        if (!ParseNumber(argument, value))
            return Failure(L"\"" + Trim(argument) + L"\" is not a number in " + term);
        arguments.push_back(value);
        if (comma == std::wstring::npos)
            break;
        start = comma + 1;
    }
    if (arguments.size() != known->arguments)
        return Failure(name + L" takes " + std::to_wstring(known->arguments) + L" arguments");
    shape.kind = known->kind;
    shape.first = arguments[0];
    shape.second = arguments.size() > 1 ? arguments[1] : 0.0;
    if ((shape.kind == SynthShape::Kind::Sine || shape.kind == SynthShape::Kind::Square) && !(shape.second > 0))
        return Failure(L"the frequency of " + name + L" must be above 0");
    if (shape.kind == SynthShape::Kind::Noise && (shape.first < 0 || shape.second < 0 || shape.second > 4e9))
        return Failure(L"noise takes a standard deviation and a seed of 0 or more");
    return SignalResult();
}

// Gaussian noise from its own generator, so that a seed gives the same signal everywhere.
class Noise {
public:
    explicit Noise(uint64_t seed) : state_(seed * 0x9E3779B97F4A7C15ull + 0x632BE59BD9B4E019ull) {}
    double Next()
    {
        if (spare_) {
            spare_ = false;
            return second_;
        }
        const double u1 = (static_cast<double>(Bits() >> 11) + 1.0) / 9007199254740993.0;
        const double u2 = static_cast<double>(Bits() >> 11) / 9007199254740992.0;
        const double radius = std::sqrt(-2.0 * std::log(u1));
        second_ = radius * std::sin(2 * Pi * u2);
        spare_ = true;
        return radius * std::cos(2 * Pi * u2);
    }

private:
    uint64_t Bits()
    {
        uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    uint64_t state_;
    bool spare_ = false;
    double second_ = 0.0;
};

void AddShape(const SynthShape& shape, double seconds, double rate, std::vector<double>& values)
{
    Noise noise(static_cast<uint64_t>(shape.second));
    for (size_t i = 0; i < values.size(); ++i) {
        const double t = static_cast<double>(i) / rate;
        switch (shape.kind) {
        case SynthShape::Kind::Sine:
            values[i] += shape.first * std::sin(2 * Pi * shape.second * t);
            break;
        case SynthShape::Kind::Square:
            // High for the first half of each period; the nudge keeps an edge that
            // falls on a sample on that sample despite rounding.
            values[i] += std::fmod(t * shape.second + 1e-9, 1.0) < 0.5 ? shape.first : -shape.first;
            break;
        case SynthShape::Kind::Ramp:
            values[i] += shape.first + (shape.second - shape.first) * (seconds > 0 ? t / seconds : 0.0);
            break;
        case SynthShape::Kind::Noise:
            values[i] += shape.first * noise.Next();
            break;
        case SynthShape::Kind::Const:
            values[i] += shape.first;
            break;
        }
    }
}

} // namespace

SignalResult ParseSynthShapes(const std::wstring& shapesText, int unitInputs, std::vector<SynthShape>& shapes)
{
    shapes.clear();
    size_t start = 0;
    for (;;) {
        const size_t semicolon = shapesText.find(L';', start);
        const std::wstring term =
            Trim(shapesText.substr(start, semicolon == std::wstring::npos ? semicolon : semicolon - start));
        if (!term.empty()) {
            SynthShape shape;
            const SignalResult result = ParseTerm(term, unitInputs, shape);
            if (!result.ok)
                return result;
            shapes.push_back(shape);
        }
        if (semicolon == std::wstring::npos)
            break;
        start = semicolon + 1;
    }
    if (shapes.empty())
        return Failure(L"--synth names no signal");
    return SignalResult();
}

SampledSignals SampleShapes(const std::vector<SynthShape>& shapes, double seconds, double rate)
{
    SampledSignals signals;
    signals.rate = rate;
    signals.count = static_cast<size_t>(std::llround(seconds * rate));
    for (const SynthShape& shape : shapes) {
        std::vector<double>& values = signals.inputs[shape.input];
        values.resize(signals.count, 0.0);
        AddShape(shape, seconds, rate, values);
    }
    return signals;
}

} // namespace VireoHost
