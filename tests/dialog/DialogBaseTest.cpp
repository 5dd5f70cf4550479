// The dialog base loads its template in the parent window's module language, else in
// the host's user-interface language, from the extension's module when none is given.

#include "ValidatingEditTestIds.h"
#include "support/FakeHostApplication.h"
#include "support/HostAnswers.h"

#include "dialog/DialogBase.h"
#include "winlib/TModule.h"

#include <gtest/gtest.h>

namespace {

constexpr LANGID German = MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN);
constexpr LANGID English = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);

std::wstring CaptionOf(QLX::DialogBase& dialog)
{
    dialog.Create();
    std::wstring caption = dialog.GetWindowText();
    dialog.CloseWindow(IDCANCEL);
    return caption;
}

// A window of another module object, with a language of its own or none.
struct ParentWindow {
    explicit ParentWindow(LANGID language)
        : module(nullptr, GetModuleHandleW(nullptr), false), window(static_cast<TWindow*>(nullptr), nullptr, &module)
    {
        module.SetLanguage(language);
        window.Attr().style = WS_OVERLAPPEDWINDOW;
        window.Create();
    }
    TModule module;
    TWindow window;
};

} // namespace

TEST(DialogBaseLanguage, ParentModuleLanguageWinsOverTheHostLanguage)
{
    auto& host = VireoTest::FakeHostApplication::Get();
    host.language = English;
    ParentWindow parent(German);
    QLX::DialogBase dialog(parent.window.GetHandle(), IDD_VE_LANGUAGES);
    EXPECT_EQ(L"Deutsch", CaptionOf(dialog));
    EXPECT_EQ(German, dialog.GetTemplateLanguage());
}

TEST(DialogBaseLanguage, WithoutParentOrParentLanguageTheHostLanguageChooses)
{
    auto& host = VireoTest::FakeHostApplication::Get();
    for (LANGID hostLanguage : {German, English}) {
        host.language = hostLanguage;
        QLX::DialogBase alone(static_cast<HWND>(nullptr), IDD_VE_LANGUAGES);
        EXPECT_EQ(hostLanguage == German ? L"Deutsch" : L"English", CaptionOf(alone));
        ParentWindow parent(0);
        QLX::DialogBase child(parent.window.GetHandle(), IDD_VE_LANGUAGES);
        EXPECT_EQ(hostLanguage == German ? L"Deutsch" : L"English", CaptionOf(child));
    }
}

TEST(DialogBaseLanguage, HostThatCannotSayItsLanguageLeavesTheModulesChoice)
{
    auto& host = VireoTest::FakeHostApplication::Get();
    host.language = German;
    host.languageResult = E_FAIL;
    QLX::DialogBase dialog(static_cast<HWND>(nullptr), IDD_VE_LANGUAGES);
    const std::wstring caption = CaptionOf(dialog);
    host.languageResult = S_OK;
    EXPECT_EQ(0, dialog.GetTemplateLanguage());
    EXPECT_FALSE(caption.empty());
}

TEST(DialogBaseModule, WithoutAModuleTheExtensionsModuleObjectIsUsed)
{
    QLX::DialogBase dialog(static_cast<HWND>(nullptr), IDD_VE_LANGUAGES);
    EXPECT_EQ(&TModule::Default(), dialog.GetModule());
    EXPECT_EQ(GetModuleHandleW(nullptr), TModule::Default().GetHandle());
}

TEST(DialogBaseLanguage, PaneTakesItsDialogsLanguageWithoutAskingTheHostAgain)
{
    auto& host = VireoTest::FakeHostApplication::Get();
    host.language = German;
    QLX::DialogBase dialog(static_cast<HWND>(nullptr), IDD_VE_LANGUAGES);
    dialog.Create();
    host.language = English;
    QLX::DialogBase pane(&dialog, IDD_VE_LANGUAGES);
    EXPECT_EQ(L"Deutsch", CaptionOf(pane));
    dialog.CloseWindow(IDCANCEL);
}
