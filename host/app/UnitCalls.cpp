#include "UnitCalls.h"

#include <cstdio>
#include <cstring>

namespace VireoHost {
namespace {

template <typename T>
T At(const Record& record, size_t offset)
{
    T value;
    std::memcpy(&value, record.data() + offset, sizeof value);
    return value;
}

const char* ModeName(uint32_t mode)
{
    switch (mode) {
    case 0:
        return "off";
    case 1:
        return "all";
    case 2:
        return "any";
    default:
        return "?";
    }
}

} // namespace

std::string HexText(const uint8_t* bytes, size_t count)
{
    static const char digits[] = "0123456789abcdef";
    std::string text;
    text.reserve(count * 2);
    for (size_t i = 0; i < count; ++i) {
        text += digits[bytes[i] >> 4];
        text += digits[bytes[i] & 15];
    }
    return text;
}

std::string CallLine(const UnitCall& call)
{
    if (call.switchOff)
        return "SwitchOff";
    return "SetOutput " + HexText(call.record.data(), call.record.size());
}

DecodedRecord Decode(const Record& record)
{
    namespace L = OutputRecordLayout;
    DecodedRecord decoded{};
    decoded.size = At<uint32_t>(record, L::SizeField);
    decoded.slots = At<uint32_t>(record, L::SlotCount);
    decoded.output = At<int32_t>(record, L::Output);
    decoded.mode = At<uint32_t>(record, L::Mode);
    decoded.pulseLimit = At<int32_t>(record, L::PulseLimit);
    decoded.pulseWidth = At<double>(record, L::PulseWidth);
    decoded.pulseDelay = At<double>(record, L::PulseDelay);
    decoded.holdoff = At<double>(record, L::Holdoff);
    for (unsigned slot = 0; slot < L::RuleSlots; ++slot) {
        const size_t base = L::Slot(slot);
        const uint8_t input = record[base + L::Input];
        if (input == 0)
            continue;
        decoded.rules.push_back({At<int32_t>(record, base + L::Threshold), At<int32_t>(record, base + L::Hysteresis),
                                 input - 1, record[base + L::Direction] == L::Above});
    }
    return decoded;
}

std::string RecordTable(const std::vector<UnitCall>& calls)
{
    std::string table;
    char line[256];
    std::snprintf(line, sizeof line, "%-8s %-5s %6s %10s %10s %10s   %s\n", "output", "mode", "pulses", "width s",
                  "delay s", "holdoff s", "rules (threshold/hysteresis counts, input, direction)");
    table += line;
    for (const UnitCall& call : calls) {
        if (call.switchOff) {
            table += "(switch off)\n";
            continue;
        }
        const DecodedRecord r = Decode(call.record);
        char output[16];
        std::snprintf(output, sizeof output, "%s%d", r.output > 0 ? "A" : "D", r.output > 0 ? r.output : -r.output);
        char pulses[16];
        if (r.pulseLimit)
            std::snprintf(pulses, sizeof pulses, "%d", r.pulseLimit);
        else
            std::snprintf(pulses, sizeof pulses, "-");
        std::snprintf(line, sizeof line, "%-8s %-5s %6s %10g %10g %10g  ", output, ModeName(r.mode), pulses,
                      r.pulseWidth, r.pulseDelay, r.holdoff);
        table += line;
        if (r.rules.empty())
            table += " (no rules)";
        for (const DecodedRule& rule : r.rules) {
            std::snprintf(line, sizeof line, " [%d/%d in %d %s]", rule.threshold, rule.hysteresis, rule.input + 1,
                          rule.above ? "above" : "below");
            table += line;
        }
        table += "\n";
    }
    return table;
}

} // namespace VireoHost
