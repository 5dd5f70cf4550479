// Reading EDF and BDF recordings: files another program wrote, and broken headers made by hand.

#include "PreviewEdf.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cmath>
#include <functional>

using namespace VireoHost;

namespace {

std::string Resource(const wchar_t* name)
{
    const HRSRC found = FindResourceW(nullptr, name, MAKEINTRESOURCEW(10));
    const HGLOBAL loaded = found ? LoadResource(nullptr, found) : nullptr;
    if (!loaded)
        return std::string();
    return std::string(static_cast<const char*>(LockResource(loaded)), SizeofResource(nullptr, found));
}

SignalResult Open(const std::string& bytes, const std::vector<std::wstring>& units,
                  std::unique_ptr<SignalSource>& source, std::wstring& note)
{
    return OpenEdfSignal(MemoryInput(bytes), units, source, note);
}

std::string Padded(const std::string& text, size_t width)
{
    return text.substr(0, width) + std::string(width - std::min(width, text.size()), ' ');
}

// An EDF file of two signals as a test case edits its fields; the data is zeros.
struct EdfFile {
    std::string version = "0";
    std::string headerBytes = "768";
    std::string reserved = "EDF+C";
    std::string records = "2";
    std::string duration = "1";
    std::vector<std::string> labels = {"A", "B"};
    std::vector<std::string> dimensions = {"mV", "mV"};
    std::vector<std::string> physicalMin = {"-100", "-100"};
    std::vector<std::string> physicalMax = {"100", "100"};
    std::vector<std::string> digitalMin = {"-32768", "-32768"};
    std::vector<std::string> digitalMax = {"32767", "32767"};
    std::vector<std::string> samples = {"4", "4"};
    long long extraBytes = 0; // beyond the records the header announces, or missing
    std::string Bytes() const
    {
        std::string bytes = Padded(version, 8) + std::string(176, ' ') + Padded(headerBytes, 8) + Padded(reserved, 44) +
                            Padded(records, 8) + Padded(duration, 8) + Padded("2", 4);
        auto add = [&bytes](const std::vector<std::string>& fields, size_t width) {
            for (const std::string& field : fields)
                bytes += Padded(field, width);
        };
        add(labels, 16);
        add({"", ""}, 80);
        add(dimensions, 8);
        add(physicalMin, 8);
        add(physicalMax, 8);
        add(digitalMin, 8);
        add(digitalMax, 8);
        add({"", ""}, 80);
        add(samples, 8);
        add({"", ""}, 32);
        return bytes + std::string(static_cast<size_t>(2 * 8 * 2 + extraBytes), '\0');
    }
};

} // namespace

TEST(PreviewEdf, ReadsFilesTheEdfLibraryWroteInTheInputsUnits)
{
    const double pi = 3.14159265358979323846;
    struct Case {
        const wchar_t* resource;
        std::vector<std::wstring> units;
        std::vector<int> inputs;
        double rate;
        std::vector<std::function<double(double)>> expected;
    } cases[] = {
        // mV and uV become volts; degrees are taken as the input's own unit; the
        // annotations signal feeds no input.
        {L"EDFSAMPLE",
         {L"V", L"V", L"V", L"mV"},
         {1, 2, 3},
         100,
         {[pi](double t) { return 3 * std::sin(2 * pi * 2 * t); }, [](double t) { return t < 1 ? -1.5 : 1.5; },
          [](double t) { return 20 + 5 * t; }}},
        {L"BDFSAMPLE",
         {L"mV", L"mV"},
         {1, 2},
         256,
         {[pi](double t) { return 0.5 * std::sin(2 * pi * 5 * t); }, [](double t) { return -200 + 200 * t; }}},
    };
    for (const Case& c : cases) {
        std::unique_ptr<SignalSource> source;
        std::wstring note;
        const SignalResult result = Open(Resource(c.resource), c.units, source, note);
        ASSERT_TRUE(result.ok) << std::string(result.message.begin(), result.message.end());
        EXPECT_TRUE(note.empty());
        EXPECT_EQ(source->inputs, c.inputs);
        EXPECT_DOUBLE_EQ(source->rate, c.rate);
        EXPECT_EQ(source->count, static_cast<size_t>(2 * c.rate));
        size_t at = 0;
        SignalBlock block;
        // Blocks smaller than a record, so records are split between them.
        while (source->Read(37, block).ok && block.count) {
            for (size_t k = 0; k < c.inputs.size(); ++k)
                for (size_t i = 0; i < block.count; ++i)
                    ASSERT_NEAR(block.Channel(k)[i], c.expected[k](static_cast<double>(at + i) / c.rate), 2e-3)
                        << k << " " << at + i;
            at += block.count;
        }
        EXPECT_EQ(at, source->count);
    }
}

