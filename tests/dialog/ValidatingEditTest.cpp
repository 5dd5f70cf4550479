// The numeric edits in a real dialog: typed characters, OK with values in and out of
// range, the written and read values, and the error provider path.

#include "ValidatingEditTestIds.h"
#include "support/RegionalSettings.h"
#include "support/WindowDriver.h"

#include "dialog/ErrorProvider.h"
#include "dialog/ValidatingEdit.h"
#include "foundation/LocaleInfo.h"
#include "foundation/QLXString.h"
#include "winlib/TDialog.h"

#include <gtest/gtest.h>

#include <clocale>
#include <string>

namespace {

using VireoTest::MessageBoxCatcher;
using VireoTest::RunModal;
using VireoTest::Type;

TModule& TestModule()
{
    static TModule module(nullptr, GetModuleHandleW(nullptr), false);
    return module;
}

std::wstring HostText(UINT id)
{
    return LoadResourceString(GetModuleHandleW(nullptr), id).c_str();
}

// Seconds 0 to 60, a count 0 to 95, and another seconds field 0 to 10.
class Form : public TDialog {
public:
    Form()
        : TDialog(static_cast<TWindow*>(nullptr), IDD_VE_FORM, &TestModule()), seconds(this, IDC_VE_SECONDS, 0, 60),
          count(this, IDC_VE_COUNT, 95), other(this, IDC_VE_OTHER, 0, 10)
    {}
    DoubleEdit seconds;
    IntEdit count;
    DoubleEdit other;

protected:
    void SetupWindow() override
    {
        TDialog::SetupWindow();
        seconds.SetValue(1);
        count.SetValue(1);
        other.SetValue(1);
    }
};

struct OkOutcome {
    int code = 0;
    bool openAfterOk = false;
    int focusId = 0;
    std::vector<MessageBoxCatcher::Box> boxes;
};

// Puts text into one edit (or disables it first), presses OK, notes what happened, cancels.
OkOutcome PressOkWith(int editId, const wchar_t* text, bool disable = false)
{
    Form form;
    OkOutcome outcome;
    MessageBoxCatcher catcher;
    outcome.code = RunModal([&] { return form.Execute(); },
                            [&](HWND) {
                                const HWND edit = form.GetDlgItem(editId);
                                SetWindowTextW(edit, text);
                                if (disable)
                                    EnableWindow(edit, FALSE);
                                SendMessageW(form.GetDlgItem(IDOK), BM_CLICK, 0, 0);
                                // An ended dialog is hidden at once and destroyed when its loop ends.
                                outcome.openAfterOk = IsWindowVisible(form.GetHandle()) != FALSE;
                                outcome.focusId = GetDlgCtrlID(GetFocus());
                                if (outcome.openAfterOk)
                                    form.CmCancel();
                            });
    outcome.boxes = catcher.Boxes();
    return outcome;
}

} // namespace

TEST(ValidatingEditAtOk, ValuesInsideTheirRangeCloseAndOthersKeepTheDialogOpenOnTheField)
{
    struct Case {
        int id;
        const wchar_t* text;
        bool accepted;
    };
    for (const Case& c :
         {Case{IDC_VE_SECONDS, L"60", true}, Case{IDC_VE_SECONDS, L"60.000001", false},
          Case{IDC_VE_SECONDS, L"0", true}, Case{IDC_VE_SECONDS, L"-0.5", false}, Case{IDC_VE_SECONDS, L"", false},
          Case{IDC_VE_SECONDS, L"1.5.3", false}, Case{IDC_VE_COUNT, L"0", true}, Case{IDC_VE_COUNT, L"95", true},
          Case{IDC_VE_COUNT, L"96", false}, Case{IDC_VE_COUNT, L"", false}}) {
        const OkOutcome outcome = PressOkWith(c.id, c.text);
        const std::wstring label = std::to_wstring(c.id) + L" '" + c.text + L"'";
        EXPECT_EQ(c.accepted ? IDOK : IDCANCEL, outcome.code) << label.c_str();
        EXPECT_EQ(!c.accepted, outcome.openAfterOk) << label.c_str();
        EXPECT_EQ(c.accepted ? 0u : 1u, outcome.boxes.size()) << label.c_str();
        if (!c.accepted) {
            EXPECT_EQ(c.id, outcome.focusId) << label.c_str();
        }
    }
}

