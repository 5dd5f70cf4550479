#pragma once
// The setup dialog of the online event detector: one tab per output of the recording
// unit; on the page of the selected output the on/off pane, one to four rule panes and
// the output settings pane. It edits a working copy of the configuration; the caller
// takes the copy after OK.

#include "controls/BmpTxtButton.h"
#include "dialog/DetectorDocument.h"
#include "dialog/DialogBase.h"
#include "dialog/InputRange.h"
#include "dialog/OnOffPane.h"
#include "dialog/RulePane.h"
#include "dialog/SettingsPane.h"
#include "dialog/ThemeBackground.h"
#include "eventconfig/EventConfig.h"
#include "hostapi/HostInterfaces.h"
#include "winlib/TControl.h"

#include <array>
#include <memory>

namespace OnlineEvents {

class DetectorDialog : public QLX::DialogBase {
public:
    static constexpr int RulePaneCount = 4;

    DetectorDialog(HWND parent, TModule* module, const OutputLimits& limits, const EventConfig& config,
                   DetectorDocument* document);
    ~DetectorDialog() override;

    // Modal: 1 OK, 2 Cancel.
    int Execute() override;
    // The working copy: records and the three counts.
    EventConfig& Configuration() { return config_; }

    // For the panes.
    int CurrentOutput() const { return current_; }
    int VisibleRuleCount() const { return visibleRules_; }
    InputRange GetInputRange(int input);
    void MarkOutputTab(int output, bool on);
    void UpdateRuleButtons();
    void LoadOutputPage();
    void SaveOutputPage();
    void LoadRules();
    void SaveRules();
    // Checks the page on show as OK does, the level edits first clamped as on leaving
    // them when asked: false after the first refusal, which was reported and took the focus.
    bool CheckPage(bool clampLevels);
    bool CheckRules(bool clampLevels);
    void ResizeRuleArea(int delta);
    // The rule of the current output that a pane edits; an output without rules gets
    // its first one now, since the user changed the rule on show.
    OnlineEventRule& RuleForEdit(int rule);
    void InsertRuleAfter(int rule);
    void DeleteRule(int rule);
    void OutputSwitched(bool on);
    void EnableRules(bool on);
    void SetRuleWording(bool fixedWidth);
    bool IsThemed() const { return themed_; }
    // Themed painting of a pane: false (or null) when the pane's default is to run.
    bool ErasePane(HWND pane, HDC dc) const;
    HBRUSH PaneStaticColour(HDC dc, HWND control) const;

    // The tab each dialog of this process opens on; every tab change stores it.
    static int LastSelectedTab();
    static void SetLastSelectedTab(int tab);

protected:
    void SetupWindow() override;
    void CleanupWindow() override;

private:
    void CmOk();
    void CmHelp();
    LRESULT EvTabChanging(NMHDR&);
    void EvTabChanged();
    // After rules came or went: a focus left on a hidden pane or a disabled button goes
    // to the rule pane's buttons, else to the next control.
    void KeepFocusUsable(int pane, bool preferMinus);
    LRESULT EvSysColorChange(WPARAM wParam, LPARAM lParam);

    // While one lasts, the shown dialog paints nothing; the last one ends with one
    // invalidation of the whole dialog.
    class RedrawHold;

    void AddTabs();
    void PlacePanes();
    void PlacePane(TWindow& pane, int placeholder, int shift, int property);
    void StackPanes();
    void ShowNoOutputs();
    int RulePaneHeight() const;
    void MoveDown(TWindow& window, int offset);
    bool HasPage() const;

    TTabControl tabs_;
    OnOffPane onOff_;
    std::array<std::unique_ptr<RulePane>, RulePaneCount> rules_;
    SettingsPane settings_;
    TButton ok_;
    TButton cancel_;
    QLXControls::TBmpTxtButton help_;
    int current_ = 0;
    int visibleRules_ = 1;
    // Whether the rules are enabled; a hidden rule pane takes it on when shown.
    bool rulesOn_ = true;
    int redrawHolds_ = 0;
    const OutputLimits& limits_;
    EventConfig config_;
    ThemeBackground background_;
    bool themed_ = false;
    DetectorDocument* document_;

    DECLARE_RESPONSE_TABLE(DetectorDialog)
};

} // namespace OnlineEvents
