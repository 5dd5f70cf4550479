// Product words replaced in substituted resource strings, and paths beside the host.

#include "foundation/ModuleInstance.h"
#include "foundation/ProductWords.h"

#include "TestStrings.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// The module's table lives until unload; build it before any test counts representations.
const bool tableBuilt = (ProductWordTable::Instance(QLX::GetModuleInstance()), true);

QLXString Substituted(UINT id)
{
    return LoadResourceString(QLX::GetModuleInstance(), id, true);
}

} // namespace

TEST(ProductWordTable, HoldsTheFourWordsInOrder)
{
    const ProductWordTable& table = ProductWordTable::Instance(QLX::GetModuleInstance());
    ASSERT_EQ(4u, table.Size());
    const wchar_t* expected[4][3] = {{L"VARNFORWINDOWS", L"Kestrana", L"AppTitle"},
                                     {L"VARN", L"Kestrana", L"AppName"},
                                     {L"KORVANE", L"Korvane", L"HardwareName"},
                                     {L"OEM", L"Veltrisk", L"OEMName"}};
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_TRUE(table[i].pattern == expected[i][0]) << i;
        EXPECT_TRUE(table[i].replacement == expected[i][1]) << i;
        EXPECT_TRUE(table[i].key == expected[i][2]) << i;
    }
}

TEST(ProductWordTable, LongerWordIsReplacedBeforeTheWordItContains)
{
    EXPECT_STREQ(L"Kestrana setup", Substituted(IDS_TEST_APP_TITLE).c_str());
}

TEST(ProductWordTable, EveryOccurrenceIsReplaced)
{
    EXPECT_STREQ(L"Korvane and Korvane", Substituted(IDS_TEST_HARDWARE_TWICE).c_str());
    EXPECT_STREQ(L"Kestrana on Korvane by Veltrisk, Kestrana", Substituted(IDS_TEST_ALL_WORDS).c_str());
}

TEST(ProductWordTable, WithoutTheFlagWordsStay)
{
    EXPECT_STREQ(L"VARN on KORVANE by OEM, VARNFORWINDOWS",
                 LoadResourceString(QLX::GetModuleInstance(), IDS_TEST_ALL_WORDS, false).c_str());
}

TEST(ProductWordTable, InsertedTextIsNotSearchedAgain)
{
    ProductWordTable table;
    table.AddPair(nullptr, QLXString(L"ab"), QLXString(L"xaby"));
    QLXString text(L"ab-ab");
    table.Apply(text);
    EXPECT_STREQ(L"xaby-xaby", text.c_str());
}

TEST(ProductWordTable, LaterPairsSeeEarlierReplacements)
{
    ProductWordTable table;
    table.AddPair(nullptr, QLXString(L"A"), QLXString(L"B"));
    table.AddPair(nullptr, QLXString(L"B"), QLXString(L"C"));
    QLXString text(L"AB");
    table.Apply(text);
    EXPECT_STREQ(L"CC", text.c_str());
}

TEST(ProductWordTable, EmptyDefaultFallsBackToTheModuleResource)
{
    ProductWordTable table;
    table.AddPair(QLX::GetModuleInstance(), QLXString(L"WORD"), QLXString());
    ASSERT_EQ(1u, table.Size());
    EXPECT_STREQ(L"Fallback word", table[0].replacement.c_str());
}

TEST(ProductWordTable, EmptyDefaultFallsBackToTheHostApplication)
{
    // kernel32 has no such string; the host application (this test program) has.
    ProductWordTable table;
    table.AddPair(GetModuleHandleW(L"kernel32.dll"), QLXString(L"WORD"), QLXString());
    EXPECT_STREQ(L"Fallback word", table[0].replacement.c_str());
}

TEST(ProductWordTable, DefaultWinsOverTheResource)
{
    ProductWordTable table;
    table.AddPair(QLX::GetModuleInstance(), QLXString(L"WORD"), QLXString(L"given"));
    EXPECT_STREQ(L"given", table[0].replacement.c_str());
}

TEST(HostPath, IsTheRelativePathInTheExecutablesFolder)
{
    EXPECT_STREQ(
        L"C:\\Apps\\Host\\Essential Files\\Ofig.qlxini",
        ResolvePathBeside(QLXString(L"C:\\Apps\\Host\\Host.exe"), QLXString(L"Essential Files\\Ofig.qlxini")).c_str());
    EXPECT_STREQ(L"C:\\Apps\\Host\\Ofig.qlxini",
                 ResolvePathBeside(QLXString(L"C:\\Apps\\Host\\Host.exe"), QLXString(L"D:\\Ofig.qlxini")).c_str())
        << "the relative path's drive is not used";
    EXPECT_STREQ(L"C:x.ini", ResolvePathBeside(QLXString(L"C:Host.exe"), QLXString(L"x.ini")).c_str());
}

TEST(HostPath, UsesTheRunningExecutable)
{
    wchar_t exe[MAX_PATH] = {};
    ASSERT_NE(0u, GetModuleFileNameW(nullptr, exe, MAX_PATH));
    std::wstring expected(exe);
    expected.erase(expected.find_last_of(L'\\') + 1);
    expected += L"Essential Files\\Ofig.qlxini";
    EXPECT_EQ(expected, std::wstring(ResolveHostPath(QLXString(L"Essential Files\\Ofig.qlxini")).c_str()));
    EXPECT_EQ(expected, std::wstring(ProductWordTable::Instance(nullptr).SettingsPath().c_str()));
}