TEST(ValidatingEditAtOk, FloatingRefusalShowsHostTextWithTheBoundsAndIntegerOneTheLibrarysText)
{
    const OkOutcome seconds = PressOkWith(IDC_VE_SECONDS, L"61");
    ASSERT_EQ(1u, seconds.boxes.size());
    EXPECT_EQ(L"Please enter a number between 0 and 60.", seconds.boxes[0].text);
    EXPECT_EQ(HostText(20001).substr(0, 10), seconds.boxes[0].text.substr(0, 10));
    EXPECT_EQ(L"dialog_tests", seconds.boxes[0].caption);

    const OkOutcome count = PressOkWith(IDC_VE_COUNT, L"96");
    ASSERT_EQ(1u, count.boxes.size());
    EXPECT_EQ(L"Value is not in the range 0 to 95.", count.boxes[0].text);
}

TEST(ValidatingEditAtOk, DisabledEditIsNotChecked)
{
    const OkOutcome outcome = PressOkWith(IDC_VE_OTHER, L"99", true);
    EXPECT_EQ(IDOK, outcome.code);
    EXPECT_TRUE(outcome.boxes.empty());
}

TEST(ValidatingEditTyping, CharactersThatCannotBelongToANumberAreRefused)
{
    Form form;
    form.Create();
    form.seconds.SetWindowText(L"");
    Type(form.seconds.GetHandle(), L"1a2.5e-x3");
    EXPECT_EQ(L"12.5e-3", form.seconds.GetWindowText());
    form.count.SetWindowText(L"");
    Type(form.count.GetHandle(), L"-4.2x");
    EXPECT_EQ(L"42", form.count.GetWindowText());
    EXPECT_TRUE(GetWindowLongPtrW(form.count.GetHandle(), GWL_STYLE) & ES_NUMBER);
    EXPECT_EQ(255u, form.seconds.GetTextLimit());
}

TEST(DoubleEditValue, IsWrittenAndReadWithNineSignificantDigits)
{
    Form form;
    form.Create();
    struct Written {
        double value;
        const wchar_t* text;
    };
    for (const Written& w : {Written{0.1 + 0.2, L"0.3"}, Written{2.5, L"2.5"}, Written{1.0 / 3, L"0.333333333"},
                             Written{1e10, L"1e+10"}, Written{-33.7, L"-33.7"}, Written{0, L"0"}}) {
        form.seconds.SetValue(w.value);
        EXPECT_EQ(w.text, form.seconds.GetWindowText()) << w.value;
    }
    struct Read {
        const wchar_t* text;
        double value;
        bool complete;
    };
    for (const Read& r :
         {Read{L"2.0000000001", 2, true}, Read{L"12.3456789012", 12.3456789, true}, Read{L"", 0, false},
          Read{L"abc", 0, false}, Read{L"1e", 1, false}, Read{L"-0.000123456789012", -0.000123456789, true},
          Read{L"2.2250738585072014e-308", 2.2250738585072014e-308, true},
          Read{L"2.500000000000000000000000000x", 2.5, true}}) {
        form.seconds.SetWindowText(r.text);
        EXPECT_DOUBLE_EQ(r.value, form.seconds.GetValue()) << r.text;
        EXPECT_EQ(r.complete, form.seconds.IsCompleteNumber()) << r.text;
    }
}

TEST(IntEditValue, ReadsTheLeadingIntegerAndKnowsCompleteNumbers)
{
    Form form;
    form.Create();
    struct Read {
        const wchar_t* text;
        long value;
        bool complete;
    };
    for (const Read& r : {Read{L"42", 42, true}, Read{L"", 0, false}, Read{L"7x", 7, false}, Read{L"x", 0, false}}) {
        form.count.SetWindowText(r.text);
        EXPECT_EQ(r.value, form.count.GetValue()) << r.text;
        EXPECT_EQ(r.complete, form.count.IsCompleteNumber()) << r.text;
    }
}

TEST(ValidatingEditProvider, ShowsRangeErrorsAsTypedAndHidesThemWhenPutRight)
{
    Form form;
    form.Create();
    QLXControls::ErrorProvider provider(form.GetHandle());
    form.seconds.SetErrorProvider(&provider);
    form.seconds.SetWindowText(L"");
    Type(form.seconds.GetHandle(), L"7");
    EXPECT_FALSE(provider.IsShown());
    Type(form.seconds.GetHandle(), L"0");
    EXPECT_TRUE(provider.IsShown());
    EXPECT_EQ(HostText(22022), provider.GetTitle());
    EXPECT_EQ(L"Enter a value from 0 to 60.", provider.GetMessage());
    SendMessageW(form.seconds.GetHandle(), WM_CHAR, VK_BACK, 1);
    Type(form.seconds.GetHandle(), L"");
    Type(form.seconds.GetHandle(), L".5");
    EXPECT_FALSE(provider.IsShown());
    EXPECT_EQ(L"", provider.GetTitle());
    EXPECT_EQ(L"", provider.GetMessage());
}

