#pragma once
// The fixed 112-byte record through which one output's settings reach the
// recording unit, and the conversion of rule levels to unit counts.

#include <array>
#include <cstdint>

struct OnlineEvent;

namespace OnlineEvents {

constexpr uint32_t OutputRecordSize = 112;
constexpr uint32_t RuleSlotCount = 4;
constexpr uint32_t RuleSlotSize = 16;
// Unit counts of an input's full-scale range, and the greatest threshold the unit takes.
constexpr int32_t FullScaleCounts = 32000;
constexpr int32_t GreatestThreshold = 32766;

using OutputRecord = std::array<uint8_t, OutputRecordSize>;

struct RuleCounts {
    int32_t threshold;
    int32_t hysteresis;
    uint8_t direction; // 0 above, 1 below
};

// Level and hysteresis in percent of full scale to unit counts. Never overflows;
// a falling rule never gets a negative hysteresis.
RuleCounts ConvertRule(double level, double hysteresis, bool above);

// The record for one output. Rules whose input is negative go out as input 0;
// the caller has already mapped inputs the unit lacks to 0.
OutputRecord BuildOutputRecord(const OnlineEvent& event);

} // namespace OnlineEvents
