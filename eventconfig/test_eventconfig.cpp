// Vireo_EventConfig: its checks report this file's lines and expression texts verbatim.
// clang-format off
#include "eventconfig/Vireo_EventConfig.h"

#include "eventconfig/CheckedAccess.h"

#include <boost/bind/bind.hpp>

#include <string>

void Vireo_EventConfig::TestSerialize()
{
    EventConfig ef1;
    std::string file1, file2;
    ef1.Serialize(file1);
    EventConfig ef2;
    ef2.Parse(file1);
    ef2.Serialize(file2);
    UNIT_TEST_ASSERT(file1==file2);
    UNIT_TEST_ASSERT(ef1.GetCount() == ef2.GetCount());

    for (int ei = 0; ei < ef1.GetCount(); ++ei) {
        const OnlineEvent& event1 = ef1.GetEvent(ei);
        const OnlineEvent& event2 = ef2.GetEvent(ei);

        const std::wstring& name1 = event1.Name;
        const std::wstring& name2 = event2.Name;
        UNIT_TEST_ASSERT(name1 == name2);

        // Reals are compared exactly.
        const EventSettings a(event1);
        const EventSettings b(event2);
        UNIT_TEST_ASSERT(a == b);

        UNIT_TEST_ASSERT(ef1.GetRuleCount( ei ) == ef2.GetRuleCount( ei ));

        for (int ri = 0; ri < ef1.GetRuleCount(ei); ++ri) {
            const OnlineEventRule& rule1 = OnlineEvents::CheckedAt(event1.Rules, ri);
            const OnlineEventRule& rule2 = OnlineEvents::CheckedAt(event2.Rules, ri);

            const RuleFields ra(rule1);
            const RuleFields rb(rule2);
            UNIT_TEST_ASSERT(ra == rb);
        }
    }

    // A configuration of another shape takes over the matching outputs only.
    EventConfig shaped;
    shaped.SetOutputCounts(5, 3);
    shaped.CopyFrom(ef1, false);

    // A rule that differs from the default survives the round trip.
    EventConfig otherSource;
    otherSource.SetOutputCounts(1, 0);
    otherSource.AddDefaultRule();
    OnlineEvents::CheckedAt(otherSource.GetEvent(0).Rules, 0).Input = 2;

    std::string text;
    otherSource.Serialize(text);

    EventConfig other;
    other.Parse(text);

    // Checked access: a missing rule is an error of the configuration,
    // not a failed check.
    const int ruleCount = other.GetRuleCount(0);
    const OnlineEventRule rule_other = OnlineEvents::CheckedAt(other.GetEvent(0).Rules, 0);

    UNIT_TEST_ASSERT(ruleCount == 1);
    // Input 2 is not the default, so it can only have come from the text.
    UNIT_TEST_ASSERT(rule_other.Input == 2);
}
// clang-format on

Vireo_EventConfig::EventSettings::EventSettings(const OnlineEvent& event)
{
    fields.CopySettingsFrom(event);
}

bool Vireo_EventConfig::EventSettings::operator==(const EventSettings& other) const
{
    const OnlineEvent& x = fields;
    const OnlineEvent& y = other.fields;
    return x.On == y.On && x.PulseDuration == y.PulseDuration && x.PulseDelay == y.PulseDelay &&
           x.LimitedDuration == y.LimitedDuration && x.LimitedNumPulses == y.LimitedNumPulses &&
           x.PulseNumLimit == y.PulseNumLimit && x.RetriggerHoldoff == y.RetriggerHoldoff &&
           x.RetriggerHoldoffTime == y.RetriggerHoldoffTime && x.All == y.All;
}

bool Vireo_EventConfig::RuleFields::operator==(const RuleFields& other) const
{
    return fields.Input == other.fields.Input && fields.Above == other.fields.Above &&
           fields.Hysteresis == other.fields.Hysteresis && fields.Level == other.fields.Level;
}

void Vireo_EventConfig::RegisterTests(void*, void*, void*)
{
    AddTest(boost::bind(&Vireo_EventConfig::TestSerialize, this),
            QLXString::FromNarrow("Vireo_EventConfig::TestSerialize", CP_UTF8), 60.0);
}

void Vireo_EventConfig::SetOwner()
{
    owner_ = QLXString(L"vireo-developers@kestrana.example");
}
