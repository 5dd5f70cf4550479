#include "ScriptRunner.h"

#include "DialogDump.h"
#include "DialogShot.h"

#include <commctrl.h>

#include <utility>

namespace VireoHost {
namespace {

constexpr UINT TickMilliseconds = 25;
// Control ids of the setup dialog's template.
enum DialogControl : int { OkId = 1, CancelId = 2, TabControlId = 201 };

// The runner whose timer is running on this thread.
thread_local ScriptRunner* t_runner = nullptr;

// The parent's answer; non-zero refuses a change it is asked about.
LRESULT Notify(HWND control, NMHDR& header, UINT code)
{
    header.hwndFrom = control;
    header.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(control));
    header.code = code;
    return SendMessageW(GetParent(control), WM_NOTIFY, header.idFrom, reinterpret_cast<LPARAM>(&header));
}

void Command(HWND control, WORD code)
{
    SendMessageW(GetParent(control), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(control), code),
                 reinterpret_cast<LPARAM>(control));
}

bool IsClassOf(HWND window, const wchar_t* name)
{
    wchar_t actual[64] = {};
    GetClassNameW(window, actual, 64);
    return lstrcmpiW(actual, name) == 0;
}

bool TimeHasCome(DWORD at)
{
    return static_cast<LONG>(GetTickCount() - at) >= 0;
}

} // namespace

ScriptRunner::ScriptRunner(HWND mainWindow, std::vector<ScriptAction> actions, std::wstring shotsDirectory,
                           Printer print)
    : main_(mainWindow), actions_(std::move(actions)), shots_(std::move(shotsDirectory)), print_(std::move(print))
{}

ScriptRunner::~ScriptRunner()
{
    Stop();
}

void ScriptRunner::Start()
{
    t_runner = this;
    timer_ = SetTimer(nullptr, 0, TickMilliseconds, &ScriptRunner::Tick);
}

void ScriptRunner::Stop()
{
    if (timer_)
        KillTimer(nullptr, timer_);
    timer_ = 0;
    if (t_runner == this)
        t_runner = nullptr;
}

void CALLBACK ScriptRunner::Tick(HWND, UINT, UINT_PTR, DWORD)
{
    if (t_runner)
        t_runner->Step();
}

void ScriptRunner::Step()
{
    // Actions open message boxes whose loops fire this timer again.
    if (busy_)
        return;
    HWND dialog = FindSetupDialog(main_);
    if (!dialog)
        return;
    busy_ = true;
    if (dialog != dialog_) {
        dialog_ = dialog;
        resumeAt_ = GetTickCount();
        // The user works in the dialog: it is the active window, whatever the display did.
        SetForegroundWindow(dialog);
        SetActiveWindow(dialog);
    }
    RunDue(dialog);
    busy_ = false;
}

void ScriptRunner::RunDue(HWND dialog)
{
    if (!TimeHasCome(resumeAt_))
        return;
    while (next_ < actions_.size()) {
        const ScriptAction& action = actions_[next_++];
        const DWORD wait = Perform(action, dialog);
        if (action.kind == ActionKind::Ok || action.kind == ActionKind::Cancel)
            return; // the next tick sees whether the dialog is still there
        if (wait) {
            resumeAt_ = GetTickCount() + wait;
            return;
        }
    }
    // A script that ends with the dialog still open ends it as a user would.
    Click(GetDlgItem(dialog, CancelId));
}

HWND ScriptRunner::Control(const ScriptAction& action, HWND dialog)
{
    HWND control = FindControl(dialog, action.pane, action.control);
    if (!control)
        print_(L"line " + std::to_wstring(action.line) + L": no control " + PaneName(action.pane) + L" " +
               std::to_wstring(action.control));
    return control;
}

DWORD ScriptRunner::Perform(const ScriptAction& action, HWND dialog)
{
    switch (action.kind) {
    case ActionKind::Tab:
        SelectTab(dialog, action.number);
        return 0;
    case ActionKind::Leave:
        SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(dialog, OkId)), TRUE);
        return 0;
    case ActionKind::Away:
        Away(dialog);
        return 0;
    case ActionKind::Wait:
        return static_cast<DWORD>(action.number);
    case ActionKind::Dump:
        Dump(dialog);
        return 0;
    case ActionKind::Shot:
        Shot(dialog, action.text);
        return 0;
    case ActionKind::Ok:
        Click(GetDlgItem(dialog, OkId));
        return 0;
    case ActionKind::Cancel:
        Click(GetDlgItem(dialog, CancelId));
        return 0;
    default:
        break;
    }
    HWND control = Control(action, dialog);
    if (!control)
        return 0;
    switch (action.kind) {
    case ActionKind::Click:
        Click(control);
        return 0;
    case ActionKind::Select:
        Select(control, action.number);
        return 0;
    case ActionKind::Type:
        Type(dialog, control, action.text);
        return 0;
    case ActionKind::Slide:
        Slide(control, action.number);
        return 0;
    case ActionKind::Spin:
        Spin(control, action.number);
        return 0;
    case ActionKind::Hover:
        Hover(control);
        return static_cast<DWORD>(action.number);
    default:
        return 0;
    }
}

// A click on a tab: the tab control asks before it changes and tells after.
void ScriptRunner::SelectTab(HWND dialog, int index)
{
    HWND tabs = GetDlgItem(dialog, TabControlId);
    if (!tabs || index >= SendMessageW(tabs, TCM_GETITEMCOUNT, 0, 0))
        return;
    NMHDR header{};
    if (Notify(tabs, header, TCN_SELCHANGING))
        return;
    SendMessageW(tabs, TCM_SETCURSEL, static_cast<WPARAM>(index), 0);
    Notify(tabs, header, TCN_SELCHANGE);
}

