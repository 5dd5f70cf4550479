// Loading string-table entries into strings, in the application's language first.

#include "foundation/ModuleInstance.h"
#include "foundation/QLXString.h"
#include "resources/resource.h"
#include "foundation/ApplicationLanguage.h"

#include "TestStrings.h"

#include <gtest/gtest.h>

namespace {

HINSTANCE Module()
{
    return QLX::GetModuleInstance();
}

// Restores the default language however a test ends.
struct ApplicationLanguage {
    explicit ApplicationLanguage(LANGID language) { SetTApplicationLanguage(language); }
    ~ApplicationLanguage() { SetTApplicationLanguage(0); }
};

} // namespace

TEST(LoadResourceString, LoadsModuleStringsExactly)
{
    EXPECT_STREQ(L"Analog Output %1", LoadResourceString(Module(), IDS_ANALOG_OUTPUT_N).c_str());
    EXPECT_STREQ(L"VireoHelp.chm::assets\\html\\english\\pc\\",
                 LoadResourceString(Module(), IDS_HELP_LOCATION).c_str());
    EXPECT_STREQ(L"You cannot turn on Vireo while sampling.\n\nStop sampling and then set up Vireo.",
                 LoadResourceString(Module(), IDS_SAMPLING_TEXT).c_str());
    EXPECT_STREQ(L"An internal error occurred while setting up Vireo.  Please contact your distributor for assistance.",
                 LoadResourceString(Module(), IDS_INTERNAL_ERROR_TEXT).c_str());
    EXPECT_STREQ(L"Get dialog help", LoadResourceString(Module(), IDS_HELP_BUTTON_HINT).c_str());
}

TEST(LoadResourceString, CapacityFitsTheEntry)
{
    QLXString none = LoadResourceString(Module(), IDS_NO_DEVICE);
    EXPECT_EQ(8u, none.Capacity());
    QLXString text = LoadResourceString(Module(), IDS_STIMULATOR_TEXT);
    EXPECT_EQ(text.RepLength(), text.Capacity());
    EXPECT_EQ(1, reinterpret_cast<const QLXStringHeader*>(text.Rep())->refs);
}

TEST(LoadResourceString, MissingZeroAndEmptyEntriesGiveTheSharedEmptyString)
{
    const IQLXString* empty = QLXString().Rep();
    EXPECT_EQ(empty, LoadResourceString(Module(), 0).Rep());
    EXPECT_EQ(empty, LoadResourceString(Module(), 3010).Rep()) << "block exists, entry does not";
    EXPECT_EQ(empty, LoadResourceString(Module(), 12345).Rep()) << "no such block";
    EXPECT_EQ(empty, LoadResourceString(Module(), IDS_TEST_EMPTY).Rep());
    QLXString out(L"previous");
    LoadResourceString(out, Module(), 12345, false);
    EXPECT_TRUE(out.IsEmpty());
}

TEST(LoadResourceString, IdentifiersAreSixteenBit)
{
    EXPECT_STREQ(L"Fallback word", LoadResourceString(Module(), 0xFFFFFFFFu).c_str());
    EXPECT_STREQ(L"Fallback word", LoadResourceString(Module(), IDS_TEST_WORD_FALLBACK).c_str());
}

TEST(LoadResourceString, PrefersTheApplicationLanguage)
{
    EXPECT_STREQ(L"English", LoadResourceString(Module(), IDS_TEST_TRANSLATED).c_str());
    ApplicationLanguage german(MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN));
    EXPECT_STREQ(L"Deutsch", LoadResourceString(Module(), IDS_TEST_TRANSLATED).c_str());
    EXPECT_STREQ(L"Only in English", LoadResourceString(Module(), IDS_TEST_ENGLISH_ONLY).c_str())
        << "a block missing in that language comes from the default one";
}

TEST(LoadResourceString, WithoutSubstitutionKeepsProductWords)
{
    EXPECT_STREQ(L"VARNFORWINDOWS setup", LoadResourceString(Module(), IDS_TEST_APP_TITLE, false).c_str());
    EXPECT_STREQ(L"KORVANE and KORVANE", LoadResourceString(Module(), IDS_TEST_HARDWARE_TWICE).c_str());
}
