#pragma once
// How the rule area of the setup dialog changes when the visible rule panes grow or
// shrink by whole panes: the offset the lower part of the dialog moves by and which
// panes appear or disappear.

namespace OnlineEvents {

struct RuleArea {
    static constexpr int MaxPanes = 4;

    bool changes = false; // false: the request would leave 1 to 4 panes behind
    int offset = 0;       // pixels the dialog's bottom and everything below the rules move
    int first = 0;        // panes first..last (inclusive) are shown or hidden
    int last = -1;
    bool show = false;
    int visibleAfter = 0;

    // delta > 0 grows, delta < 0 shrinks; stepHeight is one rule pane in pixels.
    static RuleArea Plan(int visible, int delta, int stepHeight);
};

} // namespace OnlineEvents
