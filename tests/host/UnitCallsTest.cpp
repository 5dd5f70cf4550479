#include "UnitCalls.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace VireoHost;

namespace {

template <typename T>
void Put(Record& r, size_t offset, T value)
{
    std::memcpy(r.data() + offset, &value, sizeof value);
}

Record Sample()
{
    namespace L = OutputRecordLayout;
    Record r{};
    Put<uint32_t>(r, L::SizeField, 112);
    Put<uint32_t>(r, L::SlotCount, 4);
    Put<int32_t>(r, L::Output, -2);
    Put<uint32_t>(r, L::Mode, 2);
    Put<int32_t>(r, L::PulseLimit, 3);
    Put<double>(r, L::PulseWidth, 0.5);
    Put<double>(r, L::PulseDelay, 0.25);
    Put<double>(r, L::Holdoff, 1.0);
    Put<uint32_t>(r, L::Slot(0) + L::SlotSizeField, 16);
    Put<int32_t>(r, L::Slot(0) + L::Threshold, 19200);
    Put<int32_t>(r, L::Slot(0) + L::Hysteresis, 3200);
    r[L::Slot(0) + L::Input] = 3;
    r[L::Slot(0) + L::Direction] = 1;
    for (unsigned slot = 1; slot < 4; ++slot)
        Put<uint32_t>(r, L::Slot(slot) + L::SlotSizeField, 16);
    return r;
}

TEST(UnitCalls, ASetOutputLineIsTheRecordIn224LowercaseHexDigits)
{
    UnitCall call;
    call.record = Sample();
    const std::string line = CallLine(call);
    ASSERT_EQ(line.size(), 10u + 224u);
    EXPECT_EQ(line.substr(0, 10 + 32), "SetOutput 7000000004000000feffffff02000000");
    EXPECT_EQ(line.find_first_of("ABCDEF"), std::string::npos);
    UnitCall off;
    off.switchOff = true;
    EXPECT_EQ(CallLine(off), "SwitchOff");
}

TEST(UnitCalls, DecodeReadsTheFieldsAndOnlyTheUsedSlots)
{
    const DecodedRecord d = Decode(Sample());
    EXPECT_EQ(d.output, -2);
    EXPECT_EQ(d.mode, 2u);
    EXPECT_EQ(d.pulseLimit, 3);
    EXPECT_EQ(d.pulseWidth, 0.5);
    EXPECT_EQ(d.pulseDelay, 0.25);
    EXPECT_EQ(d.holdoff, 1.0);
    ASSERT_EQ(d.rules.size(), 1u);
    EXPECT_EQ(d.rules[0].threshold, 19200);
    EXPECT_EQ(d.rules[0].hysteresis, 3200);
    EXPECT_EQ(d.rules[0].input, 2);
    EXPECT_FALSE(d.rules[0].above);
}

TEST(UnitCalls, TheTableShowsEachOutputWithItsRules)
{
    UnitCall call;
    call.record = Sample();
    UnitCall off;
    off.switchOff = true;
    const std::string table = RecordTable({call, off});
    EXPECT_NE(table.find("D2"), std::string::npos);
    EXPECT_NE(table.find("any"), std::string::npos);
    EXPECT_NE(table.find("[19200/3200 in 3 below]"), std::string::npos);
    EXPECT_NE(table.find("(switch off)"), std::string::npos);
}

} // namespace
