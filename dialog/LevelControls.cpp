#include "dialog/LevelControls.h"

#include "foundation/ModuleInstance.h"
#include "foundation/StringStreams.h"
#include "resources/resource.h"

#include <commctrl.h>

namespace OnlineEvents {

namespace {
constexpr int TickGap = 10;
constexpr int PageSize = 10;
} // namespace

LevelControls::LevelControls(TWindow* pane)
    : edit_(pane, IDC_LEVEL_EDIT), upDown_(pane, IDC_LEVEL_UPDOWN), slider_(pane, IDC_LEVEL_SLIDER),
      title_(pane, IDC_LEVEL_TITLE), low_(pane, IDC_LEVEL_LOW), high_(pane, IDC_LEVEL_HIGH)
{
}

LevelScale LevelControls::Scale() const { return LevelScale(fullScale_); }

void LevelControls::SetRange(const InputRange& range)
{
    QLX::OFormatStringStream title(LoadResourceString(QLX::GetModuleInstance(), IDS_LEVEL_TITLE));
    title << range.unit;
    title_.SetWindowTextIfChanged(title.TakeString().c_str());

    fullScale_ = LevelScale::FromRangeText(range.range).FullScale();
    edit_.SetSymmetricRange(Scale().Range());

    low_.SetWindowTextIfChanged(range.range.empty() ? std::wstring() : L"-" + range.range);
    high_.SetWindowTextIfChanged(range.range);
}

void LevelControls::SetPercentScale()
{
    upDown_.SetRange(-LevelScale::Limit, LevelScale::Limit);
    slider_.SetRange(-LevelScale::Limit, LevelScale::Limit, true);
    slider_.SetRuler(TickGap, false);
    slider_.SetPageSize(PageSize);
}

void LevelControls::ShowLevel(double percent)
{
    edit_.SetValue(Scale().ToUnits(percent));
    ShowPosition(LevelScale::Position(percent));
}

double LevelControls::LevelPercent() const { return Scale().ToPercent(edit_.GetValue()); }

void LevelControls::ShowPosition(int position)
{
    // Setting the slider's position repaints its thumb even when it stays.
    if (slider_.GetPosition() != position)
        slider_.SetPosition(position);
    if (upDown_.GetPos() != position)
        upDown_.SetPos(position);
}

void LevelControls::SliderMoved()
{
    const int position = slider_.GetPosition();
    edit_.SetValue(Scale().ToUnits(position));
    upDown_.SetPos(position);
}

void LevelControls::UpDownDelta(int current, int delta)
{
    int next = 0;
    if (!LevelScale::Step(current, delta, next))
        return;
    upDown_.SetPos(next);
    edit_.SetValue(Scale().ToUnits(next));
    slider_.SetPosition(next);
}

void LevelControls::EditLeft()
{
    const LevelScale::Clamped level = Scale().ClampTyped(edit_.GetValue());
    if (level.changed)
        edit_.SetValue(level.units);
    ShowPosition(LevelScale::Position(level.percent));
}

void LevelControls::Enable(bool enable)
{
    edit_.EnableWindow(enable);
    upDown_.EnableWindow(enable);
    slider_.EnableWindow(enable);
    title_.EnableWindow(enable);
    low_.EnableWindow(enable);
    high_.EnableWindow(enable);
}

void LevelControls::Invalidate()
{
    edit_.Invalidate();
    upDown_.Invalidate();
    slider_.Invalidate();
    title_.Invalidate();
    low_.Invalidate();
    high_.Invalidate();
}

} // namespace OnlineEvents
