#include "PreviewEdf.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace VireoHost {
namespace {

constexpr size_t FixedBytes = 256;
constexpr size_t SignalBytes = 256;
constexpr long long MostSignals = 4096;
// Records are read whole, several at a time when they are short.
constexpr uint64_t MostRecordBytes = 64ull << 20;
constexpr size_t BufferSamples = 8192;

// Where each signal field starts, as a multiple of the signal count, and its size.
struct SignalField {
    size_t section;
    size_t size;
};
constexpr SignalField Label{0, 16};
constexpr SignalField Dimension{96, 8};
constexpr SignalField PhysicalMin{104, 8};
constexpr SignalField PhysicalMax{112, 8};
constexpr SignalField DigitalMin{120, 8};
constexpr SignalField DigitalMax{128, 8};
constexpr SignalField Samples{216, 8};

std::wstring Widen(const std::string& text)
{
    std::wstring wide;
    for (unsigned char c : text)
        wide += static_cast<wchar_t>(c);
    return wide;
}

std::wstring Quoted(const std::string& text)
{
    return L"\"" + Widen(text) + L"\"";
}

std::wstring Number(double value)
{
    wchar_t text[32];
    std::swprintf(text, 32, L"%g", value);
    return text;
}

// A header field without its padding.
std::string FieldText(const std::string& bytes, size_t offset, size_t size)
{
    size_t begin = offset;
    size_t end = offset + size;
    while (begin < end && (bytes[begin] == ' ' || bytes[begin] == '\0'))
        ++begin;
    while (end > begin && (bytes[end - 1] == ' ' || bytes[end - 1] == '\0'))
        --end;
    return bytes.substr(begin, end - begin);
}

template <typename T>
bool ParseField(const std::string& text, T& value)
{
    const char* begin = text.data();
    const char* end = begin + text.size();
    if (begin < end && *begin == '+')
        ++begin;
    if (begin == end)
        return false;
    const std::from_chars_result result = std::from_chars(begin, end, value);
    return result.ec == std::errc() && result.ptr == end;
}

// How many volts one unit of a dimension is; 0 for one that is not a volt.
double VoltFactor(const std::wstring& unit)
{
    if (unit == L"V")
        return 1.0;
    if (unit == L"mV")
        return 1e-3;
    if (unit == L"uV" || unit == L"\u00B5V" || unit == L"\u03BCV")
        return 1e-6;
    return 0.0;
}

// A dimension as the header spells it: ASCII, or µ in Latin-1 or UTF-8.
std::wstring DimensionText(const std::string& text)
{
    if (text.compare(0, 2, "\xC2\xB5") == 0)
        return L"\u00B5" + Widen(text.substr(2));
    return Widen(text);
}

struct Channel {
    size_t offset; // of its samples within a record, in bytes
    double gain;   // from digital values to the input's unit
    double shift;
};

class EdfSignal : public SignalSource {
public:
    EdfSignal(std::unique_ptr<ByteInput> input, bool bdf) : input_(std::move(input)), bdf_(bdf) {}

    SignalResult Open(const std::string& fixed, const std::vector<std::wstring>& inputUnits, std::wstring& note);

    SignalResult Read(size_t most, SignalBlock& block) override
    {
        if (position_ == buffered_) {
            const SignalResult filled = Fill();
            if (!filled.ok)
                return filled;
        }
        const size_t n = std::min(most, buffered_ - position_);
        block.count = n;
        block.values.resize(n * channels_.size());
        const size_t width = bdf_ ? 3 : 2;
        for (size_t c = 0; c < channels_.size(); ++c) {
            const Channel& channel = channels_[c];
            double* out = block.values.data() + c * n;
            for (size_t i = 0; i < n; ++i) {
                const size_t sample = position_ + i;
                const unsigned char* at = reinterpret_cast<const unsigned char*>(buffer_.data()) +
                                          (sample / perRecord_) * recordBytes_ + channel.offset +
                                          (sample % perRecord_) * width;
                int32_t digital = bdf_ ? static_cast<int32_t>(static_cast<uint32_t>(at[0]) | (at[1] << 8) |
                                                              (static_cast<uint32_t>(at[2]) << 16))
                                       : static_cast<int16_t>(at[0] | (at[1] << 8));
                if (bdf_ && digital >= 0x800000)
                    digital -= 0x1000000;
                out[i] = digital * channel.gain + channel.shift;
            }
        }
        position_ += n;
        return SignalResult();
    }

private:
    // The next records, as many as make up a buffer's worth of samples.
    SignalResult Fill()
    {
        position_ = buffered_ = 0;
        const uint64_t left = records_ - recordsRead_;
        if (left == 0)
            return SignalResult();
        const size_t take =
            static_cast<size_t>(std::min<uint64_t>(left, std::max<size_t>(1, BufferSamples / perRecord_)));
        buffer_.resize(take * recordBytes_);
        size_t filled = 0;
        while (filled < buffer_.size()) {
            size_t got = 0;
            if (!input_->Read(buffer_.data() + filled, buffer_.size() - filled, got))
                return SignalFailure(L"the file cannot be read");
            if (got == 0)
                return SignalFailure(L"the file ends within data record " +
                                     std::to_wstring(recordsRead_ + filled / recordBytes_ + 1));
            filled += got;
        }
        recordsRead_ += take;
        buffered_ = take * perRecord_;
        return SignalResult();
    }

