#pragma once
// Plays a setup script on the setup dialog as a user would: from a timer of the main
// window, so every action runs inside the dialog's own modal loop and messages keep
// flowing between actions. Mouse clicks and key presses are posted to the control under
// them, so the dialog's loop (and its dialog manager) takes them as it takes a user's:
// the focus moves before the control acts, and everything one input causes, a refusal's
// message box included, has run before the next input arrives.

#include "SetupScript.h"

#include <windows.h>

#include <deque>
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
    // Messages posted together, as one press of the user's arrives; shift is held
    // down while they are taken. prepare, when set, runs first, once what came before
    // has been taken: it finds what this press needs (a dropped list) and may add to it.
    struct Burst {
        std::vector<MSG> messages;
        bool shift = false;
        std::function<void(std::vector<MSG>&)> prepare;
    };

    static void CALLBACK Tick(HWND window, UINT message, UINT_PTR id, DWORD time);
    static LRESULT CALLBACK PumpProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void Step();
    // Runs the actions due now; stops at a wait, or when input is on its way.
    void RunDue(HWND dialog);
    // Performs one action; the milliseconds to let pass before the next one.
    DWORD Perform(const ScriptAction& action, HWND dialog);
    HWND Control(const ScriptAction& action, HWND dialog);
    // Posts the next burst and, behind it, the note that brings the runner back.
    void PostNextBurst();
    void HoldShift(bool down);

    void Queue(HWND window, UINT message, WPARAM wParam, LPARAM lParam, bool shift = false);
    void QueuePrepared(std::function<void(std::vector<MSG>&)> prepare);
    void QueueClickAt(HWND window, POINT point);
    bool QueueClick(HWND control);
    void SelectTab(HWND dialog, int index);
    void Select(HWND control, int index);
    void Type(HWND control, const std::wstring& text);
    void TypeKeys(HWND dialog, const std::wstring& text);
    void Slide(HWND control, int position);
    void Spin(HWND control, int delta);
    void PressKey(HWND dialog, const KeyStroke& key);
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
    HWND pump_ = nullptr;
    bool busy_ = false;
    bool shiftHeld_ = false;
    HWND dialog_ = nullptr;
    DWORD resumeAt_ = 0;
    HWND hovered_ = nullptr;
    std::deque<Burst> input_;
};

} // namespace VireoHost
