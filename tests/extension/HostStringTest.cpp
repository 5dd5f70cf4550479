#include "HostString.h"

#include "foundation/QLXString.h"
#include "support/HostStringTest.h"

#include <gtest/gtest.h>

using namespace VireoHost;

namespace {

using VireoTest::HostStringTest;

TEST_F(HostStringTest, TheModuleAdoptsAHostStringInPlaceAndDestroysIt)
{
    IQLXString* host = NewHostString(L"abc");
    ASSERT_NE(host, nullptr);
    const wchar_t* chars = host->Chars();
    const long live = LiveHostStrings();
    {
        QLXString adopted = QLXString::Attach(host);
        EXPECT_EQ(adopted.c_str(), chars);
        EXPECT_EQ(adopted.Length(), 3u);
        EXPECT_EQ(LiveHostStrings(), live);
    }
    EXPECT_EQ(LiveHostStrings(), live - 1);
    // The module's last release ran the host's Destroy.
}

TEST_F(HostStringTest, NarrowTextOfAHostStringComesFromTheModulesOwnCopy)
{
    IQLXString* host = NewHostString(L"abc");
    const long live = LiveHostStrings();
    QLXString adopted = QLXString::Attach(host);
    EXPECT_STREQ(adopted.NarrowText(), "abc");
    // The host's narrow buffer belongs to the host's heap: the module let go of it.
    EXPECT_NE(adopted.c_str(), static_cast<const wchar_t*>(nullptr));
    EXPECT_EQ(LiveHostStrings(), live - 1);
}

TEST_F(HostStringTest, AModuleCopyLeavesTheHostStringAlone)
{
    IQLXString* host = NewHostString(L"input");
    QLXString copy(host);
    EXPECT_NE(copy.c_str(), host->Chars());
    EXPECT_STREQ(copy.c_str(), L"input");
    VARIANT_BOOL shared = VARIANT_TRUE;
    host->IsShared(&shared);
    EXPECT_EQ(shared, VARIANT_FALSE);
    QLXString adopted = QLXString::Attach(host);
    QLXString second = adopted;
    second.Append(L"!");
    EXPECT_STREQ(adopted.c_str(), L"input");
    EXPECT_STREQ(second.c_str(), L"input!");
    VARIANT_BOOL equal = VARIANT_FALSE;
    EXPECT_EQ(adopted.Rep()->IsEqual(copy.Rep(), &equal), S_OK);
    EXPECT_EQ(equal, VARIANT_TRUE);
    EXPECT_EQ(copy.Rep()->IsEqual(adopted.Rep(), &equal), S_OK);
    EXPECT_EQ(equal, VARIANT_TRUE);
}

TEST_F(HostStringTest, TheHostReadsTheModulesStringsThroughTheInterface)
{
    const QLXString module(L"from the module");
    EXPECT_EQ(TextOf(module.Rep()), L"from the module");
    EXPECT_EQ(TakeText(module.GetInterface()), L"from the module");
}

} // namespace
