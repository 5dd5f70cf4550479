// Observable behaviour of the XML reader: entry checks, names, entities, CDATA,
// attributes, end tags, content folding and nesting.

#include "XMLTestSupport.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using namespace XMLTest;
using testing::ElementsAre;

namespace {

const wchar_t ParseErrorText[] = L"FXML reports parse error.";

void ExpectFailure(const wchar_t* input, int code, const std::wstring& text)
{
    SCOPED_TRACE("input: " + testing::PrintToString(std::wstring(input)));
    FXMLReader reader;
    Tree root = Parse(reader, input);
    EXPECT_EQ(nullptr, root.get());
    EXPECT_EQ(code, reader.ErrorCode());
    EXPECT_EQ(text, W(reader.ErrorText()));
}

} // namespace

TEST(XMLReaderEntry, MalformedStartsAndEndsFailWithTheirCodes)
{
    const struct {
        const wchar_t* input;
        int code;
        const wchar_t* text;
    } cases[] = {
        {L"", FXMLReader::EmptyInput, L"File not found or empty"},
        {L" <?xml version=\"1.0\"?><a/>", FXMLReader::JunkBeforeHeader, L"Junk before the xml version header."},
        {L"<?xml version=\"1.0\" <a/>", FXMLReader::MissingHeaderEnd, L"Missing closing header bracket."},
        // Nothing after the declaration, or input that ends inside the root.
        {L"<?xml version=\"1.0\"?>  ", FXMLReader::ParseFailure, ParseErrorText},
        {L"<a><b/>", FXMLReader::ParseFailure, ParseErrorText},
        {L"<a attr=\"1", FXMLReader::ParseFailure, ParseErrorText},
        {L"no tag at all", FXMLReader::ParseFailure, ParseErrorText},
    };
    for (const auto& c : cases)
        ExpectFailure(c.input, c.code, c.text);
}

TEST(XMLReaderEntry, DeclarationTextAfterTheFirstTagIsNoDeclaration)
{
    for (const wchar_t* text : {L"<a>x</a><?xml version=\"1.0\"?>", L"<a v='<?xml version=\"1.0\"?>'>x</a>",
                                L"<a><![CDATA[<?xml version=\"1.0\"?>]]>x</a>"}) {
        FXMLReader reader;
        Tree root = Parse(reader, text);
        ASSERT_NE(nullptr, root.get()) << W(reader.ErrorText());
        EXPECT_EQ(L"a", W(root->Name()));
        EXPECT_EQ(L"", W(reader.HeaderText()));
    }
    ExpectFailure(L"junk <?xml version=\"1.0\"?><a/>", FXMLReader::JunkBeforeHeader,
                  L"Junk before the xml version header.");
}

TEST(XMLReaderEntry, DeclarationIsKeptAsHeaderAndSkippedWithWhatFollowsIt)
{
    FXMLReader reader;
    Tree root = Parse(reader, L"<?xml version=\"1.0\" encoding=\"UTF-16\"?>junk\r\n<a>x</a>");
    ASSERT_NE(nullptr, root.get());
    EXPECT_EQ(0, reader.ErrorCode());
    EXPECT_EQ(L"", W(reader.ErrorText()));
    EXPECT_EQ(L"<?xml version=\"1.0\" encoding=\"UTF-16\"?>", W(reader.HeaderText()));
    EXPECT_EQ(L"a", W(root->Name()));
    EXPECT_EQ(L"x", W(root->Text()));
}

TEST(XMLReaderEntry, ShortInputWithAProcessingInstructionIsRead)
{
    // Under fourteen characters no declaration is looked for; the instruction is skipped.
    FXMLReader reader;
    Tree root = Parse(reader, L"<?xml?><abc/>");
    ASSERT_NE(nullptr, root.get());
    EXPECT_EQ(L"abc", W(root->Name()));
    EXPECT_EQ(L"", W(reader.HeaderText()));
}

TEST(XMLReaderEntry, TextAfterTheRootIsIgnored)
{
    FXMLReader reader;
    Tree root = Parse(reader, L"<a>x</a><b>&bogus; ]]></c>");
    ASSERT_NE(nullptr, root.get());
    EXPECT_EQ(L"a", W(root->Name()));
    EXPECT_TRUE(root->Children().empty());
}

