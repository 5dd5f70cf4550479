#include "PreviewSignals.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <set>

namespace VireoHost {
namespace {

constexpr double Pi = 3.14159265358979323846;
// A CSV file is read through one buffer of this size; no line may be longer.
constexpr size_t BufferBytes = 1 << 20;

std::wstring Widen(const char* begin, const char* end)
{
    return std::wstring(begin, end);
}

bool IsSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\r';
}

void Trim(const char*& begin, const char*& end)
{
    while (begin < end && IsSpace(*begin))
        ++begin;
    while (end > begin && IsSpace(end[-1]))
        --end;
}

std::string TrimSpace(const std::string& text)
{
    const char* begin = text.data();
    const char* end = begin + text.size();
    Trim(begin, end);
    return std::string(begin, end);
}

// A decimal number, trimmed of spaces, with an optional leading plus; false for
// anything else or a value that is not finite.
bool ParseNumber(const char* begin, const char* end, double& value)
{
    Trim(begin, end);
    if (begin < end && *begin == '+' && end - begin > 1 && begin[1] != '-' && begin[1] != '+')
        ++begin;
    if (begin == end)
        return false;
    const std::from_chars_result result = std::from_chars(begin, end, value);
    return result.ec == std::errc() && result.ptr == end && std::isfinite(value);
}

// Where the byte c first is from begin on, or end: eight bytes at a time, as the
// C library's own search is a byte at a time under Wine.
const char* Find(const char* begin, const char* end, char c)
{
    const uint64_t ones = 0x0101010101010101ull;
    const uint64_t pattern = ones * static_cast<unsigned char>(c);
    while (end - begin >= 8) {
        uint64_t word;
        std::memcpy(&word, begin, 8);
        word ^= pattern;
        if ((word - ones) & ~word & (ones << 7))
            break;
        begin += 8;
    }
    while (begin < end && *begin != c)
        ++begin;
    return begin;
}

bool ParseNumber(const std::wstring& text, double& value)
{
    std::string narrow;
    for (wchar_t c : text) {
        if (c > 0x7F)
            return false;
        narrow += static_cast<char>(c);
    }
    return ParseNumber(narrow.data(), narrow.data() + narrow.size(), value);
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
        return SignalFailure(L"the header must be time,1,2,... naming the inputs", 1);
    std::set<int> seen;
    for (size_t i = 1; i < fields.size(); ++i) {
        int input = 0;
        if (!ParseInput(fields[i], unitInputs, input)) {
            const std::string field = TrimSpace(fields[i]);
            return SignalFailure(L"\"" + Widen(field.data(), field.data() + field.size()) +
                                     L"\" is not an input of the unit (1 to " + std::to_wstring(unitInputs) + L")",
                                 1);
        }
        if (!seen.insert(input).second)
            return SignalFailure(L"input " + std::to_wstring(input) + L" is named twice", 1);
        columns.push_back(input);
    }
    return SignalResult();
}

class FileBytes : public ByteInput {
public:
    explicit FileBytes(HANDLE file) : file_(file) {}
    ~FileBytes() override { CloseHandle(file_); }
    FileBytes(const FileBytes&) = delete;
    FileBytes& operator=(const FileBytes&) = delete;
    bool Read(char* buffer, size_t size, size_t& got) override
    {
        DWORD read = 0;
        const BOOL ok = ReadFile(file_, buffer, static_cast<DWORD>(std::min<size_t>(size, 1u << 30)), &read, nullptr);
        got = read;
        return ok != FALSE;
    }
    bool Rewind() override
    {
        LARGE_INTEGER start{};
        return SetFilePointerEx(file_, start, nullptr, FILE_BEGIN) != FALSE;
    }
    uint64_t Size() override
    {
        LARGE_INTEGER size{};
        return GetFileSizeEx(file_, &size) ? static_cast<uint64_t>(size.QuadPart) : 0;
    }

private:
    HANDLE file_;
};

class MemoryBytes : public ByteInput {
public:
    explicit MemoryBytes(std::string bytes) : bytes_(std::move(bytes)) {}
    bool Read(char* buffer, size_t size, size_t& got) override
    {
        got = std::min(size, bytes_.size() - at_);
        std::memcpy(buffer, bytes_.data() + at_, got);
        at_ += got;
        return true;
    }
    bool Rewind() override
    {
        at_ = 0;
        return true;
    }
    uint64_t Size() override { return bytes_.size(); }

private:
    std::string bytes_;
    size_t at_ = 0;
};

// The lines of a byte input, through one buffer.
class LineReader {
public:
    explicit LineReader(ByteInput& input) : input_(input), buffer_(BufferBytes) {}
    // The next line without its line feed; false at the end or, with `error` set, when
    // the input fails or a line does not fit the buffer.
    bool Next(const char*& begin, const char*& end, SignalResult& error)
    {
        for (;;) {
            const char* base = buffer_.data();
            const char* feed = Find(base + start_, base + filled_, '\n');
            const bool whole = feed < base + filled_;
            if (whole || (eof_ && start_ < filled_)) {
                begin = base + start_;
                end = feed;
                start_ = static_cast<size_t>(end - base) + (whole ? 1 : 0);
                ++line;
                return true;
            }
            if (eof_)
                return false;
            std::memmove(buffer_.data(), base + start_, filled_ - start_);
            filled_ -= start_;
            start_ = 0;
            if (filled_ == buffer_.size()) {
                error = SignalFailure(L"the line is longer than " + std::to_wstring(BufferBytes) + L" bytes", line + 1);
                return false;
            }
            size_t got = 0;
            if (!input_.Read(buffer_.data() + filled_, buffer_.size() - filled_, got)) {
                error = SignalFailure(L"the file cannot be read", line + 1);
                return false;
            }
            eof_ = got == 0;
            filled_ += got;
        }
    }
    bool Restart()
    {
        start_ = filled_ = 0;
        eof_ = false;
        line = 0;
        return input_.Rewind();
    }
    int line = 0; // of the line last given

private:
    ByteInput& input_;
    std::vector<char> buffer_;
    size_t start_ = 0;
    size_t filled_ = 0;
    bool eof_ = false;
};

bool IsBlank(const char* begin, const char* end)
{
    Trim(begin, end);
    return begin == end;
}

class CsvSignal : public SignalSource {
public:
    CsvSignal(std::unique_ptr<ByteInput> input, std::vector<int> columns)
        : input_(std::move(input)), lines_(*input_), fields_(columns.size() + 1), values_(columns.size())
    {
        inputs = std::move(columns);
    }

