#pragma once
// A help button bound to item 9 of a plain parent window that records the commands it
// gets, with the messages a user's pointer and keys send.

#include "controls/BmpTxtButton.h"
#include "support/HostAnswers.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace VireoTest {

class ButtonTest : public testing::Test {
public:
    // (id, notification) of every WM_COMMAND the parent got.
    static std::vector<std::pair<int, int>>& Commands();

protected:
    void SetUp() override;
    void TearDown() override;

    HWND Button() const { return buttonWindow_; }
    QLXControls::TBmpTxtButton& Object() { return *button_; }
    // Deletes the button object; its window stays, as a bound window does.
    void DeleteObject() { button_.reset(); }

    void Move(int x, int y);
    void Tick(int times = 1);
    LRESULT Send(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);
    UINT State();
    // The hint pop-up windows of this thread.
    static std::vector<HWND> HintWindows();
    static HWND HintWindow();
    static std::wstring TextOf(HWND window);

private:
    // The cursor is shared by every test process of the run: one button test at a time.
    HANDLE cursorLock_ = nullptr;
    HWND parentWindow_ = nullptr;
    HWND buttonWindow_ = nullptr;
    std::unique_ptr<TWindow> parent_;
    std::unique_ptr<QLXControls::TBmpTxtButton> button_;
};

} // namespace VireoTest
