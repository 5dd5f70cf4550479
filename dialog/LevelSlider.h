#pragma once
// The level of a rule in whole percent of the input's full-scale range.

#include "winlib/TControl.h"

namespace OnlineEvents {

class LevelSlider : public TSlider {
public:
    LevelSlider(TWindow* parent, int resourceId) : TSlider(parent, resourceId) {}
};

} // namespace OnlineEvents