    // The header, then a first pass for the number of rows and the last row's time.
    SignalResult Open(int unitInputs)
    {
        SignalResult result;
        const char* begin = nullptr;
        const char* end = nullptr;
        if (!lines_.Next(begin, end, result))
            return result.ok ? SignalFailure(L"the file is empty", 1) : result;
        // Spreadsheets often start their CSV files with a byte-order mark.
        if (end - begin >= 3 && std::memcmp(begin, "\xEF\xBB\xBF", 3) == 0)
            begin += 3;
        std::vector<int> columns;
        result = ParseHeader(std::string(begin, end), unitInputs, columns);
        if (!result.ok)
            return result;
        inputs = columns;
        fields_ = columns.size() + 1;
        values_.resize(columns.size());
        int firstLine = 0;
        std::string firstTime;
        std::string lastTime;
        while (lines_.Next(begin, end, result)) {
            if (IsBlank(begin, end))
                continue;
            firstLine = firstLine ? firstLine : lines_.line;
            ++count;
            lastTime.assign(begin, Find(begin, end, ','));
            if (count == 1)
                firstTime = lastTime;
        }
        if (!result.ok)
            return result;
        if (count < 2)
            return SignalFailure(L"at least two rows of samples are needed", count ? firstLine : 1);
        double first = NAN;
        double last = NAN;
        ParseNumber(firstTime.data(), firstTime.data() + firstTime.size(), first);
        ParseNumber(lastTime.data(), lastTime.data() + lastTime.size(), last);
        step_ = (last - first) / static_cast<double>(count - 1);
        if (!lines_.Restart() || !lines_.Next(begin, end, result))
            return SignalFailure(L"the file cannot be read again", 1);
        if (step_ > 0 && std::isfinite(1.0 / step_)) {
            rate = 1.0 / step_;
            return SignalResult();
        }
        // Times that give no rate: the row that is wrong says why.
        SignalBlock block;
        do
            result = Read(4096, block);
        while (result.ok && block.count);
        return result.ok ? SignalFailure(L"the times of the rows give no rate", firstLine) : result;
    }

