// FXMLElement on its own: empty-name substitution, attribute order, ownership of
// children and detaching on destruction.

#include "XMLTestSupport.h"

#include "support/LeakCheck.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using namespace XMLTest;
using testing::ElementsAre;

namespace {

[[maybe_unused]] const bool registered = [] {
    VireoTest::RegisterLiveCounter("XML elements", [] { return FXMLElement::LiveCount(); });
    return true;
}();

FXMLElement* Named(const wchar_t* name)
{
    auto* e = new FXMLElement;
    e->SetName(QLXString(name));
    return e;
}

} // namespace

TEST(XMLElement, EmptyNamesAreReplaced)
{
    FXMLElement e;
    e.SetName(QLXString());
    EXPECT_EQ(L"Invalid.Empty.Name.Supplied", W(e.Name()));
    e.AddAttribute(QLXString(), QLXString(L"v"));
    ASSERT_EQ(1u, e.Attributes().size());
    EXPECT_EQ(L"Invalid.Empty.Name.Supplied", W(e.Attributes().begin()->first));
    EXPECT_EQ(L"v", W(e.Attributes().begin()->second));
}

TEST(XMLElement, AttributesAreOrderedByCodeUnitNotByLocale)
{
    FXMLElement e;
    for (const wchar_t* name : {L"\xE000", L"\x00E9", L"ab", L"a", L"Z"})
        e.AddAttribute(QLXString(name), QLXString(L"v"));
    std::vector<std::wstring> names;
    for (const auto& attribute : e.Attributes())
        names.push_back(W(attribute.first));
    EXPECT_THAT(names, ElementsAre(L"Z", L"a", L"ab", L"\x00E9", L"\xE000"));
}

TEST(XMLElement, DestroyingTheRootDestroysTheSubtree)
{
    const long before = FXMLElement::LiveCount();
    FXMLElement* root = Named(L"r");
    FXMLElement* child = Named(L"c");
    root->AppendChild(child);
    child->AppendChild(Named(L"g"));
    root->AppendChild(Named(L"d"));
    EXPECT_EQ(before + 4, FXMLElement::LiveCount());
    delete root;
    EXPECT_EQ(before, FXMLElement::LiveCount());
}

TEST(XMLElement, DestroyingAChildDetachesItFromItsParent)
{
    Tree root(Named(L"r"));
    FXMLElement* a = Named(L"a");
    FXMLElement* b = Named(L"b");
    FXMLElement* c = Named(L"c");
    root->AppendChild(a);
    root->AppendChild(b);
    root->AppendChild(c);
    delete b;
    EXPECT_THAT(ChildNames(*root), ElementsAre(L"a", L"c"));
    EXPECT_EQ(root.get(), c->Parent());
}

TEST(XMLElement, AppendingMovesAChildFromItsEarlierParent)
{
    Tree first(Named(L"first"));
    Tree second(Named(L"second"));
    FXMLElement* child = Named(L"child");
    first->AppendChild(child);
    second->AppendChild(child);
    EXPECT_TRUE(first->Children().empty());
    EXPECT_THAT(ChildNames(*second), ElementsAre(L"child"));
    EXPECT_EQ(second.get(), child->Parent());
}

TEST(XMLElement, ParsedTreeIsIndependentOfItsReader)
{
    Tree root;
    {
        FXMLReader reader;
        root = Parse(reader, L"<a k='v'>t<b/></a>");
    }
    ASSERT_NE(nullptr, root.get());
    EXPECT_EQ(L"t", W(root->Text()));
    EXPECT_EQ(L"v", W(root->Attributes().at(QLXString(L"k"))));
    EXPECT_THAT(ChildNames(*root), ElementsAre(L"b"));
}
