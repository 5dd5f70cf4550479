// Validators on their own, and the library's error box: its caption and its owner.

#include "WinlibTestIds.h"
#include "support/WindowDriver.h"

#include "winlib/TApplication.h"
#include "winlib/TDialog.h"
#include "winlib/TEdit.h"
#include "winlib/TValidator.h"

#include <gtest/gtest.h>

#include <string>

TEST(TCharSet, ReadsListsWithRangesAndLiteralDashes)
{
    const TCharSet set(L"-+eE0-9");
    for (wchar_t c : std::wstring(L"-+eE0123456789"))
        EXPECT_TRUE(set.Has(c)) << static_cast<char>(c);
    for (wchar_t c : std::wstring(L".,ax /:"))
        EXPECT_FALSE(set.Has(c)) << static_cast<char>(c);
    const TCharSet trailing(L"a-c-");
    EXPECT_TRUE(trailing.Has(L'b'));
    EXPECT_TRUE(trailing.Has(L'-'));
}

TEST(TRangeValidator, AcceptsWholeIntegersWithinItsBoundsOnly)
{
    struct Case {
        long min, max;
        const wchar_t* text;
        bool valid;
    };
    for (const Case& c :
         {Case{0, 95, L"0", true}, Case{0, 95, L"95", true}, Case{0, 95, L"96", false}, Case{0, 95, L"-1", false},
          Case{0, 95, L"+7", true}, Case{0, 95, L"", false}, Case{0, 95, L"7x", false}, Case{0, 95, L"9 ", false},
          Case{-5, 5, L"-5", true}, Case{-5, 5, L"-6", false}, Case{-5, 5, L"-", false},
          Case{0, 2147483647, L"2147483647", true}, Case{0, 2147483647, L"2147483648", false},
          Case{0, 2147483647, L"99999999999999999999", false}}) {
        TRangeValidator validator(c.min, c.max);
        EXPECT_EQ(c.valid, validator.IsValid(c.text))
            << c.min << ".." << c.max << " '" << std::string(c.text, c.text + wcslen(c.text)) << "'";
    }
}

TEST(TRangeValidator, TypingAMinusSignNeedsANegativeLowerBound)
{
    wchar_t minus[] = L"-3";
    EXPECT_FALSE(TRangeValidator(0, 10).IsValidInput(minus, false));
    EXPECT_TRUE(TRangeValidator(-10, 10).IsValidInput(minus, false));
    TRangeValidator widened(0, 10);
    widened.SetMin(-10);
    EXPECT_TRUE(widened.IsValidInput(minus, false));
}

TEST(TRangeValidator, TransfersOnlyWithTheOptionAndAdjustsWithinBounds)
{
    TRangeValidator validator(0, 30000);
    wchar_t text[16] = L"1234";
    long value = 7;
    EXPECT_EQ(0u, validator.Transfer(text, &value, tdGetData));
    EXPECT_EQ(7, value);
    validator.SetOption(TValidator::voTransfer);
    EXPECT_EQ(sizeof(long), validator.Transfer(text, &value, tdGetData));
    EXPECT_EQ(1234, value);
    value = 30000;
    validator.Transfer(text, &value, tdSetData);
    EXPECT_STREQ(L"30000", text);

    std::wstring adjusted = L"29995";
    int begin = 0, end = 0;
    EXPECT_EQ(5, validator.Adjust(adjusted, begin, end, 10));
    EXPECT_EQ(L"30000", adjusted);
}

TEST(TValidatorBox, HasTheApplicationNameAndBelongsToItsMainWindowElseToTheActiveWindow)
{
    TRangeValidator validator(0, 95);
    EXPECT_EQ(L"Value is not in the range 0 to 95.", validator.ErrorText());
    {
        VireoTest::MessageBoxCatcher catcher;
        validator.Error(nullptr);
        ASSERT_EQ(1u, catcher.Boxes().size());
        EXPECT_EQ(L"winlib_tests", catcher.Boxes()[0].caption);
        EXPECT_EQ(L"Value is not in the range 0 to 95.", catcher.Boxes()[0].text);
    }
    TApplication application(L"Stand-in Host");
    TWindow main(static_cast<TWindow*>(nullptr), L"main", &application);
    main.Attr().style = WS_OVERLAPPEDWINDOW;
    main.Create();
    application.SetMainWindow(main.GetHandle());
    VireoTest::MessageBoxCatcher catcher;
    validator.Error(nullptr);
    ASSERT_EQ(1u, catcher.Boxes().size());
    EXPECT_EQ(L"Stand-in Host", catcher.Boxes()[0].caption);
    EXPECT_EQ(main.GetHandle(), catcher.Boxes()[0].owner);
}

namespace {

class PaneWithEdit : public TDialog {
public:
    explicit PaneWithEdit(TWindow* parent) : TDialog(parent, IDD_WL_PANE, nullptr), edit(this, IDC_WL_PANE_EDIT) {}
    TEdit edit;
};

class FormWithPane : public TDialog {
public:
    explicit FormWithPane(TModule* module)
        : TDialog(static_cast<TWindow*>(nullptr), IDD_WL_CONTROLS, module), pane(this)
    {}
    PaneWithEdit pane;
};

} // namespace

TEST(TEditCanClose, ChecksOnlyEditsTheUserCanSeeAndUse)
{
    TModule module(nullptr, GetModuleHandleW(nullptr), false);
    FormWithPane form(&module);
    form.Create();
    form.pane.ShowWindow(SW_SHOW);
    form.pane.edit.SetValidator(new TRangeValidator(0, 5));
    form.pane.edit.SetWindowText(L"9");
    VireoTest::MessageBoxCatcher catcher;
    EXPECT_FALSE(form.CanClose());
    form.pane.ShowWindow(SW_HIDE); // a pane that is not on show
    EXPECT_TRUE(form.CanClose());
    form.pane.ShowWindow(SW_SHOW);
    form.pane.edit.EnableWindow(false);
    EXPECT_TRUE(form.CanClose());
    form.pane.edit.EnableWindow(true);
    form.pane.edit.SetWindowText(L"5");
    EXPECT_TRUE(form.CanClose());
    EXPECT_EQ(1u, catcher.Boxes().size());
}
