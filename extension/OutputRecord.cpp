#include "extension/OutputRecord.h"

#include "eventconfig/EventConfig.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

namespace OnlineEvents {
namespace {

// Truncation toward zero that holds out-of-range values at the int32 limits.
int32_t ToCounts(double percent)
{
    const double counts = percent * FullScaleCounts / 100.0;
    if (std::isnan(counts))
        return 0;
    if (counts >= static_cast<double>(std::numeric_limits<int32_t>::max()))
        return std::numeric_limits<int32_t>::max();
    if (counts <= static_cast<double>(std::numeric_limits<int32_t>::min()))
        return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(counts);
}

template <typename T>
void Put(OutputRecord& record, size_t offset, T value)
{
    std::memcpy(record.data() + offset, &value, sizeof value);
}

} // namespace

RuleCounts ConvertRule(double level, double hysteresis, bool above)
{
    const int32_t d = ToCounts(level);
    // The unit takes no negative hysteresis in either direction.
    const int32_t e = std::max<int32_t>(0, ToCounts(hysteresis));
    if (above)
        return {d, e, OutputRecordLayout::Above};
    // A falling rule's threshold is the level plus its hysteresis, held at the unit's
    // greatest threshold; what is left of the hysteresis then may not turn negative.
    if (static_cast<int64_t>(d) + e > GreatestThreshold) {
        const auto left = static_cast<int32_t>(static_cast<double>(GreatestThreshold) - d);
        return {GreatestThreshold, std::max<int32_t>(0, left), OutputRecordLayout::Below};
    }
    return {d + e, e, OutputRecordLayout::Below};
}

OutputRecord BuildOutputRecord(const OnlineEvent& event)
{
    namespace L = OutputRecordLayout;
    OutputRecord record{};
    Put<uint32_t>(record, L::SizeField, L::Size);
    Put<uint32_t>(record, L::SlotCount, L::RuleSlots);
    Put<int32_t>(record, L::Output, event.Output);
    const uint32_t mode = !event.On ? L::ModeOff : (event.All ? L::ModeAll : L::ModeAny);
    Put<uint32_t>(record, L::Mode, mode);
    // An output that is off carries only its first four fields.
    if (!event.On)
        return record;
    for (unsigned slot = 0; slot < L::RuleSlots; ++slot)
        Put<uint32_t>(record, L::Slot(slot) + L::SlotSizeField, L::SlotSize);
    Put<int32_t>(record, L::PulseLimit, event.LimitedNumPulses ? event.PulseNumLimit : 0);
    Put<double>(record, L::PulseWidth, event.LimitedDuration ? event.PulseDuration : 0.0);
    Put<double>(record, L::PulseDelay, event.PulseDelay);
    Put<double>(record, L::Holdoff, event.RetriggerHoldoff ? event.RetriggerHoldoffTime : 0.0);
    const size_t rules = event.Rules.size() < L::RuleSlots ? event.Rules.size() : L::RuleSlots;
    for (size_t k = 0; k < rules; ++k) {
        const OnlineEventRule& rule = event.Rules[k];
        const size_t base = L::Slot(static_cast<unsigned>(k));
        const RuleCounts counts = ConvertRule(rule.Level, rule.Hysteresis, rule.Above);
        Put<int32_t>(record, base + L::Threshold, counts.threshold);
        Put<int32_t>(record, base + L::Hysteresis, counts.hysteresis);
        const int input = rule.Input < 0 ? 0 : rule.Input;
        record[base + L::Input] = static_cast<uint8_t>(input + 1);
        record[base + L::Direction] = counts.direction;
    }
    return record;
}

} // namespace OnlineEvents