TEST(ValidatingEditProvider, SwappingTheProviderKeepsTheBoundsAndTheKindOfCheck)
{
    Form form;
    form.Create();
    QLXControls::ErrorProvider provider(form.GetHandle());
    form.seconds.SetErrorProvider(&provider);
    form.count.SetErrorProvider(&provider);
    auto* floating = dynamic_cast<QLXControls::FltRangeValidatorErrProv*>(form.seconds.GetValidator());
    auto* integer = dynamic_cast<QLXControls::LongRangeValidatorErrProv*>(form.count.GetValidator());
    ASSERT_NE(nullptr, floating);
    ASSERT_NE(nullptr, integer);
    EXPECT_EQ(60, floating->GetMax());
    EXPECT_EQ(95, integer->GetMax());
    form.seconds.SetErrorProvider(nullptr);
    form.count.SetErrorProvider(nullptr);
    EXPECT_EQ(nullptr, dynamic_cast<QLXControls::FltRangeValidatorErrProv*>(form.seconds.GetValidator()));
    EXPECT_NE(nullptr, dynamic_cast<QLXControls::QLXRangeValidator*>(form.count.GetValidator()));
    EXPECT_EQ(0, dynamic_cast<FltRangeValidator*>(form.seconds.GetValidator())->GetMin());

    DoubleEdit unchecked(&form, IDC_VE_OTHER);
    EXPECT_EQ(nullptr, unchecked.GetValidator());
    unchecked.SetErrorProvider(&provider);
    ASSERT_NE(nullptr, unchecked.GetRangeValidator());
    EXPECT_EQ(2.2250738585072014e-308, unchecked.GetRangeValidator()->GetMin());
    EXPECT_EQ(1.7976931348623157e308, unchecked.GetRangeValidator()->GetMax());
}

TEST(ValidatingEditNotice, InvalidChildNoticeShowsABoxOnlyWithoutProvider)
{
    for (bool withProvider : {false, true}) {
        Form form;
        form.Create();
        QLXControls::ErrorProvider provider(form.GetHandle());
        if (withProvider)
            form.seconds.SetErrorProvider(&provider);
        form.seconds.SetWindowText(L"75");
        MessageBoxCatcher catcher;
        form.seconds.SendMessage(TEdit::WM_CHILDINVALID);
        EXPECT_EQ(withProvider ? 0u : 1u, catcher.Boxes().size()) << withProvider;
    }
}

TEST(ValidatingEditNotice, LeavingAFieldWithARefusedValueBringsTheFocusBack)
{
    Form form;
    form.Create();
    ShowWindow(form.GetHandle(), SW_SHOW);
    form.seconds.SetFocus();
    form.seconds.SetWindowText(L"75");
    MessageBoxCatcher catcher;
    form.count.SetFocus();
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
        DispatchMessageW(&msg);
    EXPECT_EQ(1u, catcher.Boxes().size());
    EXPECT_EQ(form.seconds.GetHandle(), GetFocus());
}

// A host that chose a "," numeric locale itself keeps it, and the global locale stays
// classic: what an edit writes must still read back. ctest runs each case in a process
// of its own, so the record is built here.
TEST(DoubleEditValue, ReadsBackWhatItWroteWhenTheHostChoseTheNumericLocale)
{
    {
        VireoTest::UserRegionalSettings user;
        user.Set(LOCALE_SDECIMAL, L",");
        ASSERT_TRUE(std::setlocale(LC_NUMERIC, "German"));
        if (std::wstring(LocaleInfo::Get().DecimalSeparator()) != L",")
            GTEST_SKIP() << "the record was built before this case";
    }
    Form form;
    form.Create();
    for (double value : {0.25, -1.5, 12.3456789}) {
        form.other.SetValue(value);
        EXPECT_EQ(value, form.other.GetValue()) << QLXString(form.other.GetWindowText().c_str()).NarrowText();
    }
    EXPECT_EQ(L"-1,5", (form.other.SetValue(-1.5), form.other.GetWindowText()));
    std::setlocale(LC_NUMERIC, "C");
}
