// The text settings form of a configuration: ASCII lines "Key = value" and bare labels.

#include "eventconfig/CheckedAccess.h"
#include "eventconfig/EventConfig.h"
#include "eventconfig/SettingsReader.h"
#include "foundation/XQLX.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <limits>
#include <locale>
#include <sstream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <system_error>
#include <utility>
#include <vector>

namespace OnlineEvents {

void SkipWhitespace(std::istream& in)
{
    std::streambuf* buffer = in.rdbuf();
    if (!in.good() || !buffer)
        return;
    for (;;) {
        const int c = buffer->sgetc();
        if (c == std::char_traits<char>::eof()) {
            in.setstate(std::ios::eofbit);
            return;
        }
        if (!std::isspace(static_cast<unsigned char>(c)))
            return;
        buffer->sbumpc();
    }
}

namespace {

std::string ReadToken(std::istream& in)
{
    std::string token;
    in >> token;
    return token;
}

} // namespace

void SwallowKey(std::istream& in, const char* key)
{
    SkipWhitespace(in);
    const std::string name = ReadToken(in);
    const std::string equals = ReadToken(in);
    if (!in || name != key || equals != "=")
        throw std::runtime_error("Online Events: Parse error in swallow key.");
    SkipWhitespace(in);
}

void SwallowLabel(std::istream& in, const char* label)
{
    SkipWhitespace(in);
    const std::string name = ReadToken(in);
    if (!in || name != label)
        throw std::runtime_error("Online Events: Parse error in swallow label.");
    SkipWhitespace(in);
}

namespace {

bool IsSpace(char c)
{
    return c == ' ' || (c >= '\t' && c <= '\r');
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

[[noreturn]] void KeyError()
{
    throw std::runtime_error("Online Events: Parse error in swallow key.");
}

[[noreturn]] void LabelError()
{
    throw std::runtime_error("Online Events: Parse error in swallow label.");
}

} // namespace

void SettingsTextReader::SkipWhitespace()
{
    while (p_ < end_ && IsSpace(*p_))
        ++p_;
}

std::string_view SettingsTextReader::Token()
{
    SkipWhitespace();
    const char* start = p_;
    while (p_ < end_ && !IsSpace(*p_))
        ++p_;
    return std::string_view(start, static_cast<std::size_t>(p_ - start));
}

void SettingsTextReader::SwallowKey(std::string_view key)
{
    if (failed_ || Token() != key || Token() != "=")
        KeyError();
    SkipWhitespace();
}

void SettingsTextReader::SwallowLabel(std::string_view label)
{
    if (failed_ || Token() != label)
        LabelError();
    SkipWhitespace();
}

bool SettingsTextReader::ExtractLong(long& value)
{
    bool negative = false;
    if (p_ < end_ && (*p_ == '-' || *p_ == '+'))
        negative = *p_++ == '-';
    const unsigned long limit = negative ? 0UL - static_cast<unsigned long>(std::numeric_limits<long>::min())
                                         : std::numeric_limits<long>::max();
    unsigned long result = 0;
    bool digits = false;
    bool overflow = false;
    for (; p_ < end_ && IsDigit(*p_); ++p_) {
        digits = true;
        const unsigned digit = static_cast<unsigned>(*p_ - '0');
        if (overflow || result > (limit - digit) / 10)
            overflow = true;
        else
            result = result * 10 + digit;
    }
    if (!digits)
        value = 0;
    else if (overflow)
        value = negative ? std::numeric_limits<long>::min() : std::numeric_limits<long>::max();
    else
        value = negative ? static_cast<long>(0UL - result) : static_cast<long>(result);
    return digits && !overflow;
}

void SettingsTextReader::Read(int& value)
{
    if (failed_ || p_ == end_) {
        failed_ = true;
        return;
    }
    long read = 0;
    bool ok = ExtractLong(read);
    if (read < std::numeric_limits<int>::min() || read > std::numeric_limits<int>::max()) {
        read = read < 0 ? std::numeric_limits<int>::min() : std::numeric_limits<int>::max();
        ok = false;
    }
    value = static_cast<int>(read);
    failed_ = !ok;
}

void SettingsTextReader::Read(bool& value)
{
    if (failed_ || p_ == end_) {
        failed_ = true;
        return;
    }
    long read = 0;
    bool ok = ExtractLong(read);
    // As the stream does: a number other than 0 or 1 fails and reads as true.
    if (read == 0 || read == 1) {
        value = read == 1;
    } else {
        value = true;
        ok = false;
    }
    failed_ = !ok;
}

const char* SettingsTextReader::RealEnd() const
{
    const char* p = p_;
    if (p < end_ && (*p == '+' || *p == '-'))
        ++p;
    bool mantissa = false;
    bool point = false;
    bool exponent = false;
    for (; p < end_; ++p) {
        const char c = *p;
        if (IsDigit(c)) {
            mantissa = true;
        } else if (c == '.' && !point && !exponent) {
            point = true;
        } else if ((c == 'e' || c == 'E') && !exponent && mantissa) {
            exponent = true;
            if (p + 1 < end_ && (p[1] == '+' || p[1] == '-'))
                ++p;
        } else {
            break;
        }
    }
    return p;
}

void SettingsTextReader::Read(double& value)
{
    if (failed_ || p_ == end_) {
        failed_ = true;
        return;
    }
    const char* start = p_;
    p_ = RealEnd();
    const char* first = start < p_ && *start == '+' ? start + 1 : start;
    double read = 0.0;
    const std::from_chars_result result = std::from_chars(first, p_, read);
    if (result.ptr == p_ && result.ec == std::errc()) {
        value = read;
        return;
    }
    if (result.ptr == p_ && result.ec == std::errc::result_out_of_range) {
        // Beyond the range of a double: rare enough to let the stream decide.
        std::istringstream in(std::string(start, p_));
        in.imbue(std::locale::classic());
        in >> value;
        failed_ = in.fail();
        return;
    }
    value = 0.0;
    failed_ = true;
}

} // namespace OnlineEvents

using namespace OnlineEvents;

namespace {

// Appends the text form of each value kind, as the classic-locale stream writes it.
class TextWriter {
public:
    explicit TextWriter(std::string& out) : out_(out) {}