TEST(XMLReaderEntry, EachParseResetsTheStatus)
{
    FXMLReader reader;
    EXPECT_EQ(nullptr, Parse(reader, L"<a>&x;</a>").get());
    EXPECT_EQ(FXMLReader::UnknownEntity, reader.ErrorCode());
    Tree root = Parse(reader, L"<a/>");
    ASSERT_NE(nullptr, root.get());
    EXPECT_EQ(0, reader.ErrorCode());
    EXPECT_EQ(L"", W(reader.ErrorText()));

    Parse(reader, L"<?xml version=\"1.0\"?><a/>");
    EXPECT_NE(L"", W(reader.HeaderText()));
    Parse(reader, L"<a/>");
    EXPECT_EQ(L"", W(reader.HeaderText()));
}

TEST(XMLReaderNames, BadCharactersOfTagAndAttributeNamesFail)
{
    const struct {
        const wchar_t* input;
        const wchar_t* text;
    } cases[] = {
        {L"<1a/>", L"Bad name first character 1. Must be alphabetic or either '_' or ':'."},
        {L"<a$b/>", L"Bad name character $. Must be alphnumeric or one of '.-_:'"},
        {L"<a -b=\"1\"/>", L"Bad name first character -. Must be alphabetic or either '_' or ':'."},
        {L"<a b+=\"1\"/>", L"Bad name character +. Must be alphnumeric or one of '.-_:'"},
        // An escaped character is still checked.
        {L"<a&lt;/>", L"Bad name character <. Must be alphnumeric or one of '.-_:'"},
    };
    for (const auto& c : cases)
        ExpectFailure(c.input, FXMLReader::ParseFailure, c.text);
}

TEST(XMLReaderNames, AllNameCharactersAreAccepted)
{
    FXMLReader reader;
    Tree root = Parse(reader, L"<_a:Z9.x-y}><:b c.d-e_f:0}='v'/></_a:Z9.x-y}>");
    ASSERT_NE(nullptr, root.get()) << W(reader.ErrorText());
    EXPECT_EQ(L"_a:Z9.x-y}", W(root->Name()));
    ASSERT_EQ(1u, root->Children().size());
    EXPECT_EQ(L":b", W(root->Children()[0]->Name()));
    EXPECT_EQ(1u, root->Children()[0]->Attributes().count(QLXString(L"c.d-e_f:0}")));
}

TEST(XMLReaderEntities, LessThanAndGreaterThanBecomeTextNotATag)
{
    FXMLReader reader;
    Tree root = Parse(reader, L"<a>&lt;b&gt;</a>");
    ASSERT_NE(nullptr, root.get());
    EXPECT_EQ(L"<b>", W(root->Text()));
    EXPECT_TRUE(root->Children().empty());
    EXPECT_FALSE(root->IsCData());
}

TEST(XMLReaderEntities, AllFiveAreDecodedOnceInTextAndValues)
{
    FXMLReader reader;
    Tree root = Parse(reader, L"<a v='&lt;&gt;&amp;&apos;&quot;&amp;lt;'>&lt;&gt;&amp;&apos;&quot;&amp;gt;</a>");
    ASSERT_NE(nullptr, root.get());
    EXPECT_EQ(L"<>&'\"&gt;", W(root->Text()));
    EXPECT_EQ(L"<>&'\"&lt;", W(root->Attributes().at(QLXString(L"v"))));
}

TEST(XMLReaderEntities, AnEscapedQuoteDoesNotEndTheValue)
{
    FXMLReader reader;
    Tree root = Parse(reader, L"<a v=\"x&quot;y\" w='&apos;'/>");
    ASSERT_NE(nullptr, root.get());
    EXPECT_EQ(L"x\"y", W(root->Attributes().at(QLXString(L"v"))));
    EXPECT_EQ(L"'", W(root->Attributes().at(QLXString(L"w"))));
}

TEST(XMLReaderEntities, UnknownEntityInContentOrValueFails)
{
    ExpectFailure(L"<a>&nbsp;</a>", FXMLReader::UnknownEntity, L"Unrecognised entity or bogus &.");
    ExpectFailure(L"<a>fish & chips</a>", FXMLReader::UnknownEntity, L"Unrecognised entity or bogus &.");
    ExpectFailure(L"<a v=\"&lt\"/>", FXMLReader::UnknownEntity, L"Unrecognised entity or bogus &.");
}

