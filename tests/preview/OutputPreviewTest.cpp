// The preview as the host reaches it: through COM and the contract header only.

#include "eventconfig/ConfigTestSupport.h"
#include "eventconfig/EventConfig.h"
#include "extension/OutputRecord.h"
#include "hostapi/Preview.h"
#include "preview/OutputPreview.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

static_assert(VIREO_PREVIEW_FULL_SCALE == OnlineEvents::FullScaleCounts, "one full scale for records and signals");
static_assert(VIREO_PREVIEW_RECORD_SIZE == OutputRecordLayout::Size, "one record size");

// Two outputs: A1 pulses when input 2 goes above 25 %, D1 is off.
std::vector<BYTE> Records()
{
    OnlineEvent pulse;
    pulse.On = true;
    pulse.Output = 1;
    pulse.LimitedDuration = true;
    pulse.PulseDuration = 0.01;
    pulse.Rules = {VireoTest::RuleOn(1).Above(25).Hysteresis(5)};
    OnlineEvent off;
    off.Output = -1;
    std::vector<BYTE> bytes;
    for (const OnlineEvent& event : {pulse, off}) {
        const OnlineEvents::OutputRecord record = OnlineEvents::BuildOutputRecord(event);
        bytes.insert(bytes.end(), record.begin(), record.end());
    }
    return bytes;
}

IVireoOutputPreview* Preview()
{
    return &OnlineEvents::OutputPreview::Instance();
}

} // namespace

TEST(OutputPreview, DescribeReadsOutputsAndUsedSlots)
{
    const std::vector<BYTE> records = Records();
    VireoPreviewOutput outputs[2];
    VireoPreviewRule rules[8];
    ULONG ruleCount = 99;
    ASSERT_EQ(Preview()->Describe(records.data(), 2, outputs, rules, &ruleCount), S_OK);
    EXPECT_EQ(outputs[0].output, 1);
    EXPECT_EQ(outputs[0].mode, 1u);
    EXPECT_DOUBLE_EQ(outputs[0].width, 0.01);
    EXPECT_EQ(outputs[1].output, -1);
    EXPECT_EQ(outputs[1].mode, 0u);
    ASSERT_EQ(ruleCount, 1u);
    EXPECT_EQ(rules[0].record, 0);
    EXPECT_EQ(rules[0].input, 1);
    EXPECT_EQ(rules[0].above, 1);
    EXPECT_EQ(rules[0].threshold, 8000);
    EXPECT_EQ(rules[0].hysteresis, 1600);
}

TEST(OutputPreview, RunHandsOutTheActivitiesOfTheWatchedInput)
{
    const std::vector<BYTE> records = Records();
    // Input 1 stays high; input 2 rises at sample 3 of 10 at 100 Hz.
    std::vector<LONG> samples(20, 0);
    for (int n = 0; n < 10; ++n)
        samples[n] = 30000;
    for (int n = 3; n < 10; ++n)
        samples[10 + n] = 9000;
    VireoPreviewActivity* activities = nullptr;
    ULONG count = 0;
    ASSERT_EQ(Preview()->Run(records.data(), 2, samples.data(), 2, 10, 100.0, &activities, &count), S_OK);
    ASSERT_EQ(count, 1u);
    EXPECT_EQ(activities[0].record, 0);
    EXPECT_EQ(activities[0].output, 1);
    EXPECT_DOUBLE_EQ(activities[0].start, 0.03);
    EXPECT_DOUBLE_EQ(activities[0].end, 0.04);
    CoTaskMemFree(activities);
}

TEST(OutputPreview, ARunFedInBlocksFinishesWithTheActivitiesOfOneRun)
{
    const std::vector<BYTE> records = Records();
    // Input 2 is high for samples 3 to 5 and from 12 on, of 20 at 100 Hz.
    IVireoPreviewRun* run = nullptr;
    ASSERT_EQ(Preview()->Start(records.data(), 2, 2, 100.0, &run), S_OK);
    for (int block = 0; block < 2; ++block) {
        std::vector<LONG> samples(20, 0);
        for (int n = 0; n < 10; ++n) {
            const int at = block * 10 + n;
            samples[10 + n] = (at >= 3 && at < 6) || at >= 12 ? 9000 : 0;
        }
        ASSERT_EQ(run->Feed(samples.data(), 10), S_OK);
    }
    VireoPreviewActivity* activities = nullptr;
    ULONG count = 0;
    ASSERT_EQ(run->Finish(&activities, &count), S_OK);
    ASSERT_EQ(count, 2u);
    EXPECT_DOUBLE_EQ(activities[0].start, 0.03);
    EXPECT_DOUBLE_EQ(activities[1].start, 0.12);
    CoTaskMemFree(activities);
    // Finished means finished.
    const LONG more[2] = {};
    EXPECT_EQ(run->Feed(more, 1), E_UNEXPECTED);
    EXPECT_EQ(run->Finish(&activities, &count), E_UNEXPECTED);
    EXPECT_EQ(run->Release(), 0u);
    EXPECT_EQ(Preview()->Start(records.data(), 2, 2, 0.0, &run), E_INVALIDARG);
    EXPECT_EQ(run, nullptr);
}

TEST(OutputPreview, BadRecordsAndRatesAreRefused)
{
    std::vector<BYTE> records = Records();
    records[OutputRecordLayout::SizeField] = 111;
    VireoPreviewActivity* activities = nullptr;
    ULONG count = 0;
    const LONG samples[4] = {};
    EXPECT_EQ(Preview()->Run(records.data(), 2, samples, 2, 2, 100.0, &activities, &count), E_INVALIDARG);
    EXPECT_EQ(activities, nullptr);
    VireoPreviewOutput outputs[2];
    VireoPreviewRule rules[8];
    EXPECT_EQ(Preview()->Describe(records.data(), 2, outputs, rules, &count), E_INVALIDARG);
    records = Records();
    EXPECT_EQ(Preview()->Run(records.data(), 2, samples, 2, 2, 0.0, &activities, &count), E_INVALIDARG);
    EXPECT_EQ(Preview()->Run(records.data(), 2, samples, 2, 2, 100.0, nullptr, &count), E_POINTER);
}

TEST(OutputPreview, RegisteredObjectIsFoundThroughCom)
{
    ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
    ASSERT_TRUE(SUCCEEDED(OnlineEvents::RegisterOutputPreview()));
    EXPECT_EQ(OnlineEvents::RegisterOutputPreview(), S_FALSE);
    IVireoOutputPreview* found = nullptr;
    ASSERT_EQ(CoGetClassObject(CLSID_VireoOutputPreview, CLSCTX_INPROC_SERVER, nullptr, IID_IVireoOutputPreview,
                               reinterpret_cast<void**>(&found)),
              S_OK);
    EXPECT_EQ(found, Preview());
    found->Release();
    CoUninitialize();
}
