// Growing and shrinking the setup dialog's rule area by whole panes.

#include "dialog/RuleArea.h"

#include <gtest/gtest.h>

using OnlineEvents::RuleArea;

TEST(RuleArea, GrowsAndShrinksByWholePanesWithinOneToFour)
{
    const struct {
        int visible, delta;
        bool changes;
        int offset, first, last;
        bool show;
        int after;
    } cases[] = {
        {1, 3, true, 300, 1, 3, true, 4},   {4, -3, true, -300, 1, 3, false, 1},
        {2, 1, true, 100, 2, 2, true, 3},   {3, -1, true, -100, 2, 2, false, 2},
        {1, -1, false, 0, 0, -1, false, 1}, {4, 1, false, 0, 0, -1, false, 4},
        {2, 0, false, 0, 0, -1, false, 2},
    };
    for (const auto& c : cases) {
        const RuleArea plan = RuleArea::Plan(c.visible, c.delta, 100);
        EXPECT_EQ(c.changes, plan.changes) << c.visible << " " << c.delta;
        EXPECT_EQ(c.offset, plan.offset) << c.visible << " " << c.delta;
        EXPECT_EQ(c.first, plan.first) << c.visible << " " << c.delta;
        EXPECT_EQ(c.last, plan.last) << c.visible << " " << c.delta;
        EXPECT_EQ(c.show, plan.show) << c.visible << " " << c.delta;
        EXPECT_EQ(c.after, plan.visibleAfter) << c.visible << " " << c.delta;
    }
}
