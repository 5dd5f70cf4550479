#include "dialog/LevelScale.h"

#include <climits>
#include <cmath>
#include <cwchar>
#include <cwctype>

namespace OnlineEvents {

namespace {
constexpr size_t ReadLength = 29;
}

int LeadingInteger(const std::wstring& text)
{
    const std::wstring head = text.substr(0, ReadLength);
    size_t i = 0;
    while (i < head.size() && std::iswspace(head[i]))
        ++i;
    bool negative = false;
    if (i < head.size() && (head[i] == L'-' || head[i] == L'+'))
        negative = head[i++] == L'-';
    long long value = 0;
    for (; i < head.size() && head[i] >= L'0' && head[i] <= L'9'; ++i) {
        value = value * 10 + (head[i] - L'0');
        if (value > static_cast<long long>(INT_MAX) + 1)
            value = static_cast<long long>(INT_MAX) + 1; // keeps the product small
    }
    if (negative)
        value = -value;
    if (value > INT_MAX)
        return INT_MAX;
    if (value < INT_MIN)
        return INT_MIN;
    return static_cast<int>(value);
}

LevelScale LevelScale::FromRangeText(const std::wstring& rangeText)
{
    // A range is a magnitude; a text starting with a sign has no usable range.
    if (rangeText.empty() || rangeText[0] < L'0' || rangeText[0] > L'9')
        return LevelScale(0);
    return LevelScale(LeadingInteger(rangeText));
}

int LevelScale::Position(double percent)
{
    if (std::isnan(percent))
        return 0;
    if (percent >= Limit)
        return Limit;
    if (percent <= -Limit)
        return -Limit;
    return static_cast<int>(std::trunc(percent));
}

LevelScale::Clamped LevelScale::ClampTyped(double units) const
{
    const double percent = ToPercent(units);
    if (percent > Limit)
        return {true, Range(), static_cast<double>(Limit)};
    if (percent < -Limit)
        return {true, -Range(), static_cast<double>(-Limit)};
    return {false, units, percent};
}

bool LevelScale::Step(int current, int delta, int& next)
{
    long long moved = static_cast<long long>(current) + delta;
    if (delta > 0 && moved > Limit)
        moved = Limit;
    if (delta < 0 && moved < -Limit)
        moved = -Limit;
    if (moved < -Limit || moved > Limit)
        return false;
    next = static_cast<int>(moved);
    return true;
}

} // namespace OnlineEvents
