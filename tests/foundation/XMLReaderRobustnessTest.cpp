// Robustness of the XML reader: many truncated and mutated documents, generated from
// a fixed seed, must each either parse into a sound tree or fail with one of the
// reader's codes and texts, without crashing and without leaving elements behind.

#include "XMLTestSupport.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <random>
#include <string>

using namespace XMLTest;

namespace {

const wchar_t* const BaseDocuments[] = {
    L"<?xml version=\"1.0\" encoding=\"UTF-16\"?>\r\n"
    L"<InputSettings Index=\"0\" Kind=\"Analog\">\r\n"
    L"  <Name>Input 1</Name>\r\n"
    L"  <PhysicalGainIndex>10 V</PhysicalGainIndex>\r\n"
    L"  <Filter LowPass=\"1 kHz\" HighPass='DC'/>\r\n"
    L"  <Ranges><Range>10 V</Range><Range>5 V</Range><Range>200 mV</Range></Ranges>\r\n"
    L"</InputSettings>\r\n",

    L"<!DOCTYPE doc>\n<!-- a comment -->\n"
    L"<doc a='1' b=\"two &amp; three\" c='&lt;&gt;&apos;&quot;'>\n"
    L"  text &lt;escaped&gt; <![CDATA[raw <stuff> & ]] more]]> tail\n"
    L"  <child x:y=\"z\" _k='v'><grand.child-1/><grand.child-2 />\n  </child>\n"
    L"  <!-- inner --><empty></empty>\n"
    L"  <q s='say \"hi\"' d=\"it's\">mixed\n\tcontent</q>\n"
    L"</doc>",

    L"<a><b><c><d><e><f><g>deep</g></f></e></d></c></b></a>",
};

const wchar_t SingleCharacters[] = L"<>/&;!?[]=\"' \r\n\tab1:-._}$";

const wchar_t* const Fragments[] = {
    L"<![CDATA[", L"]]>",  L"&lt;", L"&gt;", L"&amp;", L"&apos;", L"&quot;", L"&",  L"&bogus;", L"<?xml version=",
    L"?>",        L"<!--", L"-->",  L"</x>", L"</>",   L"<x/>",   L"<x>",    L"/>", L"=",       L"='v'",
    L"\"",        L"'",    L"\n",   L"\r\n", L"<",     L">",      L"</a>",   L"1",  L"<_:}.>",  L"\x00E9",
};

std::wstring ManyOpenTags(int count)
{
    std::wstring text;
    for (int i = 0; i < count; ++i)
        text += L"<n>";
    return text;
}

class Mutator {
public:
    explicit Mutator(uint32_t seed) : engine_(seed) {}

    size_t Below(size_t n) { return n == 0 ? 0 : static_cast<size_t>(engine_() % n); }

