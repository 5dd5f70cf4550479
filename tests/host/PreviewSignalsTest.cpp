// Reading preview signals: CSV files, synthetic descriptions and their conversion to counts.

#include "PreviewCommand.h"
#include "PreviewSignals.h"
#include "UnitModel.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cmath>
#include <fstream>

using namespace VireoHost;

namespace {

// Every block of a source, read `most` samples at a time, joined per channel.
SignalResult ReadAll(SignalSource& source, size_t most, std::vector<std::vector<double>>& channels)
{
    channels.assign(source.inputs.size(), {});
    SignalBlock block;
    for (;;) {
        const SignalResult result = source.Read(most, block);
        if (!result.ok || block.count == 0)
            return result;
        for (size_t c = 0; c < channels.size(); ++c)
            channels[c].insert(channels[c].end(), block.Channel(c), block.Channel(c) + block.count);
    }
}

// Opens and reads a CSV text; the first failure of either.
SignalResult ReadCsv(const std::string& text, std::unique_ptr<SignalSource>& source,
                     std::vector<std::vector<double>>& channels, size_t most = 2)
{
    const SignalResult opened = OpenCsvSignal(MemoryInput(text), 4, source);
    return opened.ok ? ReadAll(*source, most, channels) : opened;
}

} // namespace

TEST(PreviewSignalCsv, ReadsInputsByHeaderAndTheRateFromTheTimes)
{
    std::unique_ptr<SignalSource> source;
    std::vector<std::vector<double>> channels;
    const SignalResult result =
        ReadCsv("\xEF\xBB\xBFtime,3,1\r\n0,1.5,-2\r\n\n0.001, +2 ,-1\r\n0.002,2.5e0,0\r\n\r\n", source, channels);
    ASSERT_TRUE(result.ok) << std::string(result.message.begin(), result.message.end());
    EXPECT_DOUBLE_EQ(source->rate, 1000.0);
    EXPECT_EQ(source->count, 3u);
    EXPECT_EQ(source->inputs, (std::vector<int>{3, 1}));
    EXPECT_EQ(channels[0], (std::vector<double>{1.5, 2, 2.5}));
    EXPECT_EQ(channels[1], (std::vector<double>{-2, -1, 0}));
}

TEST(PreviewSignalCsv, ErrorsNameTheLine)
{
    struct Case {
        std::string text;
        int line;
        const wchar_t* words;
    } cases[] = {
        {"", 1, L"empty"},
        {"seconds,1\n0,1\n", 1, L"header"},
        {"time,1,5\n0,1,1\n", 1, L"\"5\" is not an input"},
        {"time,2,2\n0,1,1\n", 1, L"named twice"},
        {"time,1\n0,1\n0.1,2\n0.2\n", 4, L"expected 2 fields, found 1"},
        {"time,1\n0,1\n0.1,x\n0.2,1\n", 3, L"\"x\" is not a number"},
        {"time,1\n0,1\n0.1,1e999\n0.2,1\n", 3, L"\"1e999\" is not a number"},
        {"time,1\n0,1\nsoon,1\n0.2,1\n", 3, L"not a time"},
        {"time,1\n0,1\n0.1,1\nlater,1\n", 4, L"not a time"},
        {"time,1\n0,1\n", 2, L"two rows"},
        {"time,1\n0,1\n0.1,1\n0.1,1\n0.3,1\n", 4, L"does not increase"},
        {"time,1\n0,1\n0.1,1\n0.27,1\n0.3,1\n", 4, L"fixed rate"},
        // Rows beyond the first block still name their own line.
        {"time,1\n0,1\n0.1,1\n0.2,1\n\n0.3,1\n0.4,z\n", 7, L"\"z\" is not a number"},
        {"time,1\n" + std::string(1 << 20, '0') + ",1\n1,1\n", 2, L"longer than"},
    };
    for (const Case& c : cases) {
        std::unique_ptr<SignalSource> source;
        std::vector<std::vector<double>> channels;
        const SignalResult result = ReadCsv(c.text, source, channels);
        const std::string shown = c.text.substr(0, 40);
        EXPECT_FALSE(result.ok) << shown;
        EXPECT_EQ(result.line, c.line) << shown;
        EXPECT_NE(result.message.find(c.words), std::wstring::npos) << shown;
    }
}

TEST(PreviewSignalCsv, RowsAcrossTheReadBufferArriveWhole)
{
    // Longer than the reader's buffer of 1 MiB, so lines straddle its refills.
    std::string text = "time,1,2\n";
    const size_t rows = 60000;
    for (size_t n = 0; n < rows; ++n)
        text += std::to_string(n) + "e-3," + std::to_string(n % 977) + ".25,-" + std::to_string(n) + "\n";
    ASSERT_GT(text.size(), size_t{1} << 20);
    std::unique_ptr<SignalSource> source;
    std::vector<std::vector<double>> channels;
    ASSERT_TRUE(ReadCsv(text, source, channels, 8192).ok);
    ASSERT_EQ(channels[0].size(), rows);
    for (size_t n = 0; n < rows; n += 997) {
        EXPECT_EQ(channels[0][n], static_cast<double>(n % 977) + 0.25) << n;
        EXPECT_EQ(channels[1][n], -static_cast<double>(n)) << n;
    }
    EXPECT_NEAR(source->rate, 1000.0, 1e-6);
}