TEST(XMLReaderEntities, AmpersandInADeclarationIsOrdinary)
{
    FXMLReader reader;
    Tree root = Parse(reader, L"<!-- fish & chips --><a/>");
    ASSERT_NE(nullptr, root.get());
    EXPECT_EQ(L"a", W(root->Name()));
}

TEST(XMLReaderCData, SectionIsTakenVerbatimAndFlagged)
{
    FXMLReader reader;
    Tree root = Parse(reader, L"<a>x<![CDATA[ <b>&bogus;\n  y ]]>z</a>");
    ASSERT_NE(nullptr, root.get());
    EXPECT_EQ(L"x <b>&bogus;\n  y z", W(root->Text()));
    EXPECT_TRUE(root->IsCData());
    EXPECT_TRUE(root->Children().empty());
}

TEST(XMLReaderCData, SectionWithoutEndFails)
{
    ExpectFailure(L"<a><![CDATA[x</a>", FXMLReader::UnterminatedCData, L"Mismatched CDATA tag.");
}

TEST(XMLReaderCData, EndSequenceOutsideASectionFails)
{
    const wchar_t text[] = L"CDEnd character sequence (\"]]>\") outside CData section.";
    ExpectFailure(L"<a>x]]>y</a>", FXMLReader::CDataEndOutsideSection, text);
    ExpectFailure(L"<a ]]>", FXMLReader::CDataEndOutsideSection, text);
    ExpectFailure(L"<!-- ]]> --><a/>", FXMLReader::CDataEndOutsideSection, text);
}

TEST(XMLReaderCData, EndSequenceInsideAnAttributeValueIsOrdinary)
{
    FXMLReader reader;
    Tree root = Parse(reader, L"<a v=\"]]>\">]]</a>");
    ASSERT_NE(nullptr, root.get());
    EXPECT_EQ(L"]]>", W(root->Attributes().at(QLXString(L"v"))));
    EXPECT_EQ(L"]]", W(root->Text()));
}

TEST(XMLReaderAttributes, SelfClosingWithAndWithoutSpaceHasNoText)
{
    for (const wchar_t* input : {L"<a/>", L"<a />", L"<a\r\n/ >"}) {
        FXMLReader reader;
        Tree root = Parse(reader, input);
        ASSERT_NE(nullptr, root.get()) << W(reader.ErrorText());
        EXPECT_EQ(L"a", W(root->Name()));
        EXPECT_EQ(L"", W(root->Text()));
        EXPECT_TRUE(root->Children().empty());
    }
}

TEST(XMLReaderAttributes, EitherQuoteMayHoldTheOther)
{
    FXMLReader reader;
    Tree root = Parse(reader, L"<a s='say \"hi\"' d=\"it's\"/>");
    ASSERT_NE(nullptr, root.get());
    EXPECT_EQ(L"say \"hi\"", W(root->Attributes().at(QLXString(L"s"))));
    EXPECT_EQ(L"it's", W(root->Attributes().at(QLXString(L"d"))));
}

TEST(XMLReaderAttributes, RepeatedNameKeepsTheFirstValue)
{
    FXMLReader reader;
    Tree root = Parse(reader, L"<a k=\"first\" k='second'/>");
    ASSERT_NE(nullptr, root.get());
    ASSERT_EQ(1u, root->Attributes().size());
    EXPECT_EQ(L"first", W(root->Attributes().at(QLXString(L"k"))));
}

TEST(XMLReaderAttributes, OrderedByCodeUnit)
{
    FXMLReader reader;
    Tree root = Parse(reader, L"<a b='1' a='2' _='3' B='4' ab='5'/>");
    ASSERT_NE(nullptr, root.get());
    std::vector<std::wstring> names;
    for (const auto& attribute : root->Attributes())
        names.push_back(W(attribute.first));
    EXPECT_THAT(names, ElementsAre(L"B", L"_", L"a", L"ab", L"b"));
}

