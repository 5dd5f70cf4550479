// The host's "qlx\application\visible" decides whether hints show; it is asked once per
// process, so the false answer is tried in a child process of its own.

#include "ButtonDriver.h"
#include "FakeHost.h"

#include <cstdlib>

using VireoTest::ButtonTest;

using HintHostTest = ButtonTest;

TEST_F(HintHostTest, PopupFollowsTheVisibleSettingAskedOnce)
{
    const char* setting = std::getenv("VIREO_TEST_APPLICATION_VISIBLE");
    const bool visible = !(setting && setting[0] == '0');
    for (int round = 0; round < 2; ++round) {
        Send(WM_MOUSELEAVE);
        Move(5, 5);
        Tick();
        const HWND hint = HintWindow();
        ASSERT_NE(nullptr, hint);
        EXPECT_EQ(visible, IsWindowVisible(hint) != FALSE);
    }
    EXPECT_EQ(1, VireoTest::VisibleQueries());
}

TEST(HintHost, FalseVisibleSettingKeepsHintsHidden)
{
    std::string output;
    const unsigned long code = VireoTest::RunSelf(L"HintHostTest.PopupFollowsTheVisibleSettingAskedOnce",
                                                  L"VIREO_TEST_APPLICATION_VISIBLE", L"0", output);
    EXPECT_EQ(0ul, code) << output;
    EXPECT_NE(std::string::npos, output.find("[  PASSED  ] 1 test")) << output;
}
