#pragma once
// The labels and the remembered choice of the setup dialog's output tabs.

#include <string>

namespace OnlineEvents {

struct OutputTab {
    // Appended to the label of an output that is on.
    static const wchar_t Marker[];
    // The label with the marker added or removed; unchanged when it already fits.
    static std::wstring Marked(const std::wstring& label, bool on);
    // The tab to open on: the last one chosen, or 0 when there are fewer outputs now.
    static int Opening(int lastSelected, int outputCount);
};

} // namespace OnlineEvents
