#include "winlib/TWindow.h"

#include "foundation/QLXString.h"
#include "foundation/StartupLog.h"

#include <algorithm>
#include <cwchar>
#include <mutex>
#include <unordered_map>

namespace {

// Leads from a handle to its object. Every message to one of our windows looks its
// object up, so this is a table in the process rather than a window property: reading
// a property is a round trip to the window server.
class ObjectTable {
public:
    void Add(HWND handle, TWindow* object)
    {
        std::lock_guard<std::mutex> lock(mutex_);
        objects_[handle] = object;
    }
    void Remove(HWND handle)
    {
        std::lock_guard<std::mutex> lock(mutex_);
        objects_.erase(handle);
    }
    TWindow* Find(HWND handle)
    {
        std::lock_guard<std::mutex> lock(mutex_);
        const auto found = objects_.find(handle);
        return found == objects_.end() ? nullptr : found->second;
    }

private:
    std::mutex mutex_;
    std::unordered_map<HWND, TWindow*> objects_;
};

ObjectTable& Objects()
{
    static ObjectTable* const table = new ObjectTable; // outlives every window, even at exit
    return *table;
}

// The object whose own-class window is being created on this thread: the window
// procedure adopts it at the window's first message.
thread_local TWindow* t_creating = nullptr;

} // namespace

namespace TWindowLog {

void HandlerFailure(UINT msg, const char* what)
{
    // Called from inside a catch in the window procedure: nothing may escape from here.
    wchar_t place[32];
    if (msg)
        wsprintfW(place, L"message 0x%04X", msg);
    else
        wsprintfW(place, L"setup");
    try {
        const QLXString text = QLXString::FromNarrow(what ? what : "", 1);
        QLX::WriteStartupLog(L"TWindow", (std::wstring(place) + L": " + text.c_str()).c_str());
    } catch (...) {
        QLX::WriteStartupLog(L"TWindow", place);
    }
}

} // namespace TWindowLog

TWindow::TWindow(TWindow* parent, const wchar_t* title, TModule* module)
    : parent_(parent), module_(module   ? module
                               : parent ? parent->module_
                                        : &TModule::Default())
{
    if (title) {
        title_ = title;
        hasTitle_ = true;
    }
    if (parent_)
        parent_->children_.push_back(this);
}

TWindow::TWindow(HWND parent, const wchar_t* title, TModule* module)
    : TWindow(static_cast<TWindow*>(nullptr), title, module)
{
    foreignParent_ = parent;
}

TWindow::TWindow(TWindow* parent, int resourceId, TModule* module)
    : TWindow(parent, static_cast<const wchar_t*>(nullptr), module)
{
    resourceId_ = resourceId;
    id_ = resourceId;
}

TWindow::TWindow(HWND handle, TModule* module) : module_(module ? module : &TModule::Default())
{
    if (handle) {
        Attach(handle, false);
        id_ = GetDlgCtrlID(handle);
    }
}

TWindow::~TWindow()
{
    for (TWindow* child : children_)
        child->parent_ = nullptr;
    if (parent_) {
        auto& siblings = parent_->children_;
        siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
    }
    if (handle_) {
        const HWND handle = handle_;
        const bool owned = owned_;
        Detach();
        if (owned)
            DestroyWindow(handle);
    }
}

TWindow* TWindow::FromHandle(HWND handle)
{
    return handle ? Objects().Find(handle) : nullptr;
}

HWND TWindow::GetParentHandle() const
{
    return parent_ ? parent_->handle_ : foreignParent_;
}

const TResponseTable& TWindow::ResponseTable()
{
    using Self = TWindow;
    static const TResponseTable table(nullptr, {EV_MESSAGE(WM_HSCROLL, EvHScroll), EV_MESSAGE(WM_VSCROLL, EvVScroll)});
    return table;
}

LRESULT TWindow::EvHScroll(WPARAM wParam, LPARAM lParam)
{
    if (TWindow* child = FromHandle(reinterpret_cast<HWND>(lParam)))
        child->ChildScrolled(LOWORD(wParam));
    return DefaultProcessing(WM_HSCROLL, wParam, lParam);
}

LRESULT TWindow::EvVScroll(WPARAM wParam, LPARAM lParam)
{
    if (TWindow* child = FromHandle(reinterpret_cast<HWND>(lParam)))
        child->ChildScrolled(LOWORD(wParam));
    return DefaultProcessing(WM_VSCROLL, wParam, lParam);
}

const TResponseTable& TWindow::GetResponseTable() const
{
    return ResponseTable();
}

void TWindow::AddCreationStyle(DWORD style)
{
    addedStyle_ |= style;
    attr_.style |= style;
    if (handle_)
        ModifyStyle(0, style);
}

// ---- creation, binding, setup -------------------------------------------------------

void TWindow::Create()
{
    if (handle_)
        return;
    BindOrCreate();
    PerformSetup();
}

