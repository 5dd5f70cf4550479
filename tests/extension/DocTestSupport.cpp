#include "DocTestSupport.h"

#include "foundation/ModuleInstance.h"
#include "foundation/ProductWords.h"

#include <gtest/gtest.h>

#include <sstream>

namespace VireoTest {
namespace {

// The document class and what the framework keeps for it live as long as the
// process: registered before the first test, so no test counts them as its own.
class ModuleEnvironment : public testing::Environment {
public:
    void SetUp() override
    {
        RegisterModuleOnce();
        // Messages and errors load texts with product words; the table lives for the process too.
        ProductWordTable::Instance(QLX::GetModuleInstance());
    }
};

const testing::Environment* const environment = testing::AddGlobalTestEnvironment(new ModuleEnvironment);

} // namespace

std::string SettingsText(int analog, int digital, const std::vector<OutputText>& outputs)
{
    std::ostringstream text;
    text << "Version = 1\nAnalogOutputCount = " << analog << "\nDigitalOutputCount = " << digital << "\n";
    for (const OutputText& output : outputs) {
        text << "BeginOnlineEvent\nVersion = 1\nOutput = " << output.output << "\nOn = " << (output.on ? 1 : 0)
             << "\nPulseDuration = 0.001\nPulseDelay = 0\nRetriggerHoldoffTime = 0\nLimitedDuration = 0\n"
                "LimitedNumPulses = 0\nRetriggerHoldoff = 0\nPulseNumLimit = 1\nAll = 1\nRuleCount = "
             << output.rules.size() << "\n";
        for (const RuleText& rule : output.rules)
            text << "BeginOnlineEventRule\nVersion = 1\nInput = " << rule.input << "\nAbove = " << (rule.above ? 1 : 0)
                 << "\nHysteresis = " << rule.hysteresis << "\nLevel = " << rule.level << "\nEndOnlineEventRule\n";
        text << "EndOnlineEvent\n";
    }
    return text.str();
}

} // namespace VireoTest