TEST(XMLReaderAttributes, ValueKeepsWhiteSpaceAndMarkupCharacters)
{
    FXMLReader reader;
    Tree root = Parse(reader, L"<a v=' x\r\n\t<b>/ '/>");
    ASSERT_NE(nullptr, root.get());
    EXPECT_EQ(L" x\r\n\t<b>/ ", W(root->Attributes().at(QLXString(L"v"))));
    EXPECT_TRUE(root->Children().empty());
}

TEST(XMLReaderAttributes, AttributeWithoutQuotedValueFails)
{
    ExpectFailure(L"<a v=1/>", FXMLReader::ParseFailure, ParseErrorText);
    ExpectFailure(L"<a v>x</a>", FXMLReader::ParseFailure,
                  L"Bad name character >. Must be alphnumeric or one of '.-_:'");
}

TEST(XMLReaderEndTags, OtherNameFailsNamingBothAndTheLine)
{
    const struct {
        const wchar_t* input;
        const wchar_t* expecting;
        const wchar_t* encountered;
        int line;
    } cases[] = {
        {L"<a>\n<b>\ntext</c>\n</a>", L"b", L"c", 3},
        // Line breaks inside sections and values count, and so do those of the declaration.
        {L"<a v='\n'><![CDATA[\n\n]]></b>", L"a", L"b", 4},
        {L"<?xml version=\"1.0\"?>\n\n<a></b>", L"a", L"b", 3},
        {L"<?xml version=\"1.0\"\n?>\r\n<a>\r\n<b/>\r\n</c>", L"a", L"c", 5},
    };
    for (const auto& c : cases)
        ExpectFailure(c.input, FXMLReader::UnmatchedEndTag,
                      std::wstring(L"FXML reports parsing error.  Unmatched tag: Expecting ") + c.expecting +
                          L" but encountered " + c.encountered + L" at line: " + std::to_wstring(c.line));
}

TEST(XMLReaderEndTags, CommentOrInstructionRightBeforeTheEndTagIsSkipped)
{
    for (const wchar_t* text : {L"<r><x/><!-- c --></r>", L"<r><x/><?pi c?></r>", L"<r>t<!-- c --></r>"}) {
        FXMLReader reader;
        Tree root = Parse(reader, text);
        ASSERT_NE(nullptr, root.get()) << W(reader.ErrorText());
        EXPECT_EQ(L"r", W(root->Name()));
    }
}

TEST(XMLReaderEndTags, EmptyEndTagClosesAnyElement)
{
    FXMLReader reader;
    Tree root = Parse(reader, L"<a>x<b>y</></a >");
    ASSERT_NE(nullptr, root.get()) << W(reader.ErrorText());
    EXPECT_EQ(L"x", W(root->Text()));
    ASSERT_EQ(1u, root->Children().size());
    EXPECT_EQ(L"y", W(root->Children()[0]->Text()));
}

TEST(XMLReaderContent, WhiteSpaceAndLineBreaksFoldAsTheReaderReadsThem)
{
    const struct {
        const wchar_t* input;
        const wchar_t* text;
    } cases[] = {
        {L"<a>a\n  b\r\n\t\r\nc</a>", L"a b c"}, // a break and the white space after it are one space
        {L"<a> \t b</a>", L"b"},                 // leading spaces are dropped
        {L"<a>\n  b</a>", L" b"},                // but a leading break leaves one space
        {L"<a>x \n<b/>y\n</a>", L"x y"},         // a tag cancels a pending space, not plain spaces
        {L"<a>1 > 0</a>", L"1 > 0"},             // greater-than is ordinary in content
        // One line break after an end tag is consumed, a line feed or a CR LF pair.
        {L"<a><b/>\ny<c/>\r\nz</a>", L"yz"},
        {L"<a><b>x</b>\ny</a>", L"y"},
        {L"<a><b>x</b>\r\ny</a>", L"y"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.input)));
        FXMLReader reader;
        Tree root = Parse(reader, c.input);
        ASSERT_NE(nullptr, root.get());
        EXPECT_EQ(c.text, W(root->Text()));
    }
}

TEST(XMLReaderContent, TextAroundChildrenIsJoined)
{
    FXMLReader reader;
    Tree root = Parse(reader, L"<a>one<b>inner</b>two<c/>three</a>");
    ASSERT_NE(nullptr, root.get());
    EXPECT_EQ(L"onetwothree", W(root->Text()));
    EXPECT_EQ(L"inner", W(root->Children()[0]->Text()));
}

