#pragma once
// The full-scale range of one input as the recording unit describes it: the value of
// the child "PhysicalGainIndex" of its settings text, such as "10 V" or "200 mV".

#include "foundation/QLXString.h"

#include <string>

namespace OnlineEvents {

struct InputRange {
    std::wstring range; // "10", "200"
    std::wstring unit;  // "V", "mV"

    // Both texts stay empty when the text is not XML or has no such child.
    static InputRange FromSettingsText(const QLXString& settingsText);
    // Split at the first space; without one the whole value is both texts.
    static InputRange FromValue(const std::wstring& value);
};

} // namespace OnlineEvents
