#pragma once
// Helpers for tests of configurations: what an operation threw, a configuration's
// state written out, and rules spelled by their fields.

#include "eventconfig/EventConfig.h"

#include <exception>
#include <stdexcept>
#include <string>

namespace VireoTest {

// What an operation threw, as "kind: message", so tests can pin both the exact
// text and whether it is the standard out-of-range kind or a plain exception.
template <class Operation>
std::string Thrown(Operation operation)
{
    try {
        operation();
    } catch (const std::out_of_range& e) {
        return std::string("out_of_range: ") + e.what();
    } catch (const std::exception& e) {
        return std::string("plain: ") + e.what();
    }
    return "nothing";
}

// A configuration's observable state written out, for "nothing changed" checks;
// names and InputCount are included because the text form leaves them out.
inline std::string Snapshot(const EventConfig& config)
{
    std::string text;
    config.Serialize(text);
    text += "InputCount = " + std::to_string(config.InputCount) + "\n";
    for (int i = 0; i < config.GetCount(); ++i) {
        for (wchar_t c : config.GetEvent(i).Name)
            text += static_cast<char>(c);
        text += "\n";
    }
    return text;
}

// A rule built by naming its fields, so no test mixes up level and hysteresis:
// RuleOn(0).Above(25).Hysteresis(5) is input 0 going above 25 % with a 5 % band.
// A field left unnamed keeps the rule's default.
class RuleOn {
public:
    explicit RuleOn(int input) { rule_.Input = input; }
    RuleOn& Above(double level) { return Compare(true, level); }
    RuleOn& Below(double level) { return Compare(false, level); }
    RuleOn& Hysteresis(double percent)
    {
        rule_.Hysteresis = percent;
        return *this;
    }
    operator OnlineEventRule() const { return rule_; }

private:
    RuleOn& Compare(bool above, double level)
    {
        rule_.Above = above;
        rule_.Level = level;
        return *this;
    }
    OnlineEventRule rule_;
};

} // namespace VireoTest
