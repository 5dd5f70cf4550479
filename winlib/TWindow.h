#pragma once
// Window object: owns or attaches to one window handle and answers its messages through
// the response table of its class. Every window of the library, whatever its class,
// runs the one window procedure TWindow::WindowProcedure, which finds the object of the
// handle and dispatches; what the table does not answer goes to the window's original
// procedure. No exception leaves that procedure: one escaping a handler is logged and
// the message gets its default answer.

#include "winlib/TModule.h"
#include "winlib/TResponseTable.h"

#include <stdexcept>
#include <string>
#include <vector>

// A window could not be created, bound or found.
class TXWindow : public std::runtime_error {
public:
    explicit TXWindow(const std::string& what) : std::runtime_error(what) {}
};

// Enables or disables a window, leaving one already in that state alone.
void SetWindowEnabled(HWND window, bool enable);
// Sets a window's text unless it already shows it: a same-text WM_SETTEXT still lays
// an edit's text out again and repaints a static at once.
void SetWindowTextIfChanged(HWND window, const wchar_t* text);

class TWindow {
public:
    // A window this object creates itself (Create, or its parent's setup).
    explicit TWindow(TWindow* parent = nullptr, const wchar_t* title = nullptr, TModule* module = nullptr);
    // An existing window, attached and subclassed, never destroyed by the object.
    explicit TWindow(HWND handle, TModule* module = nullptr);
    virtual ~TWindow();
    TWindow(const TWindow&) = delete;
    TWindow& operator=(const TWindow&) = delete;

    // The object of a window of this library, or null.
    static TWindow* FromHandle(HWND handle);

    HWND GetHandle() const { return handle_; }
    operator HWND() const { return handle_; }
    TWindow* GetParent() const { return parent_; }
    // The parent object's window, else the foreign parent window given.
    HWND GetParentHandle() const;
    TModule* GetModule() const { return module_; }
    // The control id the window is bound by (or created with); 0 when none.
    int GetId() const { return id_; }
    const std::vector<TWindow*>& GetChildren() const { return children_; }

    // Creates the window (or binds it to the parent's template item) and sets it up.
    // Does nothing when the window exists already. Throws TXWindow when it cannot.
    virtual void Create();
    // The parent's setup creates every child that is not created yet, unless told not to.
    void DisableAutoCreate() { autoCreate_ = false; }
    // Creation attributes of a window this object creates itself.
    struct Attributes {
        DWORD style = WS_CHILD | WS_VISIBLE;
        DWORD exStyle = 0;
        int x = CW_USEDEFAULT, y = CW_USEDEFAULT, width = CW_USEDEFAULT, height = CW_USEDEFAULT;
    };
    Attributes& Attr() { return attr_; }
    // Style bits added to the window when it is created or bound.
    void AddCreationStyle(DWORD style);

    // Whether the parent's OK may close: asks every child in turn.
    virtual bool CanClose();

    // Text.
    void SetWindowText(const wchar_t* text);
    void SetWindowText(const std::wstring& text) { SetWindowText(text.c_str()); }
    void SetWindowTextIfChanged(const std::wstring& text) { ::SetWindowTextIfChanged(handle_, text.c_str()); }
    std::wstring GetWindowText() const;
    int GetWindowTextLength() const;

    // State and painting.
    void EnableWindow(bool enable);
    bool IsWindowEnabled() const;
    void ShowWindow(int command);
    bool IsWindowVisible() const;
    void Invalidate(bool erase = true);
    // Invalidates the window, its frame and all its children.
    void InvalidateAll();
    void UpdateWindow();
    // WM_SETREDRAW: while off, the window and its children neither draw nor collect
    // invalid areas.
    void SetRedraw(bool redraw);
    void SetFocus();