    SignalResult Read(size_t most, SignalBlock& block) override
    {
        const size_t n = std::min(most, count - done_);
        block.count = n;
        block.values.resize(n * inputs.size());
        SignalResult result;
        const char* begin = nullptr;
        const char* end = nullptr;
        for (size_t r = 0; r < n;) {
            if (!lines_.Next(begin, end, result))
                return result.ok ? SignalFailure(L"the file changed while it was read", lines_.line) : result;
            if (IsBlank(begin, end))
                continue;
            result = ParseRow(begin, end);
            if (!result.ok)
                return result;
            for (size_t c = 0; c < values_.size(); ++c)
                block.values[c * n + r] = values_[c];
            ++r;
            ++done_;
        }
        return SignalResult();
    }

private:
    SignalResult ParseRow(const char* begin, const char* end)
    {
        const int line = lines_.line;
        size_t found = 0;
        size_t badField = 0;
        const char* bad = nullptr;
        const char* badEnd = nullptr;
        double time = 0.0;
        // Each field is parsed where it starts; what follows the number up to the next
        // comma may only be space.
        for (const char* field = begin;; ++found) {
            const char* at = field;
            while (at < end && IsSpace(*at))
                ++at;
            if (end - at > 1 && *at == '+' && at[1] != '-' && at[1] != '+')
                ++at;
            double extra = 0.0;
            double& value = found == 0 ? time : found < fields_ ? values_[found - 1] : extra;
            const std::from_chars_result parsed = std::from_chars(at, end, value);
            const char* after = parsed.ptr;
            bool ok = parsed.ec == std::errc() && after != at && std::isfinite(value);
            while (after < end && IsSpace(*after))
                ++after;
            if (after < end && *after != ',') {
                ok = false;
                after = Find(after, end, ',');
            }
            if (!ok && !bad && found < fields_) {
                badField = found;
                bad = field;
                badEnd = after;
            }
            if (after == end)
                break;
            field = after + 1;
        }
        ++found;
        if (found != fields_)
            return SignalFailure(L"expected " + std::to_wstring(fields_) + L" fields, found " + std::to_wstring(found),
                                 line);
        if (bad) {
            Trim(bad, badEnd);
            return SignalFailure(L"\"" + Widen(bad, badEnd) +
                                     (badField == 0 ? L"\" is not a time in seconds" : L"\" is not a number"),
                                 line);
        }
        // Every row's time lies within half a sample of its place at the rows' rate.
        if (done_ == 0) {
            firstTime_ = time;
        } else if (!(time > previousTime_)) {
            return SignalFailure(L"the time does not increase", line);
        } else if (std::isfinite(step_) &&
                   std::fabs(time - (firstTime_ + step_ * static_cast<double>(done_))) > 0.5 * step_) {
            return SignalFailure(L"the time leaves the fixed rate of the rows", line);
        }
        previousTime_ = time;
        return SignalResult();
    }

    std::unique_ptr<ByteInput> input_;
    LineReader lines_;
    size_t fields_;
    std::vector<double> values_;
    size_t done_ = 0;
    double firstTime_ = 0.0;
    double previousTime_ = 0.0;
    double step_ = NAN;
};

} // namespace

SignalResult SignalFailure(const std::wstring& message, int line)
{
    SignalResult result;
    result.ok = false;
    result.message = message;
    result.line = line;
    return result;
}

std::unique_ptr<ByteInput> OpenFileInput(const std::wstring& path)
{
    const HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return nullptr;
    return std::unique_ptr<ByteInput>(new FileBytes(file));
}

std::unique_ptr<ByteInput> MemoryInput(std::string bytes)
{
    return std::unique_ptr<ByteInput>(new MemoryBytes(std::move(bytes)));
}

