#pragma once
// Plays a setup script on the setup dialog as a user would: from a timer of the main
// window, so every action runs inside the dialog's own modal loop and messages keep
// flowing between actions.

#include "SetupScript.h"

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace VireoHost {

class ScriptRunner {
public:
    using Printer = std::function<void(const std::wstring& line)>;

    ScriptRunner(HWND mainWindow, std::vector<ScriptAction> actions, std::wstring shotsDirectory, Printer print);
    ~ScriptRunner();
    ScriptRunner(const ScriptRunner&) = delete;
    ScriptRunner& operator=(const ScriptRunner&) = delete;

    // Starts and stops the timer that drives the dialog.
    void Start();
    void Stop();
    // True while actions are left.
    bool HasActionsLeft() const { return next_ < actions_.size(); }

private:
    static void CALLBACK Tick(HWND window, UINT message, UINT_PTR id, DWORD time);
    void Step();
    // Runs the actions due now; stops at a wait or at a closing action.
    void RunDue(HWND dialog);
    // Performs one action; the milliseconds to let pass before the next one.
    DWORD Perform(const ScriptAction& action, HWND dialog);
    HWND Control(const ScriptAction& action, HWND dialog);

    void SelectTab(HWND dialog, int index);
    void Click(HWND control);
    void Select(HWND control, int index);
    void Type(HWND dialog, HWND control, const std::wstring& text);
    void Slide(HWND control, int position);
    void Spin(HWND control, int delta);
    void Hover(HWND control);
    void Away(HWND dialog);
    void Dump(HWND dialog);
    void Shot(HWND dialog, const std::wstring& name);

    HWND main_;
    std::vector<ScriptAction> actions_;
    std::wstring shots_;
    Printer print_;
    size_t next_ = 0;
    UINT_PTR timer_ = 0;
    bool busy_ = false;
    HWND dialog_ = nullptr;
    DWORD resumeAt_ = 0;
    HWND hovered_ = nullptr;
};

} // namespace VireoHost