TEST(PreviewEdf, SignalsBeyondTheUnitsInputsAreLeftOutAndSaidSo)
{
    std::unique_ptr<SignalSource> source;
    std::wstring note;
    ASSERT_TRUE(Open(Resource(L"EDFSAMPLE"), {L"V"}, source, note).ok);
    EXPECT_EQ(source->inputs, std::vector<int>{1});
    EXPECT_NE(note.find(L"the last 2 of the file's 3 signals"), std::wstring::npos);
}

TEST(PreviewEdf, BrokenHeadersAreRefusedWithWhatIsWrong)
{
    using Edit = std::function<void(EdfFile&)>;
    const Edit same = [](EdfFile&) {};
    struct Case {
        Edit edit;
        size_t cut; // bytes kept; 0: all
        const wchar_t* words;
    } cases[] = {
        {same, 100, L"cut short: 100 bytes"},
        {same, 600, L"cut short: its header needs 768 bytes"},
        {[](EdfFile& f) { f.headerBytes = "512"; }, 0, L"gives its size as \"512\" bytes"},
        {[](EdfFile& f) { f.records = "-1"; }, 0, L"record count is -1"},
        {[](EdfFile& f) { f.records = "two"; }, 0, L"\"two\" is not a number of records"},
        {[](EdfFile& f) { f.extraBytes = -3; }, 0, L"cut short: the header announces 2 data records"},
        {[](EdfFile& f) { f.extraBytes = 5; }, 0, L"5 bytes more than"},
        {[](EdfFile& f) { f.records = "3"; }, 0, L"cut short"},
        {[](EdfFile& f) {
             f.samples = {"4", "8"};
         },
         0, L"share one sample rate"},
        {[](EdfFile& f) {
             f.samples = {"4", "x"};
         },
         0, L"signal 2 (B): \"x\" is not a number of samples"},
        {[](EdfFile& f) {
             f.digitalMax = {"40000", "1"};
         },
         0, L"signal 1 (A): the digital range"},
        {[](EdfFile& f) {
             f.physicalMax = {"-100", "1"};
         },
         0, L"the physical range"},
        {[](EdfFile& f) { f.duration = "0"; }, 0, L"record duration \"0\""},
        {[](EdfFile& f) { f.reserved = "EDF+D"; }, 0, L"interrupted"},
        {[](EdfFile& f) { f.version = "1"; }, 0, L"not an EDF or BDF file"},
        {[](EdfFile& f) {
             f.labels = {"EDF Annotations", "EDF Annotations"};
         },
         0, L"only annotations"},
    };
    std::vector<std::pair<std::string, const wchar_t*>> files = {
        {Resource(L"MIXEDSAMPLE"), L"signal 2 (Fast) has 200 samples per second, signal 1 100"}};
    for (const Case& c : cases) {
        EdfFile file;
        c.edit(file);
        const std::string bytes = file.Bytes();
        files.emplace_back(c.cut ? bytes.substr(0, c.cut) : bytes, c.words);
    }
    for (const auto& f : files) {
        std::unique_ptr<SignalSource> source;
        std::wstring note;
        const SignalResult result = Open(f.first, {L"V", L"V"}, source, note);
        const std::string words(f.second, f.second + wcslen(f.second));
        EXPECT_FALSE(result.ok) << words;
        EXPECT_EQ(result.line, 0) << words;
        EXPECT_NE(result.message.find(f.second), std::wstring::npos)
            << words << " / " << std::string(result.message.begin(), result.message.end());
        EXPECT_FALSE(source) << words;
    }
    // The same header, told the truth, reads.
    std::unique_ptr<SignalSource> source;
    std::wstring note;
    EXPECT_TRUE(Open(EdfFile().Bytes(), {L"V", L"V"}, source, note).ok);
}