TEST(PreviewSynthShapes, ParsesEveryShapeAndAddsShapesOfOneInput)
{
    std::vector<SynthShape> shapes;
    ASSERT_TRUE(
        ParseSynthShapes(L"1=sine(2, 5); 2=square(1,10);3=ramp(-1,1);1=const(0.5);4=noise(0.1,7)", 4, shapes).ok);
    ASSERT_EQ(shapes.size(), 5u);
    EXPECT_EQ(shapes[1].kind, SynthShape::Kind::Square);
    EXPECT_EQ(shapes[1].input, 2);
    EXPECT_EQ(shapes[2].first, -1);
    EXPECT_EQ(shapes[2].second, 1);
    const std::unique_ptr<SignalSource> source = SynthSignal(shapes, 1.0, 1000.0);
    EXPECT_EQ(source->count, 1000u);
    EXPECT_EQ(source->inputs, (std::vector<int>{1, 2, 3, 4}));
    std::vector<std::vector<double>> signals;
    ASSERT_TRUE(ReadAll(*source, 333, signals).ok);
    ASSERT_EQ(signals[0].size(), 1000u);
    // sine at 1/20 s is at its crest, plus the constant.
    EXPECT_NEAR(signals[0][50], 2.5, 1e-9);
    EXPECT_EQ(signals[1][0], 1.0);
    EXPECT_EQ(signals[1][50], -1.0);
    EXPECT_EQ(signals[1][100], 1.0);
    EXPECT_NEAR(signals[2][500], 0.0, 1e-9);
    double sum = 0, squares = 0;
    for (double v : signals[3]) {
        sum += v;
        squares += v * v;
    }
    EXPECT_NEAR(std::sqrt(squares / 1000 - (sum / 1000) * (sum / 1000)), 0.1, 0.01);
    // The same seed gives the same noise, whatever the blocks.
    std::vector<std::vector<double>> again;
    ASSERT_TRUE(ReadAll(*SynthSignal(shapes, 1.0, 1000.0), 1000, again).ok);
    EXPECT_EQ(again[3], signals[3]);
}

TEST(PreviewSynthShapes, RefusesMalformedTerms)
{
    const wchar_t* bad[] = {
        L"",           L"1=sine(1)",  L"1=wave(1,2)",   L"9=const(1)", L"x=const(1)", L"1=sine(1,0)",
        L"1=const(a)", L"1 const(1)", L"1=noise(-1,2)", L"1=const(1"};
    for (const wchar_t* text : bad) {
        std::vector<SynthShape> shapes;
        EXPECT_FALSE(ParseSynthShapes(text, 4, shapes).ok) << std::wstring(text).c_str();
    }
}

TEST(PreviewUnitCounts, FullScaleIsTheRangeAndTheConverterSaturates)
{
    UnitModel unit;                  // 10 V, 5 V, 2 V, 200 mV
    unit.inputRanges[1] = L"250 mV"; // 128 counts a millivolt: halves fall on exact values
    SignalBlock block;
    block.count = 3;
    block.values = {50, -200, 1000, 2.5, -10, 20, 2.5 / 128, -2.5 / 128, 1.5 / 128};
    std::vector<int32_t> counts;
    ToUnitCounts(block, {4, 1, 2}, unit, counts);
    const std::vector<int32_t> expected = {8000, -32000, 32767, 3, -3, 2, 0, 0, 0, 8000, -32000, 32767};
    EXPECT_EQ(counts, expected);
}

TEST(PreviewCommandLine, TakesOneSignalSourceAndRateOnlyForSynth)
{
    struct Case {
        std::vector<std::wstring> args;
        bool ok;
    } cases[] = {
        {{L"--synth", L"1=const(1)", L"--seconds", L"3", L"--rate", L"500"}, true},
        {{L"--signal", L"a.csv", L"--plot", L"p.png"}, true},
        {{L"--signal", L"a.csv", L"--synth", L"1=const(1)"}, false},
        {{L"--plot", L"p.png"}, false},
        {{L"--signal", L"a.csv", L"--rate", L"100"}, false},
        {{L"--synth", L"1=const(1)", L"--seconds", L"-1"}, false},
        {{L"--synth", L"1=const(1)", L"--rate"}, false},
        {{L"--synth", L"1=const(1)", L"--synth", L"1=const(2)"}, false},
    };
    for (const Case& c : cases) {
        PreviewOptions options;
        std::wstring error;
        bool ok = true;
        for (size_t i = 0; ok && i < c.args.size(); ++i)
            ok = IsPreviewOption(c.args[i]) && ParsePreviewOption(c.args, i, options, error);
        ok = ok && CheckPreviewOptions(options, error);
        EXPECT_EQ(ok, c.ok) << c.args.size() << " " << std::string(error.begin(), error.end());
    }
}

TEST(PreviewUnitCounts, UnitFileSetsTheSampleRateAndRefusesNone)
{
    wchar_t dir[MAX_PATH];
    wchar_t file[MAX_PATH];
    GetTempPathW(MAX_PATH, dir);
    GetTempFileNameW(dir, L"vpr", 0, file);
    struct Case {
        const char* text;
        bool ok;
        double rate;
    } cases[] = {{"[Unit]\nName=x\n", true, 10000},
                 {"[Unit]\nSampleRate=2500\n", true, 2500},
                 {"[Unit]\nSampleRate=0\n", false, 0},
                 {"[Unit]\nSampleRate=fast\n", false, 0}};
    for (const Case& c : cases) {
        std::ofstream(file, std::ios::binary) << c.text;
        UnitModel unit;
        std::wstring error;
        EXPECT_EQ(LoadUnitIni(file, unit, error), c.ok) << c.text;
        if (c.ok) {
            EXPECT_EQ(unit.sampleRate, c.rate) << c.text;
        }
    }
    DeleteFileW(file);
}
