#include "ScriptRunner.h"

#include "DialogDump.h"
#include "DialogShot.h"
#include "hostapi/OnlineEvents.h"

#include <commctrl.h>

#include <cwctype>
#include <utility>

namespace VireoHost {
namespace {

constexpr UINT TickMilliseconds = 25;
// Control ids of the setup dialog's template.
enum DialogControl : int { OkId = 1, CancelId = 2, TabControlId = OnlineEventsContract::OutputTabsId };
// Posted to the runner's pump window behind each burst of input.
constexpr UINT GoOn = WM_APP + 1;
// How often the note goes back behind messages that are still queued.
constexpr WPARAM MaxRequeues = 200;
constexpr wchar_t PumpClass[] = L"VireoHostScriptPump";

// The runner whose timer is running on this thread.
thread_local ScriptRunner* t_runner = nullptr;

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

MSG Message(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    MSG msg{};
    msg.hwnd = window;
    msg.message = message;
    msg.wParam = wParam;
    msg.lParam = lParam;
    return msg;
}

POINT Centre(const RECT& rect)
{
    return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

LPARAM KeyData(UINT virtualKey, bool up)
{
    const LPARAM scan = static_cast<LPARAM>(MapVirtualKeyW(virtualKey, MAPVK_VK_TO_VSC)) << 16;
    return 1 | scan | (up ? (LPARAM(1) << 30) | (LPARAM(1) << 31) : 0);
}

// The window of the dialog with the keyboard focus, or null when the focus is elsewhere.
HWND FocusIn(HWND dialog)
{
    const HWND focus = GetFocus();
    return focus && (focus == dialog || IsChild(dialog, focus)) ? focus : nullptr;
}

// A disabled or hidden control takes no click, as under the mouse.
bool TakesInput(HWND control)
{
    return control && IsWindowEnabled(control) && IsWindowVisible(control);
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
    WNDCLASSW pumpClass{};
    pumpClass.lpfnWndProc = &ScriptRunner::PumpProcedure;
    pumpClass.hInstance = GetModuleHandleW(nullptr);
    pumpClass.lpszClassName = PumpClass;
    RegisterClassW(&pumpClass); // fails harmlessly when a runner registered it before
    pump_ = CreateWindowExW(0, PumpClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, GetModuleHandleW(nullptr),
                            nullptr);
    timer_ = SetTimer(nullptr, 0, TickMilliseconds, &ScriptRunner::Tick);
}

void ScriptRunner::Stop()
{
    if (timer_)
        KillTimer(nullptr, timer_);
    timer_ = 0;
    if (pump_)
        DestroyWindow(pump_);
    pump_ = nullptr;
    HoldShift(false);
    if (t_runner == this)
        t_runner = nullptr;
}

void CALLBACK ScriptRunner::Tick(HWND, UINT, UINT_PTR, DWORD)
{
    if (t_runner)
        t_runner->Step();
}

// The note comes back only once the queue holds nothing posted before it.
LRESULT CALLBACK ScriptRunner::PumpProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message != GoOn)
        return DefWindowProcW(window, message, wParam, lParam);
    if ((HIWORD(GetQueueStatus(QS_POSTMESSAGE)) & QS_POSTMESSAGE) && wParam < MaxRequeues)
        PostMessageW(window, GoOn, wParam + 1, 0);
    else if (t_runner)
        t_runner->Step();
    return 0;
}

void ScriptRunner::Step()
{
    // Actions open message boxes whose loops fire this timer again.
    if (busy_)
        return;
    HWND dialog = FindSetupDialog(main_);
    // A message box of the dialog is up: the user answers it first.
    if (!dialog || !IsWindowEnabled(dialog))
        return;
    busy_ = true;
    HoldShift(false);
    if (dialog != dialog_) {
        dialog_ = dialog;
        input_.clear(); // what was on its way went to the dialog before
        resumeAt_ = GetTickCount();
    }
    // The user works in the dialog: it is the active window (with its focus back), whatever
    // the display or another program did.
    if (GetActiveWindow() != dialog) {
        SetForegroundWindow(dialog);
        SetActiveWindow(dialog);
    }
    if (!input_.empty())
        PostNextBurst();
    else
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
        if (!input_.empty()) {
            PostNextBurst();
            return;
        }
        if (wait) {
            resumeAt_ = GetTickCount() + wait;
            return;
        }
    }
    // A script that ends with the dialog still open ends it as a user would.
    if (QueueClick(GetDlgItem(dialog, CancelId)))
        PostNextBurst();
}

