#include "dialog/LevelEdit.h"

#include <cfloat>

namespace OnlineEvents {

LevelEdit::LevelEdit(TWindow* parent, int resourceId) : DoubleEdit(parent, resourceId) {}

void LevelEdit::SetRange(double range)
{
    if (auto* check = dynamic_cast<FltRangeValidator*>(GetValidator()))
        check->SetBounds(-range, range);
    else
        SetValidator(new FltRangeValidator(range, -range));
}

double LevelEdit::Range() const
{
    auto* check = dynamic_cast<FltRangeValidator*>(GetValidator());
    return check ? check->Upper() : DBL_MAX;
}

} // namespace OnlineEvents
