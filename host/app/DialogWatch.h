#pragma once
// Watches the thread for the setup dialog while a menu command runs: whether one
// opened, and how it ended (1 for OK, 2 for Cancel), told from the last OK or Cancel
// command the dialog received before it closed.

#include <windows.h>

namespace VireoHost {

class DialogWatch {
public:
    DialogWatch();
    ~DialogWatch();
    DialogWatch(const DialogWatch&) = delete;
    DialogWatch& operator=(const DialogWatch&) = delete;

    int Opened() const { return opened_; }
    // 1 or 2; a dialog closed without either command counts as cancelled.
    int Result() const { return result_ ? result_ : IDCANCEL; }
    HWND Owner() const { return owner_; }

private:
    static LRESULT CALLBACK OnCbt(int code, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK OnCall(int code, WPARAM wParam, LPARAM lParam);

    HHOOK cbt_ = nullptr;
    HHOOK call_ = nullptr;
    HWND dialog_ = nullptr;
    HWND owner_ = nullptr;
    int opened_ = 0;
    int result_ = 0;
    DialogWatch* previous_ = nullptr;
};

} // namespace VireoHost
