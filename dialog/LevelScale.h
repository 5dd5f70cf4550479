#pragma once
// The arithmetic between a rule's level, kept in percent of the input's full-scale
// range, and what the level controls show: the edit in the input's units, the slider
// and up-down in whole percent.

#include <string>

namespace OnlineEvents {

class LevelScale {
public:
    static constexpr int Limit = 100; // slider and up-down run from -Limit to Limit

    explicit LevelScale(int fullScale = 0) : fullScale_(fullScale > 0 ? fullScale : 0) {}
    // The integer at the start of a range text such as "10" or "200"; 0 without digits.
    static LevelScale FromRangeText(const std::wstring& rangeText);

    int FullScale() const { return fullScale_; }
    // The level edit's bound. An input without a readable range is edited in percent,
    // so nothing divides by zero and showing a rule never changes its level.
    double Range() const { return fullScale_ > 0 ? fullScale_ : Limit; }

    double ToUnits(double percent) const { return percent * Range() / Limit; }
    double ToPercent(double units) const { return units / Range() * Limit; }
    // Whole percent for the slider and up-down: truncated toward zero, held in range.
    static int Position(double percent);

    // A typed value once the field is left: beyond the range it is replaced by the
    // range's end; the percentage is held at +-Limit.
    struct Clamped {
        bool changed;
        double units;
        double percent;
    };
    Clamped ClampTyped(double units) const;

    // The up-down's answer to a step request; false when it stays where it is.
    static bool Step(int current, int delta, int& next);

private:
    int fullScale_;
};

// The integer at the start of a field's text, as the dialog stores counts: only the
// first 29 characters are read, leading blanks and a sign are allowed, no digits give 0
// and values beyond the 32-bit range are held at its ends.
int LeadingInteger(const std::wstring& text);

} // namespace OnlineEvents
