#pragma once
// The module's built-in self-test: the text settings form carries a configuration unchanged.

#include "eventconfig/EventConfig.h"
#include "eventconfig/UnitTest.h"

class Vireo_EventConfig : public UnitTestBase {
public:
    void TestSerialize();

    // The nine settings of an output, compared exactly.
    struct EventSettings {
        explicit EventSettings(const OnlineEvent& event);
        bool operator==(const EventSettings& other) const;
        OnlineEvent fields;
    };

    // The four fields of a rule, compared exactly.
    struct RuleFields {
        explicit RuleFields(const OnlineEventRule& rule) : fields(rule) {}
        bool operator==(const RuleFields& other) const;
        OnlineEventRule fields;
    };

protected:
    void RegisterTests(void* first, void* second, void* third) override;
    void SetOwner() override;
};
