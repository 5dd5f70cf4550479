#include "HostWindow.h"

#include "HostDocument.h"
#include "HostText.h"
#include "MessageBoxEcho.h"
#include "SimulatedUnit.h"
#include "UnitCalls.h"

#include <commdlg.h>

namespace VireoHost {
namespace {

const wchar_t WindowProperty[] = L"VireoHostWindow";
const wchar_t LoggedProperty[] = L"VireoHostLogged";
constexpr UINT FileOpen = 100;
constexpr UINT FileSave = 101;
constexpr UINT FileExit = 102;
constexpr UINT FirstCommandId = 1000;
constexpr int LogId = 50;

thread_local HostWindow* t_window = nullptr;

HostWindow* Of(HWND window)
{
    return static_cast<HostWindow*>(GetPropW(window, WindowProperty));
}

} // namespace

HostWindow::HostWindow(HWND window, DWORD messageBase, FileActions files)
    : window_(window), messageBase_(messageBase), files_(std::move(files))
{
    SetPropW(window_, WindowProperty, this);
    previous_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&HostWindow::Proc)));
    log_ = CreateWindowExW(WS_EX_CLIENTEDGE, L"Edit", L"",
                           WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL, 0, 0, 100,
                           100, window_, reinterpret_cast<HMENU>(static_cast<INT_PTR>(LogId)),
                           GetModuleHandleW(nullptr), nullptr);
    BuildMenu();
    RECT client{};
    GetClientRect(window_, &client);
    MoveWindow(log_, 0, 0, client.right, client.bottom, TRUE);
    t_window = this;
    hook_ = SetWindowsHookExW(WH_CBT, &HostWindow::OnCbt, nullptr, GetCurrentThreadId());
}

HostWindow::~HostWindow()
{
    if (hook_)
        UnhookWindowsHookEx(hook_);
    if (t_window == this)
        t_window = nullptr;
    if (IsWindow(window_)) {
        SetWindowLongPtrW(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous_));
        RemovePropW(window_, WindowProperty);
        HMENU menu = GetMenu(window_);
        SetMenu(window_, nullptr);
        if (menu)
            DestroyMenu(menu);
    }
}

void HostWindow::SetDocument(HostDocument* document, SimulatedUnit* unit)
{
    document_ = document;
    unit_ = unit;
}

void HostWindow::BuildMenu()
{
    HMENU bar = CreateMenu();
    HMENU file = CreatePopupMenu();
    AppendMenuW(file, MF_STRING, FileOpen, L"&Open...");
    AppendMenuW(file, MF_STRING, FileSave, L"Save &As...");
    AppendMenuW(file, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(file, MF_STRING, FileExit, L"E&xit");
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), L"&File");
    // One popup per menu the installed commands name, in the order they come.
    commands_ = InstalledCommands(messageBase_);
    std::vector<std::pair<std::wstring, HMENU>> popups;
    for (size_t i = 0; i < commands_.size(); ++i) {
        HMENU popup = nullptr;
        for (const auto& known : popups)
            if (known.first == commands_[i].menu)
                popup = known.second;
        if (!popup) {
            popup = CreatePopupMenu();
            popups.emplace_back(commands_[i].menu, popup);
            AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(popup), commands_[i].menu.c_str());
        }
        AppendMenuW(popup, MF_STRING, FirstCommandId + i, commands_[i].text.c_str());
    }
    SetMenu(window_, bar);
}

UINT HostWindow::MenuId(const std::wstring& menu, const std::wstring& text) const
{
    for (size_t i = 0; i < commands_.size(); ++i)
        if (commands_[i].menu == menu && commands_[i].text == text)
            return FirstCommandId + static_cast<UINT>(i);
    return 0;
}

void HostWindow::Log(const std::wstring& line)
{
    const int end = GetWindowTextLengthW(log_);
    SendMessageW(log_, EM_SETSEL, end, end);
    const std::wstring text = line + L"\r\n";
    SendMessageW(log_, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text.c_str()));
}