    TextWriter& Line(std::string_view text)
    {
        out_.append(text);
        out_ += '\n';
        return *this;
    }
    void Value(std::string_view key, long long value)
    {
        char digits[24];
        const std::to_chars_result end = std::to_chars(digits, digits + sizeof digits, value);
        Key(key).append(digits, end.ptr);
        out_ += '\n';
    }
    void Value(std::string_view key, bool value)
    {
        Key(key) += value ? '1' : '0';
        out_ += '\n';
    }
    // The general format with six significant digits ("%g"); not-a-number and infinities
    // as the stream spells them.
    void Value(std::string_view key, double value)
    {
        std::string& out = Key(key);
        if (std::isfinite(value)) {
            char digits[32];
            const std::to_chars_result end =
                std::to_chars(digits, digits + sizeof digits, value, std::chars_format::general, 6);
            out.append(digits, end.ptr);
        } else {
            std::ostringstream stream;
            stream.imbue(std::locale::classic());
            stream << value;
            out += stream.str();
        }
        out += '\n';
    }

private:
    std::string& Key(std::string_view key)
    {
        out_.append(key);
        out_.append(" = ", 3);
        return out_;
    }

    std::string& out_;
};

// Room for one output block with four rules, so that the text grows once.
constexpr std::size_t BlockSizeGuess = 640;

void WriteRule(TextWriter& out, const OnlineEventRule& rule)
{
    out.Line("BeginOnlineEventRule").Line("Version = 1");
    out.Value("Input", static_cast<long long>(rule.Input));
    out.Value("Above", rule.Above);
    out.Value("Hysteresis", rule.Hysteresis);
    out.Value("Level", rule.Level);
    out.Line("EndOnlineEventRule");
}

void WriteBlock(TextWriter& out, const OnlineEvent& record)
{
    out.Line("BeginOnlineEvent").Line("Version = 1");
    out.Value("Output", static_cast<long long>(record.Output));
    out.Value("On", record.On);
    out.Value("PulseDuration", record.PulseDuration);
    out.Value("PulseDelay", record.PulseDelay);
    out.Value("RetriggerHoldoffTime", record.RetriggerHoldoffTime);
    out.Value("LimitedDuration", record.LimitedDuration);
    out.Value("LimitedNumPulses", record.LimitedNumPulses);
    out.Value("RetriggerHoldoff", record.RetriggerHoldoff);
    out.Value("PulseNumLimit", static_cast<long long>(record.PulseNumLimit));
    out.Value("All", record.All);
    out.Value("RuleCount", static_cast<long long>(record.Rules.size()));
    for (const OnlineEventRule& rule : record.Rules)
        WriteRule(out, rule);
    out.Line("EndOnlineEvent");
}

} // namespace

bool EventConfig::Serialize(std::string& text) const
{
    const int64_t declared = static_cast<int64_t>(AnalogOutputCount) + DigitalOutputCount;
    // Records the counts do not cover would silently vanish from the text.
    if (AnalogOutputCount < 0 || DigitalOutputCount < 0 || declared < static_cast<int64_t>(events_.size()))
        throw XQLX(QLXString(L"Online Events: Inconsistent internal state (serialize)"));

    std::string built;
    built.reserve(64 + events_.size() * BlockSizeGuess);
    TextWriter out(built);
    out.Line("Version = 1");
    out.Value("AnalogOutputCount", static_cast<long long>(AnalogOutputCount));
    out.Value("DigitalOutputCount", static_cast<long long>(DigitalOutputCount));
    // Access is checked, so the loop ends with an out-of-range error at the first missing record.
    for (int64_t i = 0; i < declared; ++i)
        WriteBlock(out, CheckedAt(events_, static_cast<int>(i)));
    text = std::move(built);
    return true;
}

namespace {

template <class T>
void ReadValue(SettingsTextReader& in, std::string_view key, T& value)
{
    in.SwallowKey(key);
    in.Read(value);
}

OnlineEvent ReadBlockSettings(SettingsTextReader& in)
{
    in.SwallowLabel("BeginOnlineEvent");
    int blockVersion = 0;
    ReadValue(in, "Version", blockVersion);
    OnlineEvent read;
    ReadValue(in, "Output", read.Output);
    ReadValue(in, "On", read.On);
    ReadValue(in, "PulseDuration", read.PulseDuration);
    ReadValue(in, "PulseDelay", read.PulseDelay);
    ReadValue(in, "RetriggerHoldoffTime", read.RetriggerHoldoffTime);
    ReadValue(in, "LimitedDuration", read.LimitedDuration);
    ReadValue(in, "LimitedNumPulses", read.LimitedNumPulses);
    ReadValue(in, "RetriggerHoldoff", read.RetriggerHoldoff);
    ReadValue(in, "PulseNumLimit", read.PulseNumLimit);
    ReadValue(in, "All", read.All);
    return read;
}

OnlineEventRule ReadRule(SettingsTextReader& in)
{
    in.SwallowLabel("BeginOnlineEventRule");
    int ruleVersion = 0;
    ReadValue(in, "Version", ruleVersion);
    OnlineEventRule rule;
    ReadValue(in, "Input", rule.Input);
    ReadValue(in, "Above", rule.Above);
    ReadValue(in, "Hysteresis", rule.Hysteresis);
    ReadValue(in, "Level", rule.Level);
    in.SwallowLabel("EndOnlineEventRule");
    return rule;
}

} // namespace

void EventConfig::ReadBlock(SettingsTextReader& in, int block)
{
    const OnlineEvent read = ReadBlockSettings(in);
    int index = FindOutputFrom(block, read.Output);
    if (index < 0) {
        InsertEvent(read.Output);
        index = FindOutput(read.Output);
    }
    CheckedAt(events_, index).CopySettingsFrom(read);

    int ruleCount = 0;
    ReadValue(in, "RuleCount", ruleCount);
    if (ruleCount < 0)
        throw std::runtime_error("Online Events: Illegal rule count.");
    std::vector<OnlineEventRule>& rules = CheckedAt(events_, index).Rules;
    rules.reserve(rules.size() + static_cast<std::size_t>(std::min(ruleCount, MaxRules)));
    for (int j = 0; j < ruleCount; ++j) {
        const OnlineEventRule rule = ReadRule(in);
        InsertRule(index, j - 1);
        SetRule(index, j, rule);
    }
    in.SwallowLabel("EndOnlineEvent");
}

bool EventConfig::Parse(const std::string& text)
{
    AnalogOutputCount = 0;
    DigitalOutputCount = 0;
    events_.clear();

    try {
        SettingsTextReader in(text.data(), text.data() + text.size());
        int version = 0;
        ReadValue(in, "Version", version);
        // An unreadable version is a damaged text, not a newer one.
        if (in.Failed())
            throw std::runtime_error("Online Events: Unreadable settings version.");
        if (version != 1)
            return true;

        int analogCount = 0;
        int digitalCount = 0;
        ReadValue(in, "AnalogOutputCount", analogCount);
        ReadValue(in, "DigitalOutputCount", digitalCount);
        SetOutputCounts(analogCount, digitalCount);
        const int blocks = analogCount + digitalCount;
        for (int block = 0; block < blocks; ++block)
            ReadBlock(in, block);
        return true;
    } catch (const std::exception&) {
        return false;
    }
}
