#pragma once
// The level of a rule in the input's own units. It starts without a range check; the
// first range set gives it one, later ranges move its bounds.

#include "dialog/ValidatingEdit.h"

namespace OnlineEvents {

class LevelEdit : public DoubleEdit {
public:
    // Without a range check: DoubleEdit's constructor without bounds.
    LevelEdit(TWindow* parent, int resourceId) : DoubleEdit(parent, resourceId) {}

    // The check becomes -range to +range.
    void SetSymmetricRange(double range) { SetRange(-range, range); }
};

} // namespace OnlineEvents
