#pragma once
// The host's main window for a person: a menu bar built from the commands the
// framework's menu installer holds (each item enabled and checked as its document
// says), a File menu to open and save host documents, and a log pane that shows the
// unit calls and the module's message boxes.

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "HostMenu.h"

namespace VireoHost {

class HostDocument;
class SimulatedUnit;

class HostWindow {
public:
    // What the File menu does with a chosen file; the window shows what they answer.
    struct FileActions {
        std::function<std::wstring(const std::wstring& path)> open;
        std::function<std::wstring(const std::wstring& path)> save;
    };

    // Takes over the window: its menu, its log pane and its messages.
    HostWindow(HWND window, DWORD messageBase, FileActions files);
    ~HostWindow();
    HostWindow(const HostWindow&) = delete;
    HostWindow& operator=(const HostWindow&) = delete;

    // The document the menu commands are chosen for and the unit whose calls are logged.
    void SetDocument(HostDocument* document, SimulatedUnit* unit);
    // The menu identifier of the installed command, or 0.
    UINT MenuId(const std::wstring& menu, const std::wstring& text) const;
    HWND LogPane() const { return log_; }
    void Log(const std::wstring& line);
    // Runs the message loop until the window is closed.
    void RunUntilClosed();

private:
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK OnCbt(int code, WPARAM wParam, LPARAM lParam);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
    void BuildMenu();
    void UpdateItems(HMENU popup);
    void OnCommand(UINT id);
    void ChooseFile(bool save);
    void LogUnitCalls();

    HWND window_;
    HWND log_ = nullptr;
    WNDPROC previous_ = nullptr;
    HHOOK hook_ = nullptr;
    DWORD messageBase_;
    FileActions files_;
    std::vector<MenuCommand> commands_;
    HostDocument* document_ = nullptr;
    SimulatedUnit* unit_ = nullptr;
    bool closed_ = false;
};

} // namespace VireoHost
