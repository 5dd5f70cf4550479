// The tests' prefix maps the dialog fonts as Windows does, so dialogs get Windows' metrics.

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

namespace {

// The face drawn for a request of 8 points, and the width of the alphabet in it.
std::pair<std::wstring, LONG> Measure(const wchar_t* face)
{
    HDC screen = GetDC(nullptr);
    LOGFONTW request = {};
    request.lfHeight = -MulDiv(8, GetDeviceCaps(screen, LOGPIXELSY), 72);
    wcsncpy(request.lfFaceName, face, LF_FACESIZE - 1);
    HFONT font = CreateFontIndirectW(&request);
    HGDIOBJ previous = SelectObject(screen, font);
    SIZE letters = {};
    GetTextExtentPoint32W(screen, L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz", 52, &letters);
    wchar_t chosen[LF_FACESIZE] = {};
    GetTextFaceW(screen, LF_FACESIZE, chosen);
    SelectObject(screen, previous);
    DeleteObject(font);
    ReleaseDC(nullptr, screen);
    return {chosen, letters.cx};
}

} // namespace

TEST(DialogFonts, ShellFontsAreDrawnInTheFontsWindowsMapsThemTo)
{
    const struct {
        const wchar_t* shell;
        const wchar_t* font;
    } mappings[] = {{L"MS Shell Dlg", L"MS Sans Serif"}, {L"MS Shell Dlg 2", L"Tahoma"}};
    for (const auto& mapping : mappings) {
        SCOPED_TRACE(testing::Message() << mapping.shell);
        const auto font = Measure(mapping.font);
        EXPECT_EQ(mapping.font, font.first); // not a fallback font
        EXPECT_EQ(font.second, Measure(mapping.shell).second);
    }
}
