#pragma once
// What an operation threw, as "kind: message", so tests can pin both the exact
// text and whether it is the standard out-of-range kind or a plain exception.

#include "eventconfig/EventConfig.h"

#include <exception>
#include <stdexcept>
#include <string>

namespace VireoTest {

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

} // namespace VireoTest
