#include "MessageBoxEcho.h"

#include <gtest/gtest.h>

using VireoHost::MessageBoxEcho;

namespace {

TEST(MessageBoxEcho, PrintsAndClosesEveryBoxWithItsDefaultButton)
{
    std::vector<std::wstring> lines;
    MessageBoxEcho echo([&](const std::wstring& caption, const std::wstring& text) {
        lines.push_back(MessageBoxEcho::Line(caption, text));
    });
    EXPECT_EQ(MessageBoxW(nullptr, L"First line\r\n\r\nSecond", L"Vireo", MB_OK | MB_ICONERROR), IDOK);
    EXPECT_EQ(MessageBoxW(nullptr, L"Keep?", L"Ask", MB_YESNO | MB_DEFBUTTON2), IDNO);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], L"MessageBox: Vireo: First line\\n\\nSecond");
    EXPECT_EQ(lines[1], L"MessageBox: Ask: Keep?");
    EXPECT_EQ(echo.Count(), 2);
}

TEST(MessageBoxEcho, StopsWatchingWhenDestroyed)
{
    int outer = 0;
    MessageBoxEcho first([&](const std::wstring&, const std::wstring&) { ++outer; });
    {
        int inner = 0;
        MessageBoxEcho second([&](const std::wstring&, const std::wstring&) { ++inner; });
        MessageBoxW(nullptr, L"a", L"b", MB_OK);
        EXPECT_EQ(inner, 1);
    }
    MessageBoxW(nullptr, L"a", L"b", MB_OK);
    EXPECT_EQ(outer, 1);
}

} // namespace
