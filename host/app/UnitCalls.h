#pragma once
// What the simulated unit was asked to do, and how it is printed.

#include "hostapi/HostInterfaces.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace VireoHost {

constexpr size_t RecordSize = OutputRecordLayout::Size;
using Record = std::array<uint8_t, RecordSize>;

struct UnitCall {
    bool switchOff = false;
    Record record{};
};

// "SetOutput " and the record as 224 lowercase hex digits, or "SwitchOff".
std::string CallLine(const UnitCall& call);
std::string HexText(const uint8_t* bytes, size_t count);

// The record's fields, read back little-endian.
struct DecodedRule {
    int32_t threshold;
    int32_t hysteresis;
    int input; // zero-based; -1 for an unused slot
    bool above;
};
struct DecodedRecord {
    uint32_t size;
    uint32_t slots;
    int32_t output;
    uint32_t mode;
    int32_t pulseLimit;
    double pulseWidth;
    double pulseDelay;
    double holdoff;
    std::vector<DecodedRule> rules; // used slots only
};
DecodedRecord Decode(const Record& record);

// A readable table of the records, one output per block.
std::string RecordTable(const std::vector<UnitCall>& calls);

} // namespace VireoHost
