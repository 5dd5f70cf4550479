#include "ButtonDriver.h"

#include "resources/resource.h"

namespace VireoTest {

namespace {

LRESULT CALLBACK ParentProcedure(HWND window, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_COMMAND)
        ButtonTest::Commands().emplace_back(LOWORD(wParam), HIWORD(wParam));
    return DefWindowProcW(window, msg, wParam, lParam);
}

const wchar_t* ParentClass()
{
    static const wchar_t* name = [] {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = ParentProcedure;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"ButtonTestParent";
        RegisterClassW(&windowClass);
        return L"ButtonTestParent";
    }();
    return name;
}

BOOL CALLBACK CollectHint(HWND window, LPARAM found)
{
    wchar_t name[32] = {};
    GetClassNameW(window, name, 32);
    if (lstrcmpW(name, L"QLXPopup") == 0)
        reinterpret_cast<std::vector<HWND>*>(found)->push_back(window);
    return TRUE;
}

} // namespace

std::vector<std::pair<int, int>>& ButtonTest::Commands()
{
    static std::vector<std::pair<int, int>> commands;
    return commands;
}

void ButtonTest::SetUp()
{
    cursorLock_ = CreateMutexW(nullptr, FALSE, L"VireoControlsTestCursor");
    WaitForSingleObject(cursorLock_, 60000);
    Commands().clear();
    parentWindow_ = CreateWindowExW(0, ParentClass(), L"Parent", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 300, 200,
                                    nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    buttonWindow_ =
        CreateWindowExW(0, L"BUTTON", L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON | BS_BITMAP, 10, 10, 60,
                        24, parentWindow_, reinterpret_cast<HMENU>(IDC_HELP_BUTTON), GetModuleHandleW(nullptr), nullptr);
    parent_ = std::make_unique<TWindow>(parentWindow_);
    button_ = std::make_unique<QLXControls::TBmpTxtButton>(parent_.get(), nullptr, QLXString(L"Get dialog help"));
    button_->Create();
    SetCursorPos(140, 130);
}

void ButtonTest::TearDown()
{
    button_.reset();
    parent_.reset();
    DestroyWindow(parentWindow_);
    // Leave notices posted meanwhile die with their windows.
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageW(&msg);
    ReleaseMutex(cursorLock_);
    CloseHandle(cursorLock_);
}

void ButtonTest::Move(int x, int y)
{
    Send(WM_MOUSEMOVE, 0, MAKELPARAM(x, y));
}

void ButtonTest::Tick(int times)
{
    for (int i = 0; i < times; ++i)
        Send(WM_TIMER, 1, 0);
}

LRESULT ButtonTest::Send(UINT msg, WPARAM wParam, LPARAM lParam)
{
    return SendMessageW(buttonWindow_, msg, wParam, lParam);
}

UINT ButtonTest::State()
{
    return static_cast<UINT>(Send(BM_GETSTATE));
}

std::vector<HWND> ButtonTest::HintWindows()
{
    std::vector<HWND> found;
    EnumThreadWindows(GetCurrentThreadId(), CollectHint, reinterpret_cast<LPARAM>(&found));
    return found;
}

HWND ButtonTest::HintWindow()
{
    const std::vector<HWND> found = HintWindows();
    return found.size() == 1 ? found[0] : nullptr;
}

std::wstring ButtonTest::TextOf(HWND window)
{
    wchar_t text[256] = {};
    GetWindowTextW(window, text, 256);
    return text;
}

} // namespace VireoTest