void ScriptRunner::PostNextBurst()
{
    Burst burst = std::move(input_.front());
    input_.pop_front();
    if (burst.prepare)
        burst.prepare(burst.messages);
    HoldShift(burst.shift);
    for (const MSG& msg : burst.messages)
        PostMessageW(msg.hwnd, msg.message, msg.wParam, msg.lParam);
    PostMessageW(pump_, GoOn, 0, 0);
}

// Posted keys leave the keyboard state alone; the dialog manager reads it for Shift+Tab.
void ScriptRunner::HoldShift(bool down)
{
    if (shiftHeld_ == down)
        return;
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    keys[VK_SHIFT] = keys[VK_LSHIFT] = down ? 0x80 : 0;
    SetKeyboardState(keys);
    shiftHeld_ = down;
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
    case ActionKind::Key:
        PressKey(dialog, action.key);
        return 0;
    case ActionKind::Keys:
        TypeKeys(dialog, action.text);
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
        QueueClick(GetDlgItem(dialog, OkId));
        return 0;
    case ActionKind::Cancel:
        QueueClick(GetDlgItem(dialog, CancelId));
        return 0;
    default:
        break;
    }
    HWND control = Control(action, dialog);
    if (!control)
        return 0;
    switch (action.kind) {
    case ActionKind::Click:
        QueueClick(control);
        return 0;
    case ActionKind::Select:
        Select(control, action.number);
        return 0;
    case ActionKind::Type:
        Type(control, action.text);
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

void ScriptRunner::Queue(HWND window, UINT message, WPARAM wParam, LPARAM lParam, bool shift)
{
    Burst burst;
    burst.messages.push_back(Message(window, message, wParam, lParam));
    burst.shift = shift;
    input_.push_back(std::move(burst));
}

void ScriptRunner::QueuePrepared(std::function<void(std::vector<MSG>&)> prepare)
{
    Burst burst;
    burst.prepare = std::move(prepare);
    input_.push_back(std::move(burst));
}

// Press and release are taken one after the other, as by a hand: what the press set
// off (a field that refuses to be left) runs before the release.
void ScriptRunner::QueueClickAt(HWND window, POINT point)
{
    const LPARAM at = MAKELPARAM(point.x, point.y);
    Queue(window, WM_LBUTTONDOWN, MK_LBUTTON, at);
    Queue(window, WM_LBUTTONUP, 0, at);
}

bool ScriptRunner::QueueClick(HWND control)
{
    if (!TakesInput(control))
        return false;
    RECT area{};
    GetClientRect(control, &area);
    QueueClickAt(control, Centre(area));
    return true;
}

// A click on the tab's label: the tab control takes the focus, asks its parent before
// it changes and tells after.
void ScriptRunner::SelectTab(HWND dialog, int index)
{
    HWND tabs = GetDlgItem(dialog, TabControlId);
    RECT item{};
    if (!TakesInput(tabs) || !SendMessageW(tabs, TCM_GETITEMRECT, static_cast<WPARAM>(index),
                                           reinterpret_cast<LPARAM>(&item)))
        return;
    QueueClickAt(tabs, Centre(item));
}

// A click drops the list, a click on the entry picks it and closes the list.
void ScriptRunner::Select(HWND control, int index)
{
    if (!IsClassOf(control, L"ComboBox") || !QueueClick(control))
        return;
    auto pick = [control, index](bool down) {
        return [control, index, down](std::vector<MSG>& messages) {
            COMBOBOXINFO info{};
            info.cbSize = sizeof(info);
            RECT item{};
            if (!GetComboBoxInfo(control, &info) || !info.hwndList || !IsWindowVisible(info.hwndList) ||
                SendMessageW(info.hwndList, LB_GETITEMRECT, static_cast<WPARAM>(index),
                             reinterpret_cast<LPARAM>(&item)) == LB_ERR)
                return;
            const POINT at = Centre(item);
            messages.push_back(Message(info.hwndList, down ? WM_LBUTTONDOWN : WM_LBUTTONUP, down ? MK_LBUTTON : 0,
                                       MAKELPARAM(at.x, at.y)));
        };
    };
    QueuePrepared(pick(true));
    QueuePrepared(pick(false));
    // An entry that does not exist leaves the list dropped: a click elsewhere closes it.
    QueuePrepared([control](std::vector<MSG>& messages) {
        if (SendMessageW(control, CB_GETDROPPEDSTATE, 0, 0))
            messages.push_back(Message(control, WM_LBUTTONDOWN, MK_LBUTTON, 0));
    });
}

// The field gets the focus by a click, its text is selected, and each character goes
// through the field's own filtering. Nothing to type clears the field.
void ScriptRunner::Type(HWND control, const std::wstring& text)
{
    if (!QueueClick(control))
        return;
    QueuePrepared([control, text](std::vector<MSG>& messages) {
        if (GetFocus() != control)
            return; // the click was refused: the keys would go elsewhere
        SendMessageW(control, EM_SETSEL, 0, -1);
        if (text.empty())
            messages.push_back(Message(control, WM_CHAR, VK_BACK, 1));
        for (wchar_t c : text)
            messages.push_back(Message(control, WM_CHAR, c, 1));
    });
}

// Characters go to whichever window has the focus, as from the keyboard.
void ScriptRunner::TypeKeys(HWND dialog, const std::wstring& text)
{
    QueuePrepared([dialog, text](std::vector<MSG>& messages) {
        const HWND focus = FocusIn(dialog);
        if (!focus)
            return;
        for (wchar_t c : text)
            messages.push_back(Message(focus, WM_CHAR, c, 1));
    });
}

// A click on the thumb takes the focus; the arrow keys then move it a step at a time,
// so every position of the range can be reached.
void ScriptRunner::Slide(HWND control, int position)
{
    if (!TakesInput(control))
        return;
    RECT thumb{};
    SendMessageW(control, TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&thumb));
    QueueClickAt(control, Centre(thumb));
    QueuePrepared([control, position](std::vector<MSG>& messages) {
        if (GetFocus() != control)
            return;
        const int from = static_cast<int>(SendMessageW(control, TBM_GETPOS, 0, 0));
        const int low = static_cast<int>(SendMessageW(control, TBM_GETRANGEMIN, 0, 0));
        const int high = static_cast<int>(SendMessageW(control, TBM_GETRANGEMAX, 0, 0));
        const int to = position < low ? low : position > high ? high : position;
        const UINT key = to < from ? VK_LEFT : VK_RIGHT;
        for (int step = from; step != to; step += to < from ? -1 : 1)
            messages.push_back(Message(control, WM_KEYDOWN, key, KeyData(key, false)));
        if (to != from)
            messages.push_back(Message(control, WM_KEYUP, key, KeyData(key, true)));
    });
}

