#include "dialog/OutputTab.h"

namespace OnlineEvents {

const wchar_t OutputTab::Marker[] = L" \u2022";

namespace {
bool EndsWithMarker(const std::wstring& label)
{
    const size_t n = sizeof(OutputTab::Marker) / sizeof(wchar_t) - 1;
    return label.size() >= n && label.compare(label.size() - n, n, OutputTab::Marker) == 0;
}
} // namespace

std::wstring OutputTab::Marked(const std::wstring& label, bool on)
{
    const bool marked = EndsWithMarker(label);
    if (on && !marked)
        return label + Marker;
    if (!on && marked)
        return label.substr(0, label.size() - (sizeof(Marker) / sizeof(wchar_t) - 1));
    return label;
}

int OutputTab::Opening(int lastSelected, int outputCount)
{
    if (lastSelected < 0 || lastSelected > outputCount - 1)
        return 0;
    return lastSelected;
}

} // namespace OnlineEvents