void TWindow::BindOrCreate()
{
    const HWND parent = GetParentHandle();
    if (resourceId_) {
        const HWND item = parent ? ::GetDlgItem(parent, resourceId_) : nullptr;
        if (!item)
            throw TXWindow("no template item " + std::to_string(resourceId_));
        Attach(item, false);
        return;
    }
    RegisterWindowClass();
    TWindow* const outer = t_creating;
    t_creating = this;
    const DWORD style = attr_.style | addedStyle_;
    const HWND created = CreateWindowExW(
        attr_.exStyle, GetWindowClassName(), hasTitle_ ? title_.c_str() : L"", style, attr_.x, attr_.y, attr_.width,
        attr_.height, parent, (style & WS_CHILD) ? reinterpret_cast<HMENU>(static_cast<INT_PTR>(id_)) : nullptr,
        module_->GetHandle(), nullptr);
    t_creating = outer;
    if (!created)
        throw TXWindow("window creation failed: " + std::to_string(GetLastError()));
    if (handle_ != created)
        Attach(created, true);
    owned_ = true;
}

void TWindow::RegisterWindowClass() const
{
    WNDCLASSEXW existing{};
    existing.cbSize = sizeof(existing);
    if (GetClassInfoExW(module_->GetHandle(), GetWindowClassName(), &existing) ||
        GetClassInfoExW(nullptr, GetWindowClassName(), &existing))
        return;
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.style = CS_DBLCLKS;
    windowClass.lpfnWndProc = &TWindow::WindowProcedure;
    windowClass.hInstance = module_->GetHandle();
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = GetWindowClassName();
    GetWindowClass(windowClass);
    if (!RegisterClassExW(&windowClass))
        throw TXWindow("window class registration failed");
}

void TWindow::GetWindowClass(WNDCLASSEXW&) const {}

void TWindow::Attach(HWND handle, bool owned)
{
    handle_ = handle;
    owned_ = owned;
    Objects().Add(handle, this);
    const auto current = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(handle, GWLP_WNDPROC));
    if (current == &TWindow::WindowProcedure) {
        original_ = &DefWindowProcW;
    } else {
        original_ = current;
        SetWindowLongPtrW(handle, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TWindow::WindowProcedure));
    }
    if (addedStyle_)
        ModifyStyle(0, addedStyle_);
    if (!id_)
        id_ = GetDlgCtrlID(handle);
}

void TWindow::Detach()
{
    if (!handle_)
        return;
    const auto current = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(handle_, GWLP_WNDPROC));
    if (current == &TWindow::WindowProcedure && original_ && original_ != &DefWindowProcW)
        SetWindowLongPtrW(handle_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original_));
    Objects().Remove(handle_);
    handle_ = nullptr;
    owned_ = false;
    setupDone_ = false;
}

void TWindow::PerformSetup()
{
    if (setupDone_ || !handle_)
        return;
    setupDone_ = true;
    try {
        SetupWindow();
    } catch (const std::exception& failure) {
        TWindowLog::HandlerFailure(0, failure.what());
    } catch (...) {
        TWindowLog::HandlerFailure(0, "unknown exception");
    }
}

void TWindow::SetupWindow()
{
    // A copy: a child's setup may add windows of its own.
    const std::vector<TWindow*> children = children_;
    for (TWindow* child : children) {
        if (child->handle_ || (!child->resourceId_ && !child->autoCreate_))
            continue;
        child->Create();
    }
}

bool TWindow::CanClose()
{
    for (TWindow* child : children_)
        if (child->handle_ && !child->CanClose())
            return false;
    return true;
}

// ---- dispatch ------------------------------------------------------------------------

LRESULT CALLBACK TWindow::WindowProcedure(HWND handle, UINT msg, WPARAM wParam, LPARAM lParam)
{
    TWindow* self = FromHandle(handle);
    if (!self && t_creating) {
        self = t_creating;
        t_creating = nullptr;
        self->Attach(handle, true);
    }
    if (!self)
        return DefWindowProcW(handle, msg, wParam, lParam);
    return self->Receive(msg, wParam, lParam);
}

LRESULT TWindow::Receive(UINT msg, WPARAM wParam, LPARAM lParam)
{
    const CurrentMessage outer = current_;
    current_ = {msg, wParam, lParam};
    LRESULT result = 0;
    try {
        if (msg == WM_DESTROY)
            CleanupWindow();
        result = WindowProc(msg, wParam, lParam);
    } catch (const std::exception& failure) {
        TWindowLog::HandlerFailure(msg, failure.what());
        result = DefaultProcessing(msg, wParam, lParam);
    } catch (...) {
        TWindowLog::HandlerFailure(msg, "unknown exception");
        result = DefaultProcessing(msg, wParam, lParam);
    }
    current_ = outer;
    if (msg == WM_NCDESTROY)
        Detach();
    return result;
}

LRESULT TWindow::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (const TResponseEntry* entry = GetResponseTable().Find(msg, wParam, lParam))
        return entry->call(*this, wParam, lParam);
    return DefaultProcessing(msg, wParam, lParam);
}

LRESULT TWindow::DefaultProcessing()
{
    return DefaultProcessing(current_.msg, current_.wParam, current_.lParam);
}