    std::wstring Mutate(std::wstring text)
    {
        const size_t steps = 1 + Below(4);
        for (size_t i = 0; i < steps; ++i) {
            const size_t at = Below(text.size() + 1);
            switch (Below(6)) {
            case 0:
                if (at < text.size())
                    text[at] = SingleCharacters[Below(sizeof SingleCharacters / sizeof(wchar_t) - 1)];
                break;
            case 1:
                text.insert(at, Fragments[Below(sizeof Fragments / sizeof Fragments[0])]);
                break;
            case 2:
                text.erase(at, 1 + Below(8));
                break;
            case 3: {
                const size_t from = Below(text.size());
                const std::wstring piece = text.substr(from, 1 + Below(40));
                text.insert(at, piece);
                break;
            }
            case 4:
                text.resize(at);
                break;
            default:
                // Rarely, nesting around the limit.
                if (Below(20) == 0)
                    text.insert(at, ManyOpenTags(static_cast<int>(200 + Below(120))));
                break;
            }
        }
        return text;
    }

private:
    std::mt19937 engine_;
};

bool EndsWithDigits(const std::wstring& text, size_t from, long& value)
{
    if (from >= text.size())
        return false;
    value = 0;
    for (size_t i = from; i < text.size(); ++i) {
        if (text[i] < L'0' || text[i] > L'9')
            return false;
        value = value * 10 + (text[i] - L'0');
    }
    return true;
}

bool IsNameErrorText(const std::wstring& text)
{
    const std::wstring firstPrefix = L"Bad name first character ";
    const std::wstring firstSuffix = L". Must be alphabetic or either '_' or ':'.";
    const std::wstring laterPrefix = L"Bad name character ";
    const std::wstring laterSuffix = L". Must be alphnumeric or one of '.-_:'";
    auto matches = [&](const std::wstring& prefix, const std::wstring& suffix) {
        return text.size() == prefix.size() + 1 + suffix.size() && text.compare(0, prefix.size(), prefix) == 0 &&
               text.compare(prefix.size() + 1, suffix.size(), suffix) == 0;
    };
    return matches(firstPrefix, firstSuffix) || matches(laterPrefix, laterSuffix);
}

// Empty when the code and text are one of the reader's listed failures.
std::string CheckFailure(int code, const std::wstring& text, const std::wstring& input)
{
    static const std::map<int, std::wstring> fixedTexts = {
        {FXMLReader::EmptyInput, L"File not found or empty"},
        {FXMLReader::JunkBeforeHeader, L"Junk before the xml version header."},
        {FXMLReader::MissingHeaderEnd, L"Missing closing header bracket."},
        {FXMLReader::UnterminatedCData, L"Mismatched CDATA tag."},
        {FXMLReader::UnknownEntity, L"Unrecognised entity or bogus &."},
        {FXMLReader::CDataEndOutsideSection, L"CDEnd character sequence (\"]]>\") outside CData section."},
    };
    const auto fixed = fixedTexts.find(code);
    if (fixed != fixedTexts.end())
        return text == fixed->second ? "" : "unexpected text for code " + std::to_string(code);

    if (code == FXMLReader::ParseFailure) {
        if (text == L"FXML reports parse error." || text == L"Elements nested too deeply." || IsNameErrorText(text))
            return "";
        return "unexpected text for a parse failure";
    }
    if (code == FXMLReader::UnmatchedEndTag) {
        const std::wstring prefix = L"FXML reports parsing error.  Unmatched tag: Expecting ";
        const size_t encountered = text.find(L" but encountered ");
        const size_t atLine = text.rfind(L" at line: ");
        long line = 0;
        if (text.compare(0, prefix.size(), prefix) != 0 || encountered == std::wstring::npos ||
            atLine == std::wstring::npos || atLine < encountered || !EndsWithDigits(text, atLine + 10, line))
            return "malformed unmatched-tag text";
        long lineFeeds = 0;
        for (wchar_t c : input)
            lineFeeds += c == L'\n';
        if (line < 1 || line > lineFeeds + 1)
            return "line number out of range: " + std::to_string(line);
        return "";
    }
    return "unknown code " + std::to_string(code);
}

// Empty when the tree's links, names and depth are sound.
std::string CheckTree(const FXMLElement& e, int depth)
{
    if (depth > FXMLReader::MaxDepth)
        return "tree deeper than the limit";
    if (e.Name().IsEmpty())
        return "element without a name";
    for (const FXMLElement* child : e.Children()) {
        if (!child || child->Parent() != &e)
            return "child not linked to its parent";
        std::string problem = CheckTree(*child, depth + 1);
        if (!problem.empty())
            return problem;
    }
    return "";
}

std::string Printable(const std::wstring& text)
{
    std::string out;
    for (wchar_t c : text.substr(0, 400)) {
        if (c >= 0x20 && c < 0x7F)
            out += static_cast<char>(c);
        else
            out += "\\x" + std::to_string(static_cast<unsigned>(c)) + ";";
    }
    return out;
}

struct Tally {
    int parsed = 0;
    std::map<int, int> failures;
    int problems = 0;
};

void Check(FXMLReader& reader, const std::wstring& input, const std::string& label, Tally& tally)
{
    const long before = FXMLElement::LiveCount();
    FXMLElement* root = reader.Parse(QLXString(input.c_str()));
    std::string problem;
    if (root) {
        ++tally.parsed;
        if (reader.ErrorCode() != 0 || !reader.ErrorText().IsEmpty())
            problem = "success with an error status";
        else
            problem = CheckTree(*root, 1);
        delete root;
    } else {
        ++tally.failures[reader.ErrorCode()];
        problem = CheckFailure(reader.ErrorCode(), W(reader.ErrorText()), input);
    }
    if (problem.empty() && FXMLElement::LiveCount() != before)
        problem = "elements left behind: " + std::to_string(FXMLElement::LiveCount() - before);
    if (!problem.empty() && ++tally.problems <= 10)
        ADD_FAILURE() << label << ": " << problem << "\n  code " << reader.ErrorCode() << " text "
                      << Printable(W(reader.ErrorText())) << "\n  input " << Printable(input);
}

} // namespace

TEST(XMLReaderRobustness, BaseDocumentsParse)
{
    for (const wchar_t* document : BaseDocuments) {
        FXMLReader reader;
        Tree root = Parse(reader, document);
        EXPECT_NE(nullptr, root.get()) << W(reader.ErrorText());
    }
}

TEST(XMLReaderRobustness, EveryTruncationParsesOrFailsCleanly)
{
    Tally tally;
    FXMLReader reader;
    for (const wchar_t* document : BaseDocuments) {
        const std::wstring full(document);
        for (size_t length = 0; length <= full.size(); ++length)
            Check(reader, full.substr(0, length), "prefix of " + std::to_string(length), tally);
    }
    EXPECT_EQ(0, tally.problems);
    // Only prefixes that reach the root's end tag can parse; most must fail.
    EXPECT_GT(tally.parsed, 0);
    EXPECT_GT(tally.failures[FXMLReader::ParseFailure], tally.parsed);
}

TEST(XMLReaderRobustness, SeededMutationsParseOrFailCleanly)
{
    Mutator mutator(20261208u);
    Tally tally;
    FXMLReader reader;
    const size_t documentCount = sizeof BaseDocuments / sizeof BaseDocuments[0];
    for (int i = 0; i < 20000; ++i) {
        const std::wstring input = mutator.Mutate(BaseDocuments[i % documentCount]);
        Check(reader, input, "mutation " + std::to_string(i), tally);
    }
    EXPECT_EQ(0, tally.problems);
    // The mutations must reach both outcomes and most of the failure kinds.
    EXPECT_GT(tally.parsed, 1000);
    for (int code : {FXMLReader::EmptyInput, FXMLReader::JunkBeforeHeader, FXMLReader::MissingHeaderEnd,
                     FXMLReader::ParseFailure, FXMLReader::UnterminatedCData, FXMLReader::UnknownEntity,
                     FXMLReader::UnmatchedEndTag, FXMLReader::CDataEndOutsideSection})
        EXPECT_GT(tally.failures[code], 0) << "no input failed with code " << code;
}
