// Tab labels with the "on" marker and the tab the dialog opens on.

#include "dialog/OutputTab.h"

#include <gtest/gtest.h>

using OnlineEvents::OutputTab;

TEST(OutputTab, MarkerIsAddedAndRemovedOnce)
{
    EXPECT_EQ(L"Analog Output 1 \u2022", OutputTab::Marked(L"Analog Output 1", true));
    EXPECT_EQ(L"2 \u2022", OutputTab::Marked(L"2 \u2022", true));
    EXPECT_EQ(L"2", OutputTab::Marked(L"2 \u2022", false));
    EXPECT_EQ(L"2", OutputTab::Marked(L"2", false));
    EXPECT_EQ(L"\u2022", OutputTab::Marked(L"\u2022", false)); // a bullet without the space is a name
    EXPECT_EQ(L" \u2022", OutputTab::Marked(L"", true));
}

TEST(OutputTab, OpensOnTheLastTabOrOnTheFirstWhenItIsGone)
{
    EXPECT_EQ(3, OutputTab::Opening(3, 10));
    EXPECT_EQ(9, OutputTab::Opening(9, 10));
    EXPECT_EQ(0, OutputTab::Opening(10, 10));
    EXPECT_EQ(0, OutputTab::Opening(-1, 10));
    EXPECT_EQ(0, OutputTab::Opening(0, 0));
}
