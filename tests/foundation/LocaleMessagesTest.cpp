// Texts of the regional-settings messages, composed from the host's string resources.

#include "foundation/LocaleInfo.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::wstring HostText(UINT id)
{
    return LoadResourceString(GetModuleHandleW(nullptr), id, true).c_str();
}

class LocaleMessages : public testing::Test {
protected:
    // The host texts are loaded once per process and kept; load them before the
    // leak check starts counting.
    static void SetUpTestSuite()
    {
        LocaleInfo::NumericCategoryFailureText(0x20000101);
        LocaleInfo::NumericCategoryFailureText(ERROR_FILE_NOT_FOUND);
        LocaleInfo::DecimalSeparatorText(L".");
    }
};

TEST_F(LocaleMessages, CRuntimeLocaleCodesMapToTheirOwnTexts)
{
    for (DWORD i = 0; i < 6; ++i) {
        const QLXString text = LocaleInfo::NumericCategoryFailureText(0x20000101 + i);
        EXPECT_EQ(HostText(20012 + i), text.c_str()) << i;
    }
}

TEST_F(LocaleMessages, OtherCodesCarryTheSystemText)
{
    wchar_t system[512] = {};
    FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, ERROR_FILE_NOT_FOUND, 0x400,
                   system, 511, nullptr);
    ASSERT_NE(L'\0', system[0]);
    const std::wstring text = LocaleInfo::NumericCategoryFailureText(ERROR_FILE_NOT_FOUND).c_str();
    std::wstring expected = HostText(20018);
    expected.replace(expected.find(L"%1"), 2, system);
    EXPECT_EQ(expected, text);
}

TEST_F(LocaleMessages, CodesNextToTheCRuntimeRangeAreSystemCodes)
{
    const std::wstring before = LocaleInfo::NumericCategoryFailureText(0x20000100).c_str();
    const std::wstring after = LocaleInfo::NumericCategoryFailureText(0x20000107).c_str();
    const std::wstring other = HostText(20018);
    const std::wstring prefix = other.substr(0, other.find(L"%1"));
    EXPECT_EQ(0u, before.find(prefix)) << before;
    EXPECT_EQ(0u, after.find(prefix)) << after;
}

TEST_F(LocaleMessages, SeparatorTextShowsEveryCharacterCodeInHex)
{
    std::wstring expected = HostText(20011);
    expected.replace(expected.find(L"%2"), 2, L" 2e 2c");
    expected.replace(expected.find(L"%1"), 2, L".,");
    EXPECT_EQ(expected, LocaleInfo::DecimalSeparatorText(L".,").c_str());
}

TEST_F(LocaleMessages, SeparatorTextOfAWideCharacter)
{
    const std::wstring text = LocaleInfo::DecimalSeparatorText(L"\x066B").c_str();
    EXPECT_NE(std::wstring::npos, text.find(L"\x066B")) << text;
    EXPECT_NE(std::wstring::npos, text.find(L" 66b")) << text;
}

} // namespace
