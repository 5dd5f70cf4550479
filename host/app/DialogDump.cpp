#include "DialogDump.h"

#include "hostapi/OnlineEvents.h"

#include <commctrl.h>

namespace VireoHost {
namespace {

using OnlineEventsContract::PaneProperty;
const Pane AllPanes[] = {Pane::OnOff, Pane::Rule0, Pane::Rule1, Pane::Rule2, Pane::Rule3, Pane::Settings};

std::wstring ClassOf(HWND window)
{
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return name;
}

bool IsDialogWindow(HWND window)
{
    return ClassOf(window) == L"#32770";
}

// A pane is told by its property; GetProp cannot tell the value 0 from none.
BOOL CALLBACK FindPaneProperty(HWND, LPWSTR name, HANDLE, ULONG_PTR found)
{
    if (!IS_INTRESOURCE(name) && lstrcmpW(name, PaneProperty) == 0) {
        *reinterpret_cast<bool*>(found) = true;
        return FALSE;
    }
    return TRUE;
}

int PaneValue(HWND window)
{
    bool found = false;
    EnumPropsExW(window, FindPaneProperty, reinterpret_cast<LPARAM>(&found));
    return found ? static_cast<int>(reinterpret_cast<INT_PTR>(GetPropW(window, PaneProperty))) : -1;
}

struct PaneSearch {
    int value;
    HWND found;
};

BOOL CALLBACK MatchPane(HWND window, LPARAM search)
{
    auto* wanted = reinterpret_cast<PaneSearch*>(search);
    if (PaneValue(window) == wanted->value) {
        wanted->found = window;
        return FALSE;
    }
    return TRUE;
}

struct DialogSearch {
    HWND owner;
    HWND found;
};

BOOL CALLBACK MatchDialog(HWND window, LPARAM search)
{
    auto* wanted = reinterpret_cast<DialogSearch*>(search);
    if (IsDialogWindow(window) && IsWindowVisible(window) && !GetDlgItem(window, 0xFFFF) &&
        (!wanted->owner || GetWindow(window, GW_OWNER) == wanted->owner)) {
        wanted->found = window;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK MatchHint(HWND window, LPARAM search)
{
    auto* wanted = reinterpret_cast<DialogSearch*>(search);
    const LONG style = GetWindowLongW(window, GWL_STYLE);
    if (window != wanted->owner && IsWindowVisible(window) && (style & WS_POPUP) && (style & WS_CAPTION) != WS_CAPTION &&
        !IsDialogWindow(window)) {
        wanted->found = window;
        return FALSE;
    }
    return TRUE;
}

std::wstring ListText(HWND control, bool combo)
{
    const LRESULT index = SendMessageW(control, combo ? CB_GETCURSEL : LB_GETCURSEL, 0, 0);
    if (index < 0)
        return std::wstring();
    const LRESULT length = SendMessageW(control, combo ? CB_GETLBTEXTLEN : LB_GETTEXTLEN, index, 0);
    if (length < 0)
        return std::wstring();
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    SendMessageW(control, combo ? CB_GETLBTEXT : LB_GETTEXT, index, reinterpret_cast<LPARAM>(&text[0]));
    text.resize(static_cast<size_t>(length));
    return text;
}

// The control's text and value as the dump shows them.
void TextAndValue(HWND control, const std::wstring& kind, std::wstring& text, std::wstring& value)
{
    const bool combo = ClassOf(control) == L"ComboBox";
    text = WindowTextOf(control);
    value = L"-";
    if (kind == L"check") {
        value = SendMessageW(control, BM_GETCHECK, 0, 0) == BST_CHECKED ? L"1" : L"0";
    } else if (kind == L"list") {
        text = ListText(control, combo);
        value = std::to_wstring(SendMessageW(control, combo ? CB_GETCURSEL : LB_GETCURSEL, 0, 0));
    } else if (kind == L"slider") {
        text.clear();
        value = std::to_wstring(SendMessageW(control, TBM_GETPOS, 0, 0));
    } else if (kind == L"updown") {
        text.clear();
        value = std::to_wstring(SendMessageW(control, UDM_GETPOS32, 0, 0));
    }
}

void DumpChildren(HWND parent, const wchar_t* paneName, std::vector<std::wstring>& lines)
{
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        if (PaneValue(child) >= 0)
            continue;
        const std::wstring kind = ControlKind(child);
        std::wstring text;
        std::wstring value;
        TextAndValue(child, kind, text, value);
        lines.push_back(std::wstring(paneName) + L" " + std::to_wstring(GetDlgCtrlID(child)) + L" " + kind +
                        (IsWindowEnabled(child) ? L" enabled" : L" disabled") +
                        (IsWindowVisible(child) ? L" shown" : L" hidden") + L" \"" + text + L"\" " + value);
    }
}

void DumpTabs(HWND dialog, std::vector<std::wstring>& lines)
{
    HWND tabs = GetDlgItem(dialog, OnlineEventsContract::OutputTabsId);
    if (!tabs)
        return;
    const LRESULT count = SendMessageW(tabs, TCM_GETITEMCOUNT, 0, 0);
    const LRESULT selected = SendMessageW(tabs, TCM_GETCURSEL, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        wchar_t label[130] = {};
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = label;
        item.cchTextMax = 129;
        SendMessageW(tabs, TCM_GETITEMW, i, reinterpret_cast<LPARAM>(&item));
        lines.push_back(L"tab " + std::to_wstring(i) + L": " + label + (i == selected ? L" (selected)" : L""));
    }
}

} // namespace

std::wstring WindowTextOf(HWND window)
{
    const int length = GetWindowTextLengthW(window);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const int read = GetWindowTextW(window, &text[0], length + 1);
    text.resize(static_cast<size_t>(read > 0 ? read : 0));
    return text;
}

HWND FindSetupDialog(HWND mainWindow)
{
    DialogSearch search{mainWindow, nullptr};
    EnumThreadWindows(GetCurrentThreadId(), MatchDialog, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND FindPane(HWND dialog, Pane pane)
{
    if (!dialog || pane == Pane::Dialog)
        return dialog;
    PaneSearch search{PanePropertyValue(pane), nullptr};
    EnumChildWindows(dialog, MatchPane, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND FindControl(HWND dialog, Pane pane, int id)
{
    HWND parent = FindPane(dialog, pane);
    return parent ? GetDlgItem(parent, id) : nullptr;
}

std::wstring ControlKind(HWND control)
{
    const std::wstring name = ClassOf(control);
    if (lstrcmpiW(name.c_str(), L"Button") == 0) {
        const LONG type = GetWindowLongW(control, GWL_STYLE) & BS_TYPEMASK;
        const bool check = type == BS_CHECKBOX || type == BS_AUTOCHECKBOX || type == BS_3STATE ||
                           type == BS_AUTO3STATE || type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON;
        return check ? L"check" : L"button";
    }
    if (lstrcmpiW(name.c_str(), L"ComboBox") == 0 || lstrcmpiW(name.c_str(), L"ListBox") == 0)
        return L"list";
    if (lstrcmpiW(name.c_str(), L"Edit") == 0)
        return L"edit";
    if (lstrcmpiW(name.c_str(), TRACKBAR_CLASSW) == 0)
        return L"slider";
    if (lstrcmpiW(name.c_str(), UPDOWN_CLASSW) == 0)
        return L"updown";
    if (lstrcmpiW(name.c_str(), WC_TABCONTROLW) == 0)
        return L"tab";
    // Drawn controls of their own class: those that are clicked are buttons.
    return name.find(L"Button") != std::wstring::npos ? L"button" : L"static";
}

HWND FindHintWindow(HWND dialog)
{
    DialogSearch search{dialog, nullptr};
    EnumThreadWindows(GetCurrentThreadId(), MatchHint, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// "PANE ID" of the control with the focus, "dialog 0" for the dialog itself, else "none".
std::wstring FocusName(HWND dialog)
{
    const HWND focus = GetFocus();
    if (focus == dialog)
        return L"dialog 0";
    if (!focus || !IsChild(dialog, focus))
        return L"none";
    const HWND parent = GetParent(focus);
    const std::wstring id = std::to_wstring(GetDlgCtrlID(focus));
    if (parent == dialog)
        return std::wstring(PaneName(Pane::Dialog)) + L" " + id;
    for (Pane pane : AllPanes)
        if (FindPane(dialog, pane) == parent)
            return std::wstring(PaneName(pane)) + L" " + id;
    return L"none";
}

std::vector<std::wstring> DumpDialog(HWND dialog)
{
    std::vector<std::wstring> lines;
    RECT frame{};
    GetWindowRect(dialog, &frame);
    lines.push_back(L"caption: " + WindowTextOf(dialog));
    lines.push_back(L"size: " + std::to_wstring(frame.right - frame.left) + L" " +
                    std::to_wstring(frame.bottom - frame.top));
    DumpTabs(dialog, lines);
    DumpChildren(dialog, PaneName(Pane::Dialog), lines);
    for (Pane pane : AllPanes)
        if (HWND window = FindPane(dialog, pane))
            DumpChildren(window, PaneName(pane), lines);
    HWND hint = FindHintWindow(dialog);
    if (hint) {
        RECT place{};
        GetWindowRect(hint, &place);
        lines.push_back(L"hint: \"" + WindowTextOf(hint) + L"\" " + std::to_wstring(place.left) + L" " +
                        std::to_wstring(place.top));
    } else {
        lines.push_back(L"hint: none");
    }
    lines.push_back(L"focus: " + FocusName(dialog));
    return lines;
}

} // namespace VireoHost