void HostWindow::LogUnitCalls()
{
    if (!unit_)
        return;
    for (const UnitCall& call : unit_->Calls())
        Log(FromUtf8(CallLine(call)));
    unit_->ClearCalls();
}

void HostWindow::RunUntilClosed()
{
    MSG message;
    while (!closed_ && GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

LRESULT CALLBACK HostWindow::Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    HostWindow* self = Of(window);
    if (!self)
        return DefWindowProcW(window, message, wParam, lParam);
    return self->Handle(message, wParam, lParam);
}

LRESULT HostWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_SIZE:
        MoveWindow(log_, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
        return 0;
    case WM_INITMENUPOPUP:
        UpdateItems(reinterpret_cast<HMENU>(wParam));
        return 0;
    case WM_COMMAND:
        OnCommand(LOWORD(wParam));
        return 0;
    case WM_CLOSE:
        // The session destroys the window; closing only ends the loop.
        closed_ = true;
        ShowWindow(window_, SW_HIDE);
        PostMessageW(window_, WM_NULL, 0, 0);
        return 0;
    default:
        return CallWindowProcW(previous_, window_, message, wParam, lParam);
    }
}

// Each item shows the state its document reports when the menu opens.
void HostWindow::UpdateItems(HMENU popup)
{
    IUnknown* document = document_ ? document_->ModuleDocument() : nullptr;
    for (size_t i = 0; i < commands_.size(); ++i) {
        bool enabled = true;
        bool checked = false;
        if (!CommandState(commands_[i].number, document, enabled, checked))
            continue;
        const UINT id = FirstCommandId + static_cast<UINT>(i);
        EnableMenuItem(popup, id, MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
        CheckMenuItem(popup, id, MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
    }
}

void HostWindow::OnCommand(UINT id)
{
    if (id == FileOpen || id == FileSave) {
        ChooseFile(id == FileSave);
    } else if (id == FileExit) {
        SendMessageW(window_, WM_CLOSE, 0, 0);
    } else if (id >= FirstCommandId && id < FirstCommandId + commands_.size()) {
        const MenuCommand& command = commands_[id - FirstCommandId];
        Log(L"Menu: " + command.menu + L" > " + command.text);
        ChooseCommand(command.number, document_ ? document_->ModuleDocument() : nullptr);
        LogUnitCalls();
    }
}

void HostWindow::ChooseFile(bool save)
{
    wchar_t path[MAX_PATH] = {};
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = window_;
    dialog.lpstrFilter = L"Kestrana documents (*.kdoc)\0*.kdoc\0All files\0*.*\0";
    dialog.lpstrFile = path;
    dialog.nMaxFile = MAX_PATH;
    dialog.lpstrDefExt = L"kdoc";
    dialog.Flags = save ? OFN_OVERWRITEPROMPT : OFN_FILEMUSTEXIST;
    if (!(save ? GetSaveFileNameW(&dialog) : GetOpenFileNameW(&dialog)))
        return;
    const auto& action = save ? files_.save : files_.open;
    if (action)
        Log(action(path));
    LogUnitCalls();
}

// The module's message boxes are logged; the person answers them.
LRESULT CALLBACK HostWindow::OnCbt(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_ACTIVATE && t_window) {
        HWND box = reinterpret_cast<HWND>(wParam);
        wchar_t name[16] = {};
        GetClassNameW(box, name, 16);
        HWND text = GetDlgItem(box, 0xFFFF);
        if (lstrcmpW(name, L"#32770") == 0 && text && !GetPropW(box, LoggedProperty)) {
            // Activated again after a nested box closes: logged once.
            SetPropW(box, LoggedProperty, box);
            wchar_t caption[256] = {};
            wchar_t words[1024] = {};
            GetWindowTextW(box, caption, 256);
            GetWindowTextW(text, words, 1024);
            t_window->Log(MessageBoxEcho::Line(caption, words));
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

} // namespace VireoHost
