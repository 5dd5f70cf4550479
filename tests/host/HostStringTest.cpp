// The host's own string objects keep the string contract; how the module adopts them is
// tested with the module.

#include "HostString.h"

#include "support/HostStringTest.h"

#include <gtest/gtest.h>

using namespace VireoHost;

namespace {

using VireoTest::HostStringTest;

TEST_F(HostStringTest, HostStringsKeepTheStringContract)
{
    IQLXString* host = NewHostString(L"abcd");
    wchar_t buffer[5] = {};
    EXPECT_EQ(host->CopyChars(sizeof buffer, buffer), S_OK);
    EXPECT_STREQ(buffer, L"abcd");
    EXPECT_EQ(host->CopyChars(sizeof buffer - 1, buffer), E_FAIL);
    ULONG capacity = 0;
    host->GetCapacity(&capacity);
    EXPECT_EQ(capacity, 7u); // the minimum of 8, terminator excluded
    host->AddRef();
    BSTR text = SysAllocString(L"xy");
    EXPECT_EQ(host->SetText(text), E_FAIL); // shared
    host->Release();
    EXPECT_EQ(host->SetText(text), S_OK);
    EXPECT_EQ(TextOf(host), L"xy");
    SysFreeString(text);
    EXPECT_EQ(TakeText(host), L"xy");
    EXPECT_EQ(TextOf(nullptr), L"");
}

} // namespace
