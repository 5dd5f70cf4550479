// The prefix the tests run in maps the dialog fonts as Windows does, so dialogs are measured
// with Windows' metrics.

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

namespace {

struct Measured {
    std::wstring face;
    SIZE letters{};
    LONG height = 0;
};

// The dialog size of 8 points at the screen's resolution.
Measured Measure(const wchar_t* face)
{
    HDC screen = GetDC(nullptr);
    LOGFONTW request = {};
    request.lfHeight = -MulDiv(8, GetDeviceCaps(screen, LOGPIXELSY), 72);
    wcsncpy(request.lfFaceName, face, LF_FACESIZE - 1);
    HFONT font = CreateFontIndirectW(&request);
    HGDIOBJ previous = SelectObject(screen, font);
    Measured result;
    const wchar_t letters[] = L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    GetTextExtentPoint32W(screen, letters, 52, &result.letters);
    TEXTMETRICW metrics = {};
    GetTextMetricsW(screen, &metrics);
    result.height = metrics.tmHeight;
    wchar_t chosen[LF_FACESIZE] = {};
    GetTextFaceW(screen, LF_FACESIZE, chosen);
    result.face = chosen;
    SelectObject(screen, previous);
    DeleteObject(font);
    ReleaseDC(nullptr, screen);
    return result;
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
        const Measured font = Measure(mapping.font);
        // Not a fallback font of the same size.
        EXPECT_EQ(mapping.font, font.face);
        const Measured shell = Measure(mapping.shell);
        EXPECT_EQ(font.letters.cx, shell.letters.cx);
        EXPECT_EQ(font.height, shell.height);
    }
}