SignalResult OpenCsvSignal(std::unique_ptr<ByteInput> input, int unitInputs, std::unique_ptr<SignalSource>& source)
{
    std::unique_ptr<CsvSignal> csv(new CsvSignal(std::move(input), {}));
    const SignalResult result = csv->Open(unitInputs);
    if (result.ok)
        source = std::move(csv);
    return result;
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
        return SignalFailure(L"\"" + term + L"\" is not INPUT=SHAPE(ARGS)");
    const std::wstring input = Trim(term.substr(0, equals));
    if (!ParseInput(std::string(input.begin(), input.end()), unitInputs, shape.input) ||
        input.find_first_not_of(L"0123456789") != std::wstring::npos)
        return SignalFailure(L"\"" + input + L"\" is not an input of the unit (1 to " + std::to_wstring(unitInputs) +
                             L")");
    const std::wstring name = Trim(term.substr(equals + 1, open - equals - 1));
    const ShapeName* known = nullptr;
    for (const ShapeName& candidate : ShapeNames)
        if (name == candidate.name)
            known = &candidate;
    if (!known)
        return SignalFailure(L"unknown shape \"" + name + L"\" (sine, square, ramp, noise, const)");
    std::vector<double> arguments;
    const std::wstring list = term.substr(open + 1, term.size() - open - 2);
    size_t start = 0;
    for (;;) {
        const size_t comma = list.find(L',', start);
        double value = 0.0;
        const std::wstring argument = list.substr(start, comma == std::wstring::npos ? comma : comma - start);
        if (!ParseNumber(argument, value))
            return SignalFailure(L"\"" + Trim(argument) + L"\" is not a number in " + term);
        arguments.push_back(value);
        if (comma == std::wstring::npos)
            break;
        start = comma + 1;
    }
    if (arguments.size() != known->arguments)
        return SignalFailure(name + L" takes " + std::to_wstring(known->arguments) + L" arguments");
    shape.kind = known->kind;
    shape.first = arguments[0];
    shape.second = arguments.size() > 1 ? arguments[1] : 0.0;
    if ((shape.kind == SynthShape::Kind::Sine || shape.kind == SynthShape::Kind::Square) && !(shape.second > 0))
        return SignalFailure(L"the frequency of " + name + L" must be above 0");
    if (shape.kind == SynthShape::Kind::Noise && (shape.first < 0 || shape.second < 0 || shape.second > 4e9))
        return SignalFailure(L"noise takes a standard deviation and a seed of 0 or more");
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

// The shapes of the synthetic signal, sampled block by block.
class ShapeSignal : public SignalSource {
public:
    ShapeSignal(const std::vector<SynthShape>& shapes, double seconds, double rate) : shapes_(shapes), seconds_(seconds)
    {
        this->rate = rate;
        count = static_cast<size_t>(std::llround(seconds * rate));
        for (const SynthShape& shape : shapes_) {
            noise_.emplace_back(static_cast<uint64_t>(shape.second));
            if (std::find(inputs.begin(), inputs.end(), shape.input) == inputs.end())
                inputs.push_back(shape.input);
        }
        std::sort(inputs.begin(), inputs.end());
    }

    SignalResult Read(size_t most, SignalBlock& block) override
    {
        const size_t n = std::min(most, count - done_);
        block.count = n;
        block.values.assign(n * inputs.size(), 0.0);
        for (size_t k = 0; k < shapes_.size(); ++k) {
            const size_t channel =
                static_cast<size_t>(std::find(inputs.begin(), inputs.end(), shapes_[k].input) - inputs.begin());
            Add(shapes_[k], noise_[k], block.values.data() + channel * n, n);
        }
        done_ += n;
        return SignalResult();
    }

private:
    void Add(const SynthShape& shape, Noise& noise, double* values, size_t n) const
    {
        for (size_t i = 0; i < n; ++i) {
            const double t = static_cast<double>(done_ + i) / rate;
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
                values[i] += shape.first + (shape.second - shape.first) * (seconds_ > 0 ? t / seconds_ : 0.0);
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

    std::vector<SynthShape> shapes_;
    std::vector<Noise> noise_;
    double seconds_;
    size_t done_ = 0;
};

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
        return SignalFailure(L"--synth names no signal");
    return SignalResult();
}

std::unique_ptr<SignalSource> SynthSignal(const std::vector<SynthShape>& shapes, double seconds, double rate)
{
    return std::unique_ptr<SignalSource>(new ShapeSignal(shapes, seconds, rate));
}

} // namespace VireoHost