    std::unique_ptr<ByteInput> input_;
    bool bdf_;
    std::vector<Channel> channels_;
    size_t recordBytes_ = 0;
    size_t perRecord_ = 0; // samples of each signal used
    uint64_t records_ = 0;
    uint64_t recordsRead_ = 0;
    std::vector<char> buffer_;
    size_t buffered_ = 0; // samples per channel in the buffer
    size_t position_ = 0;
};

SignalResult EdfSignal::Open(const std::string& fixed, const std::vector<std::wstring>& inputUnits, std::wstring& note)
{
    const wchar_t* format = bdf_ ? L"BDF" : L"EDF";
    long long signals = 0;
    if (!ParseField(FieldText(fixed, 252, 4), signals) || signals < 1 || signals > MostSignals)
        return SignalFailure(L"the header's signal count " + Quoted(FieldText(fixed, 252, 4)) + L" is not 1 to " +
                             std::to_wstring(MostSignals));
    long long headerBytes = 0;
    const size_t needed = FixedBytes + static_cast<size_t>(signals) * SignalBytes;
    if (!ParseField(FieldText(fixed, 184, 8), headerBytes) || headerBytes != static_cast<long long>(needed))
        return SignalFailure(L"the header gives its size as " + Quoted(FieldText(fixed, 184, 8)) + L" bytes, but " +
                             std::to_wstring(signals) + L" signals need " + std::to_wstring(needed));
    const uint64_t fileBytes = input_->Size();
    std::string header(needed - FixedBytes, '\0');
    size_t got = 0;
    for (size_t part = 0; got < header.size(); got += part)
        if (!input_->Read(&header[got], header.size() - got, part) || part == 0)
            break;
    if (got < header.size())
        return SignalFailure(L"the file is cut short: its header needs " + std::to_wstring(needed) +
                             L" bytes, the file has " + std::to_wstring(fileBytes));
    const std::string reserved = FieldText(fixed, 192, 44);
    if (reserved.compare(0, 5, "EDF+D") == 0 || reserved.compare(0, 5, "BDF+D") == 0)
        return SignalFailure(L"the recording is interrupted (" + Widen(reserved.substr(0, 5)) +
                             L"); only continuous recordings can be previewed");
    long long records = 0;
    const std::string recordText = FieldText(fixed, 236, 8);
    if (recordText == "-1")
        return SignalFailure(L"the record count is -1: the recording is still being written or was not closed");
    if (!ParseField(recordText, records) || records < 0)
        return SignalFailure(L"the record count " + Quoted(recordText) + L" is not a number of records");
    if (records == 0)
        return SignalFailure(L"the file holds no data records");
    double duration = 0.0;
    const std::string durationText = FieldText(fixed, 244, 8);
    if (!ParseField(durationText, duration) || !(duration > 0) || !std::isfinite(duration))
        return SignalFailure(L"the record duration " + Quoted(durationText) + L" is not a number of seconds above 0");

    const size_t n = static_cast<size_t>(signals);
    const long long digitalLimit = bdf_ ? 8388608 : 32768;
    const size_t width = bdf_ ? 3 : 2;
    uint64_t recordBytes = 0;
    size_t used = 0;
    int firstUsed = 0;
    for (size_t k = 0; k < n; ++k) {
        auto field = [&](SignalField f) { return FieldText(header, f.section * n + k * f.size, f.size); };
        const std::wstring name = L"signal " + std::to_wstring(k + 1) + L" (" + Widen(field(Label)) + L")";
        long long samples = 0;
        if (!ParseField(field(Samples), samples) || samples < 1 || samples > static_cast<long long>(MostRecordBytes))
            return SignalFailure(name + L": " + Quoted(field(Samples)) + L" is not a number of samples per record");
        const uint64_t offset = recordBytes;
        recordBytes += static_cast<uint64_t>(samples) * width;
        if (recordBytes > MostRecordBytes)
            return SignalFailure(L"a data record of more than " + std::to_wstring(MostRecordBytes) +
                                 L" bytes is too large to read");
        const std::string label = field(Label);
        if (label == "EDF Annotations" || label == "BDF Annotations")
            continue;
        if (used >= inputUnits.size()) {
            ++used;
            continue;
        }
        long long digitalMin = 0;
        long long digitalMax = 0;
        if (!ParseField(field(DigitalMin), digitalMin) || !ParseField(field(DigitalMax), digitalMax) ||
            digitalMin >= digitalMax || digitalMin < -digitalLimit || digitalMax >= digitalLimit)
            return SignalFailure(name + L": the digital range " + Quoted(field(DigitalMin)) + L" to " +
                                 Quoted(field(DigitalMax)) + L" is not one of " + format + L" samples");
        double physicalMin = 0.0;
        double physicalMax = 0.0;
        if (!ParseField(field(PhysicalMin), physicalMin) || !ParseField(field(PhysicalMax), physicalMax) ||
            !std::isfinite(physicalMin) || !std::isfinite(physicalMax) || physicalMin == physicalMax)
            return SignalFailure(name + L": the physical range " + Quoted(field(PhysicalMin)) + L" to " +
                                 Quoted(field(PhysicalMax)) + L" is not a range");
        if (used == 0) {
            perRecord_ = static_cast<size_t>(samples);
            firstUsed = static_cast<int>(k + 1);
            rate = static_cast<double>(samples) / duration;
        } else if (static_cast<size_t>(samples) != perRecord_) {
            return SignalFailure(name + L" has " + Number(static_cast<double>(samples) / duration) +
                                 L" samples per second, signal " + std::to_wstring(firstUsed) + L" " + Number(rate) +
                                 L": all signals must share one sample rate");
        }
        // Volts of one prefix become the input's; any other dimension is the input's own.
        const double from = VoltFactor(DimensionText(field(Dimension)));
        const double to = VoltFactor(inputUnits[used]);
        const double scale = from > 0 && to > 0 ? from / to : 1.0;
        const double gain = (physicalMax - physicalMin) / static_cast<double>(digitalMax - digitalMin);
        channels_.push_back({static_cast<size_t>(offset), gain * scale,
                             (physicalMin - static_cast<double>(digitalMin) * gain) * scale});
        inputs.push_back(static_cast<int>(used + 1));
        ++used;
    }
    if (channels_.empty())
        return SignalFailure(inputUnits.empty() ? L"the unit has no inputs"
                                                : L"the file has no signals, only annotations");
    if (used > channels_.size())
        note = L"the unit has " + std::to_wstring(channels_.size()) + L" inputs: the last " +
               std::to_wstring(used - channels_.size()) + L" of the file's " + std::to_wstring(used) +
               L" signals are left out";
    recordBytes_ = static_cast<size_t>(recordBytes);
    records_ = static_cast<uint64_t>(records);
    const uint64_t expected =
        needed + (records_ <= (UINT64_MAX - needed) / recordBytes ? records_ * recordBytes : UINT64_MAX);
    if (fileBytes < expected)
        return SignalFailure(L"the file is cut short: the header announces " + std::to_wstring(records) +
                             L" data records of " + std::to_wstring(recordBytes) + L" bytes, " +
                             std::to_wstring(expected) + L" bytes in all, the file has " + std::to_wstring(fileBytes));
    if (fileBytes > expected)
        return SignalFailure(L"the file has " + std::to_wstring(fileBytes - expected) +
                             L" bytes more than the header's " + std::to_wstring(records) + L" data records of " +
                             std::to_wstring(recordBytes) + L" bytes");
    count = static_cast<size_t>(records_) * perRecord_;
    if (count < 2)
        return SignalFailure(L"at least two samples are needed");
    return SignalResult();
}

} // namespace

SignalResult OpenEdfSignal(std::unique_ptr<ByteInput> input, const std::vector<std::wstring>& inputUnits,
                           std::unique_ptr<SignalSource>& source, std::wstring& note)
{
    std::string fixed(FixedBytes, '\0');
    size_t got = 0;
    for (size_t part = 0; got < fixed.size(); got += part)
        if (!input->Read(&fixed[got], fixed.size() - got, part) || part == 0)
            break;
    if (got < FixedBytes)
        return SignalFailure(L"the file is cut short: " + std::to_wstring(got) + L" bytes, less than an EDF header");
    const bool edf = fixed.compare(0, 8, "0       ") == 0;
    const bool bdf = fixed.compare(0, 8,
                                   "\xFF"
                                   "BIOSEMI") == 0;
    if (!edf && !bdf)
        return SignalFailure(L"not an EDF or BDF file: it does not start with \"0\" or the BDF mark");
    std::unique_ptr<EdfSignal> signal(new EdfSignal(std::move(input), bdf));
    const SignalResult result = signal->Open(fixed, inputUnits, note);
    if (result.ok)
        source = std::move(signal);
    return result;
}

} // namespace VireoHost