LRESULT TWindow::DefaultProcessing(UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (!handle_)
        return 0;
    if (!original_ || original_ == &DefWindowProcW)
        return DefWindowProcW(handle_, msg, wParam, lParam);
    return CallWindowProcW(original_, handle_, msg, wParam, lParam);
}

// ---- operations: one message or call each ---------------------------------------------

void TWindow::SetWindowText(const wchar_t* text)
{
    ::SetWindowTextW(handle_, text ? text : L"");
}

void SetWindowTextIfChanged(HWND window, const wchar_t* text)
{
    if (!text)
        text = L"";
    const size_t length = wcslen(text);
    if (static_cast<size_t>(GetWindowTextLengthW(window)) == length) {
        std::wstring shown(length + 1, L'\0');
        if (static_cast<size_t>(::GetWindowTextW(window, &shown[0], static_cast<int>(length + 1))) == length &&
            shown.compare(0, length, text) == 0)
            return;
    }
    ::SetWindowTextW(window, text);
}

std::wstring TWindow::GetWindowText() const
{
    const int length = GetWindowTextLength();
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    const int read = ::GetWindowTextW(handle_, &text[0], length + 1);
    text.resize(static_cast<size_t>(read > 0 ? read : 0));
    return text;
}

int TWindow::GetWindowTextLength() const
{
    return ::GetWindowTextLengthW(handle_);
}

void TWindow::EnableWindow(bool enable)
{
    SetWindowEnabled(handle_, enable);
}

void SetWindowEnabled(HWND window, bool enable)
{
    // Enabling is a round trip to the window server even when nothing changes; a
    // page load sets the state of some seventy controls, most of them unchanged.
    if (window && (::IsWindowEnabled(window) != FALSE) != enable)
        ::EnableWindow(window, enable);
}

bool TWindow::IsWindowEnabled() const
{
    return ::IsWindowEnabled(handle_) != FALSE;
}

void TWindow::ShowWindow(int command)
{
    ::ShowWindow(handle_, command);
}

bool TWindow::IsWindowVisible() const
{
    return ::IsWindowVisible(handle_) != FALSE;
}

void TWindow::Invalidate(bool erase)
{
    ::InvalidateRect(handle_, nullptr, erase);
}

void TWindow::InvalidateAll()
{
    ::RedrawWindow(handle_, nullptr, nullptr, RDW_ERASE | RDW_FRAME | RDW_INVALIDATE | RDW_ALLCHILDREN);
}

void TWindow::SetRedraw(bool redraw)
{
    SendMessage(WM_SETREDRAW, redraw ? TRUE : FALSE);
}

void TWindow::UpdateWindow()
{
    ::UpdateWindow(handle_);
}

void TWindow::SetFocus()
{
    ::SetFocus(handle_);
}

RECT TWindow::GetWindowRect() const
{
    RECT rect{};
    ::GetWindowRect(handle_, &rect);
    return rect;
}

RECT TWindow::GetClientRect() const
{
    RECT rect{};
    ::GetClientRect(handle_, &rect);
    return rect;
}

void TWindow::ScreenToClient(RECT& rect) const
{
    ::MapWindowPoints(HWND_DESKTOP, handle_, reinterpret_cast<POINT*>(&rect), 2);
}

void TWindow::ScreenToClient(POINT& point) const
{
    ::ScreenToClient(handle_, &point);
}

void TWindow::ClientToScreen(POINT& point) const
{
    ::ClientToScreen(handle_, &point);
}

void TWindow::MoveWindow(int x, int y, int width, int height, bool repaint)
{
    ::MoveWindow(handle_, x, y, width, height, repaint);
}

void TWindow::MoveWindow(const RECT& rect, bool repaint)
{
    MoveWindow(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, repaint);
}

void TWindow::SetWindowPos(HWND insertAfter, int x, int y, int width, int height, UINT flags)
{
    ::SetWindowPos(handle_, insertAfter, x, y, width, height, flags);
}

void TWindow::BringToTop()
{
    SetWindowPos(HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

DWORD TWindow::GetStyle() const
{
    return static_cast<DWORD>(GetWindowLongPtrW(handle_, GWL_STYLE));
}

void TWindow::ModifyStyle(DWORD remove, DWORD add)
{
    SetWindowLongPtrW(handle_, GWL_STYLE, static_cast<LONG_PTR>((GetStyle() & ~remove) | add));
}

void TWindow::SetWindowFont(HFONT font, bool redraw)
{
    SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(font), MAKELPARAM(redraw ? TRUE : FALSE, 0));
}

HFONT TWindow::GetWindowFont() const
{
    return reinterpret_cast<HFONT>(SendMessage(WM_GETFONT));
}

LRESULT TWindow::SendMessage(UINT msg, WPARAM wParam, LPARAM lParam) const
{
    return ::SendMessageW(handle_, msg, wParam, lParam);
}

bool TWindow::PostMessage(UINT msg, WPARAM wParam, LPARAM lParam) const
{
    return ::PostMessageW(handle_, msg, wParam, lParam) != FALSE;
}

HWND TWindow::GetDlgItem(int id) const
{
    return ::GetDlgItem(handle_, id);
}
