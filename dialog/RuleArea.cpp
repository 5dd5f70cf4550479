#include "dialog/RuleArea.h"

namespace OnlineEvents {

RuleArea RuleArea::Plan(int visible, int delta, int stepHeight)
{
    RuleArea plan;
    plan.visibleAfter = visible;
    const int after = visible + delta;
    if (delta == 0 || after < 1 || after > MaxPanes)
        return plan;
    plan.changes = true;
    plan.offset = delta * stepHeight;
    plan.show = delta > 0;
    plan.first = delta > 0 ? visible : after;
    plan.last = delta > 0 ? after - 1 : visible - 1;
    plan.visibleAfter = after;
    return plan;
}

} // namespace OnlineEvents
