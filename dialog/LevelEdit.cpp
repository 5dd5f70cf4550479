#include "dialog/LevelEdit.h"

#include <cfloat>

namespace OnlineEvents {

double LevelEdit::Range() const
{
    const FltRangeValidator* check = GetRangeValidator();
    return check ? check->GetMax() : DBL_MAX;
}

} // namespace OnlineEvents
