#pragma once
// The controls of one rule's level, kept in step: the edit in the input's units, the
// slider and up-down in whole percent, the title with the unit and the range's ends.

#include "dialog/InputRange.h"
#include "dialog/LevelEdit.h"
#include "dialog/LevelScale.h"
#include "dialog/LevelSlider.h"
#include "winlib/TControl.h"

namespace OnlineEvents {

class LevelControls {
public:
    explicit LevelControls(TWindow* pane);

    // The slider and up-down count whole percent whatever the input, so their scale is
    // set once, when the pane is set up; setting it again would repaint the slider.
    void SetPercentScale();

    // Title, end labels and the edit's check.
    void SetRange(const InputRange& range);
    // Shows a level in percent: the edit in units, slider and up-down in whole percent.
    void ShowLevel(double percent);
    // The edit's value in percent of the range, not clamped.
    double LevelPercent() const;

    // The user moved the slider.
    void SliderMoved();
    // The up-down asks to move by delta; always answered, so it never moves by itself.
    void UpDownDelta(int current, int delta);
    // The edit lost the focus: values beyond the range are brought back to its ends.
    void EditLeft();

    void Enable(bool enable);
    void Invalidate();

    LevelEdit& Edit() { return edit_; }

private:
    void ShowPosition(int position);
    LevelScale Scale() const;

    LevelEdit edit_;
    TUpDown upDown_;
    LevelSlider slider_;
    TStatic title_;
    TStatic low_;
    TStatic high_;
    int fullScale_ = 0;
};

} // namespace OnlineEvents
