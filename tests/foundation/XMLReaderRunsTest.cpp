// The reader's quick paths: runs of characters taken in one go, strings shared within a
// parse, the terminator found a word at a time, and parsed trees kept in one arena.

#include "XMLTestSupport.h"

#include <gtest/gtest.h>

#include <string>

using namespace XMLTest;

TEST(XMLReaderRuns, RunsStopWhereEntitiesBreaksAndMarkupNeedTheCharacterSteps)
{
    const struct {
        const wchar_t* input;
        const wchar_t* text;
        const wchar_t* attribute;
        const wchar_t* value;
    } cases[] = {
        {L"<a v='x&amp;y\n z'>p&lt;q r</a>", L"p<q r", L"v", L"x&y\n z"},
        {L"<a>x]y] ]</a>", L"x]y] ]", nullptr, nullptr},
        {L"<a>  x \t y\r\n \t z \n</a>", L"x \t y z ", nullptr, nullptr},
        {L"<a>\n x<!-- c\n -->y</a>", L" xy", nullptr, nullptr},
        {L"<a>one<b/> two\n<c/>\tthree</a>", L"one two\tthree", nullptr, nullptr},
        {L"<a v w='1'/>", L"", L"vw", L"1"},
        {L"<a v='\x00E9\x20AC'>\x00E9 \x20AC\n</a / >", L"\x00E9 \x20AC", L"v", L"\x00E9\x20AC"},
    };
    for (const auto& c : cases) {
        FXMLReader reader;
        Tree root = Parse(reader, c.input);
        ASSERT_NE(nullptr, root.get()) << testing::PrintToString(std::wstring(c.input));
        EXPECT_EQ(c.text, W(root->Text()));
        if (c.attribute) {
            EXPECT_EQ(c.value, W(root->Attributes().at(QLXString(c.attribute))));
        }
    }
}

TEST(XMLReaderRuns, LineFeedsInsideRunsAreCounted)
{
    const struct {
        const wchar_t* input;
        int line;
    } cases[] = {
        {L"<a>x\n\ny</b>", 3}, {L"<a v='\n\n'></b>", 3},   {L"<!--\n\n--><a></b>", 3},
        {L"<a\n\n></b>", 3},   {L"<a b\n\nc='1'></b>", 3}, {L"<a>\n<c></c\n\n></b>", 4},
    };
    for (const auto& c : cases) {
        FXMLReader reader;
        EXPECT_EQ(nullptr, Parse(reader, c.input).get());
        EXPECT_EQ(L"FXML reports parsing error.  Unmatched tag: Expecting a but encountered b at line: " +
                      std::to_wstring(c.line),
                  W(reader.ErrorText()));
    }
}

TEST(XMLReaderRuns, TextEndsAtAnEmbeddedTerminatorWhereverItFalls)
{
    for (size_t letters = 0; letters < 6; ++letters) {
        // Read past the terminator, the end tag behind it would complete the root.
        const std::wstring full = L"<a>" + std::wstring(letters, L'x') + L'\0' + L"</a>";
        QLXString text;
        wmemcpy(text.PrepareBuffer(static_cast<unsigned>(full.size())), full.data(), full.size());
        text.SetRepLength(static_cast<unsigned>(full.size()) + 1);
        FXMLReader reader;
        EXPECT_EQ(nullptr, Tree(reader.Parse(text)).get()) << letters;
        EXPECT_EQ(FXMLReader::ParseFailure, reader.ErrorCode());
    }
}

TEST(XMLReaderRuns, SharedStringsKeepEveryValueBeyondTheTableLimits)
{
    // More distinct strings than are shared, and long repeated texts.
    const std::wstring longText(80, L'x');
    std::wstring text = L"<r>";
    const int count = 20000;
    for (int i = 0; i < count; ++i)
        text += L"<e" + std::to_wstring(i % 3) + L" i='" + std::to_wstring(i) + L"' i" + std::to_wstring(i) + L"='v" +
                std::to_wstring(i) + L"'>" + (i % 2 ? longText : L"t") + L"</e" + std::to_wstring(i % 3) + L">";
    text += L"</r>";
    FXMLReader reader;
    for (int pass = 0; pass < 2; ++pass) {
        Tree root = Parse(reader, text.c_str());
        ASSERT_NE(nullptr, root.get()) << W(reader.ErrorText());
        ASSERT_EQ(size_t(count), root->Children().size());
        for (int i = 0; i < count; i += 997) {
            const FXMLElement& e = *root->Children()[i];
            const std::wstring n = std::to_wstring(i);
            EXPECT_EQ(L"e" + std::to_wstring(i % 3), W(e.Name()));
            EXPECT_EQ(n, W(e.Attributes().at(QLXString(L"i"))));
            EXPECT_EQ(L"v" + n, W(e.Attributes().at(QLXString((L"i" + n).c_str()))));
            EXPECT_EQ(i % 2 ? longText : L"t", W(e.Text()));
        }
        // A small document after a large one on the same reader.
        Tree small = Parse(reader, L"<e0 i='x'>t</e0>");
        ASSERT_NE(nullptr, small.get());
        EXPECT_EQ(L"x", W(small->Attributes().at(QLXString(L"i"))));
    }
}

TEST(XMLReaderRuns, ParsedElementsOutliveTheirTreeAndAcceptChanges)
{
    const long before = FXMLElement::LiveCount();
    FXMLElement* kept = nullptr;
    {
        FXMLReader reader;
        Tree root = Parse(reader, L"<r><a k='v'><g/></a><b/></r>");
        ASSERT_NE(nullptr, root.get());
        FXMLElement* a = root->Children()[0];
        delete a->Children()[0];
        a->AddAttribute(QLXString(L"added"), QLXString(L"later"));
        a->AppendChild(new FXMLElement);
        root->Children()[1]->AppendChild(new FXMLElement);
        kept = new FXMLElement;
        kept->AppendChild(a);
    }
    // A new tree takes the memory a wrongly freed one would have given back.
    FXMLReader reader;
    Tree other = Parse(reader, L"<x k='w'><y/><z/></x>");
    ASSERT_EQ(1u, kept->Children().size());
    const FXMLElement& a = *kept->Children()[0];
    EXPECT_EQ(L"a", W(a.Name()));
    EXPECT_EQ(L"v", W(a.Attributes().at(QLXString(L"k"))));
    EXPECT_EQ(L"later", W(a.Attributes().at(QLXString(L"added"))));
    EXPECT_EQ(1u, a.Children().size());
    delete kept;
    other.reset();
    EXPECT_EQ(before, FXMLElement::LiveCount());
}