    // Geometry: window rectangles in screen coordinates, client rectangles in the
    // window's own client coordinates.
    RECT GetWindowRect() const;
    RECT GetClientRect() const;
    void ScreenToClient(RECT& rect) const;
    void ScreenToClient(POINT& point) const;
    void ClientToScreen(POINT& point) const;
    void MoveWindow(int x, int y, int width, int height, bool repaint = true);
    void MoveWindow(const RECT& rect, bool repaint = true);
    void SetWindowPos(HWND insertAfter, int x, int y, int width, int height, UINT flags);
    // Top of the z-order among its siblings, without moving, sizing or activating.
    void BringToTop();

    // Style.
    DWORD GetStyle() const;
    void ModifyStyle(DWORD remove, DWORD add);

    // Font.
    void SetWindowFont(HFONT font, bool redraw = true);
    HFONT GetWindowFont() const;

    LRESULT SendMessage(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0) const;
    bool PostMessage(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0) const;
    HWND GetDlgItem(int id) const;

    // The window procedure of every window of the library.
    static LRESULT CALLBACK WindowProcedure(HWND handle, UINT msg, WPARAM wParam, LPARAM lParam);

    static const TResponseTable& ResponseTable();

protected:
    // A window bound to the parent's template item of that control id.
    TWindow(TWindow* parent, int resourceId, TModule* module);
    // A window created by this object with a foreign parent window.
    TWindow(HWND parent, const wchar_t* title, TModule* module);

    virtual const TResponseTable& GetResponseTable() const;

    // Runs once when the window exists. The base creates or binds every child and sets
    // it up; overrides call it first, so children are ready when their own part runs.
    virtual void SetupWindow();
    // Runs when the window is going away (from WM_DESTROY), before its handle is lost.
    virtual void CleanupWindow() {}

    // The library's own scroll handling (WM_HSCROLL, WM_VSCROLL): the scrolled child
    // control's object hears of it, then the original procedure answers.
    LRESULT EvHScroll(WPARAM wParam, LPARAM lParam);
    LRESULT EvVScroll(WPARAM wParam, LPARAM lParam);
    // Told by the parent's scroll handling that this control scrolled (code: SB_..., TB_...).
    virtual void ChildScrolled(UINT) {}

    // Dispatches one message: the response table, else DefaultProcessing.
    virtual LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam);
    // The original procedure's answer to the message being handled, or to the one given.
    LRESULT DefaultProcessing();
    LRESULT DefaultProcessing(UINT msg, WPARAM wParam, LPARAM lParam);

    // The registered window class of windows this object creates itself, and how it is
    // filled in when first registered. Classes of the system (EDIT, ...) are subclassed.
    virtual const wchar_t* GetWindowClassName() const { return L"TWindow"; }
    virtual void GetWindowClass(WNDCLASSEXW& windowClass) const;

    // Takes over a live window: records it, subclasses it, applies creation styles.
    void Attach(HWND handle, bool owned);
    // Lets go of the window: the original procedure comes back and the handle is forgotten.
    void Detach();
    // Runs SetupWindow once for the current window, logging what escapes it.
    void PerformSetup();

    int resourceId_ = 0;
    int id_ = 0;

private:
    LRESULT Receive(UINT msg, WPARAM wParam, LPARAM lParam);
    void BindOrCreate();
    void RegisterWindowClass() const;

    struct CurrentMessage {
        UINT msg;
        WPARAM wParam;
        LPARAM lParam;
    };

    HWND handle_ = nullptr;
    HWND foreignParent_ = nullptr;
    TWindow* parent_ = nullptr;
    TModule* module_;
    std::wstring title_;
    bool hasTitle_ = false;
    Attributes attr_;
    DWORD addedStyle_ = 0;
    WNDPROC original_ = nullptr;
    bool owned_ = false;
    bool autoCreate_ = true;
    bool setupDone_ = false;
    CurrentMessage current_{};
    std::vector<TWindow*> children_;
};

namespace TWindowLog {
// Writes one line to the start-up log (the wide error stream): a handler's failure
// (msg 0: the window's setup). Never throws.
void HandlerFailure(UINT msg, const char* what);
} // namespace TWindowLog
