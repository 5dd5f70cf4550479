// The host's "qlx\application\visible" decides whether hints show: read for each hint from
// the one settings store the module fetches.

#include "ButtonDriver.h"
#include "support/FakeHostApplication.h"

using VireoTest::ButtonTest;

using HintHostTest = ButtonTest;

TEST_F(HintHostTest, PopupFollowsTheVisibleSettingAsItChanges)
{
    for (bool visible : {true, false, true}) {
        VireoTest::FakeHostApplication::Get().hintsVisible = visible;
        Send(WM_MOUSELEAVE);
        Move(5, 5);
        Tick();
        const HWND hint = HintWindow();
        ASSERT_NE(nullptr, hint);
        EXPECT_EQ(visible, IsWindowVisible(hint) != FALSE);
    }
    EXPECT_EQ(1, VireoTest::FakeHostApplication::Get().storeFetches);
}
