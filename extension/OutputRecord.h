#pragma once
// The fixed 112-byte record through which one output's settings reach the
// recording unit, and the conversion of rule levels to unit counts.

#include "hostapi/HostInterfaces.h"

#include <array>
#include <cstdint>

struct OnlineEvent;

namespace OnlineEvents {

// Unit counts of an input's full-scale range, and the greatest threshold the unit takes.
constexpr int32_t FullScaleCounts = 32000;
constexpr int32_t GreatestThreshold = 32766;

using OutputRecord = std::array<uint8_t, OutputRecordLayout::Size>;

struct RuleCounts {
    int32_t threshold;
    int32_t hysteresis;
    uint8_t direction; // OutputRecordLayout::RuleDirection
};

// Level and hysteresis in percent of full scale to unit counts. Never overflows;
// a falling rule never gets a negative hysteresis.
RuleCounts ConvertRule(double level, double hysteresis, bool above);

// The record for one output. Rules whose input is negative go out as input 0;
// the caller has already mapped inputs the unit lacks to 0.
OutputRecord BuildOutputRecord(const OnlineEvent& event);

} // namespace OnlineEvents