// A disabled control takes no click, as under the mouse.
void ScriptRunner::Click(HWND control)
{
    if (control && IsWindowEnabled(control) && IsWindowVisible(control))
        SendMessageW(control, BM_CLICK, 0, 0);
}

void ScriptRunner::Select(HWND control, int index)
{
    if (!IsWindowEnabled(control))
        return;
    const bool combo = IsClassOf(control, L"ComboBox");
    SendMessageW(control, combo ? CB_SETCURSEL : LB_SETCURSEL, static_cast<WPARAM>(index), 0);
    Command(control, combo ? CBN_SELCHANGE : LBN_SELCHANGE);
}

// The field gets the focus as by a click, its text is selected, and each character
// goes through the field's own filtering. Nothing to type clears the field.
void ScriptRunner::Type(HWND dialog, HWND control, const std::wstring& text)
{
    if (!IsWindowEnabled(control))
        return;
    SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE);
    SendMessageW(control, EM_SETSEL, 0, -1);
    if (text.empty())
        SendMessageW(control, WM_CHAR, VK_BACK, 1);
    for (wchar_t c : text)
        SendMessageW(control, WM_CHAR, c, 1);
}

// A drag of the thumb: the track bar reports tracking, the final position, the end.
void ScriptRunner::Slide(HWND control, int position)
{
    if (!IsWindowEnabled(control))
        return;
    const UINT message = (GetWindowLongW(control, GWL_STYLE) & TBS_VERT) ? WM_VSCROLL : WM_HSCROLL;
    SendMessageW(control, TBM_SETPOS, TRUE, position);
    const LPARAM from = reinterpret_cast<LPARAM>(control);
    const WORD reached = static_cast<WORD>(SendMessageW(control, TBM_GETPOS, 0, 0));
    HWND parent = GetParent(control);
    SendMessageW(parent, message, MAKEWPARAM(TB_THUMBTRACK, reached), from);
    SendMessageW(parent, message, MAKEWPARAM(TB_THUMBPOSITION, reached), from);
    SendMessageW(parent, message, MAKEWPARAM(TB_ENDTRACK, 0), from);
}

// Each click on an arrow: the parent may refuse the step, else the position moves
// within the range and the parent hears of it.
void ScriptRunner::Spin(HWND control, int delta)
{
    if (!IsWindowEnabled(control))
        return;
    const int step = delta < 0 ? -1 : 1;
    const UINT message = (GetWindowLongW(control, GWL_STYLE) & UDS_HORZ) ? WM_HSCROLL : WM_VSCROLL;
    for (int done = 0; done != delta; done += step) {
        int low = 0;
        int high = 0;
        SendMessageW(control, UDM_GETRANGE32, reinterpret_cast<WPARAM>(&low), reinterpret_cast<LPARAM>(&high));
        NMUPDOWN change{};
        change.iPos = static_cast<int>(SendMessageW(control, UDM_GETPOS32, 0, 0));
        change.iDelta = low <= high ? step : -step;
        if (Notify(control, change.hdr, UDN_DELTAPOS))
            continue;
        HWND parent = GetParent(control);
        const int lowest = low < high ? low : high;
        const int highest = low < high ? high : low;
        int position = change.iPos + change.iDelta;
        position = position < lowest ? lowest : position > highest ? highest : position;
        SendMessageW(control, UDM_SETPOS32, 0, position);
        SendMessageW(parent, message, MAKEWPARAM(SB_THUMBPOSITION, position), reinterpret_cast<LPARAM>(control));
    }
    SendMessageW(GetParent(control), message, MAKEWPARAM(SB_ENDSCROLL, 0), reinterpret_cast<LPARAM>(control));
}

void ScriptRunner::Hover(HWND control)
{
    RECT area{};
    GetClientRect(control, &area);
    POINT middle{area.right / 2, area.bottom / 2};
    POINT screen = middle;
    ClientToScreen(control, &screen);
    SetCursorPos(screen.x, screen.y);
    SendMessageW(control, WM_MOUSEMOVE, 0, MAKELPARAM(middle.x, middle.y));
    hovered_ = control;
}

void ScriptRunner::Away(HWND dialog)
{
    RECT frame{};
    GetWindowRect(dialog, &frame);
    SetCursorPos(frame.right + 40, frame.bottom + 40);
    if (hovered_ && IsWindow(hovered_))
        SendMessageW(hovered_, WM_MOUSELEAVE, 0, 0);
    SendMessageW(dialog, WM_MOUSEMOVE, 0, MAKELPARAM(1, 1));
    hovered_ = nullptr;
}

void ScriptRunner::Dump(HWND dialog)
{
    for (const std::wstring& line : DumpDialog(dialog))
        print_(line);
}

void ScriptRunner::Shot(HWND dialog, const std::wstring& name)
{
    if (shots_.empty())
        return;
    if (!HasDisplay()) {
        print_(L"shot " + name + L": no display");
        return;
    }
    // What the dialog shows after the last action is painted before the picture.
    RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_UPDATENOW | RDW_ALLCHILDREN);
    GdiFlush();
    const std::wstring path = shots_ + L"\\" + name + L".png";
    std::vector<HWND> overlays;
    if (HWND hint = FindHintWindow(dialog))
        overlays.push_back(hint);
    std::wstring error;
    if (!SaveWindowPicture(dialog, overlays, path, error))
        print_(L"shot " + name + L": " + error);
}

} // namespace VireoHost