TEST(XMLReaderStructure, ChildrenAreInDocumentOrderWithTheirParent)
{
    FXMLReader reader;
    Tree root = Parse(reader, L"<r><x/><y><z/></y><x/></r>");
    ASSERT_NE(nullptr, root.get());
    EXPECT_EQ(nullptr, root->Parent());
    EXPECT_THAT(ChildNames(*root), ElementsAre(L"x", L"y", L"x"));
    for (const FXMLElement* child : root->Children())
        EXPECT_EQ(root.get(), child->Parent());
    const FXMLElement* y = root->Children()[1];
    ASSERT_EQ(1u, y->Children().size());
    EXPECT_EQ(y, y->Children()[0]->Parent());
}

TEST(XMLReaderStructure, DeclarationsAndCommentsBeforeATagAreSkipped)
{
    FXMLReader reader;
    Tree root = Parse(reader, L"<!DOCTYPE r>\n<!-- c --><r><!-- d --><x/></r>");
    ASSERT_NE(nullptr, root.get()) << W(reader.ErrorText());
    EXPECT_EQ(L"r", W(root->Name()));
    EXPECT_THAT(ChildNames(*root), ElementsAre(L"x"));
}

TEST(XMLReaderStructure, FailureInsideADeepChildDestroysTheWholeTree)
{
    const long before = FXMLElement::LiveCount();
    FXMLReader reader;
    EXPECT_EQ(nullptr, Parse(reader, L"<a><b/><c><d/><e>&bad;</e></c></a>").get());
    EXPECT_EQ(FXMLReader::UnknownEntity, reader.ErrorCode());
    EXPECT_EQ(before, FXMLElement::LiveCount());
}

TEST(XMLReaderStructure, NestingUpToTheLimitIsRead)
{
    std::wstring text;
    for (int i = 0; i < FXMLReader::MaxDepth; ++i)
        text += L"<e>";
    text += L"deep";
    for (int i = 0; i < FXMLReader::MaxDepth; ++i)
        text += L"</e>";
    FXMLReader reader;
    Tree root = Parse(reader, text.c_str());
    ASSERT_NE(nullptr, root.get()) << W(reader.ErrorText());
    int depth = 1;
    const FXMLElement* e = root.get();
    while (!e->Children().empty()) {
        e = e->Children()[0];
        ++depth;
    }
    EXPECT_EQ(FXMLReader::MaxDepth, depth);
    EXPECT_EQ(L"deep", W(e->Text()));
}

TEST(XMLReaderStructure, NestingBeyondTheLimitFailsInsteadOfOverflowing)
{
    for (int levels : {FXMLReader::MaxDepth + 1, 200000}) {
        std::wstring text;
        for (int i = 0; i < levels; ++i)
            text += L"<e>";
        ExpectFailure(text.c_str(), FXMLReader::ParseFailure, L"Elements nested too deeply.");
    }
}

TEST(XMLReaderStructure, TypicalInputDescriptionGivesItsRange)
{
    FXMLReader reader;
    Tree root = Parse(reader, L"<?xml version=\"1.0\"?>\r\n"
                              L"<InputSettings Index=\"0\">\r\n"
                              L"  <Name>Input 1</Name>\r\n"
                              L"  <PhysicalGainIndex>10 V</PhysicalGainIndex>\r\n"
                              L"  <PhysicalGainIndex>200 mV</PhysicalGainIndex>\r\n"
                              L"</InputSettings>\r\n");
    ASSERT_NE(nullptr, root.get()) << W(reader.ErrorText());
    EXPECT_THAT(ChildNames(*root), ElementsAre(L"Name", L"PhysicalGainIndex", L"PhysicalGainIndex"));
    EXPECT_EQ(L"10 V", W(root->Children()[1]->Text()));
    EXPECT_EQ(L"0", W(root->Attributes().at(QLXString(L"Index"))));
}

TEST(XMLReaderStructure, EndTagInPlaceOfAStartTagIsABadFirstCharacter)
{
    for (const wchar_t* text : {L"</>", L"</a>", L" x </a>"})
        ExpectFailure(text, FXMLReader::ParseFailure,
                      L"Bad name first character /. Must be alphabetic or either '_' or ':'.");
}