// Each click on an arrow: the up arrow is the upper half of the control. The focus
// goes to the buddy field.
void ScriptRunner::Spin(HWND control, int delta)
{
    if (!TakesInput(control))
        return;
    RECT area{};
    GetClientRect(control, &area);
    const bool horizontal = (GetWindowLongW(control, GWL_STYLE) & UDS_HORZ) != 0;
    RECT half = area;
    if (horizontal)
        (delta > 0 ? half.left : half.right) = (area.left + area.right) / 2;
    else
        (delta > 0 ? half.bottom : half.top) = (area.top + area.bottom) / 2;
    for (int done = 0; done != delta; done += delta < 0 ? -1 : 1)
        QueueClickAt(control, Centre(half));
}

void ScriptRunner::PressKey(HWND dialog, const KeyStroke& key)
{
    HWND focus = FocusIn(dialog);
    if (!focus)
        focus = dialog;
    if (key.alt) {
        // The dialog manager finds mnemonics from the character; the letter's own key
        // presses would only start the window menu.
        const WPARAM letter = static_cast<WPARAM>(std::towlower(static_cast<wint_t>(key.virtualKey)));
        Queue(focus, WM_SYSCHAR, letter, KeyData(key.virtualKey, false) | (1 << 29));
        return;
    }
    Queue(focus, WM_KEYDOWN, key.virtualKey, KeyData(key.virtualKey, false), key.shift);
    // The release goes to whichever window has the focus by then.
    QueuePrepared([dialog, key](std::vector<MSG>& messages) {
        if (const HWND now = FocusIn(dialog))
            messages.push_back(Message(now, WM_KEYUP, key.virtualKey, KeyData(key.virtualKey, true)));
    });
    input_.back().shift = key.shift;
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
