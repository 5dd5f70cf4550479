#include "foundation/XMLReader.h"

#include <atomic>
#include <cstdint>
#include <cwchar>
#include <memory>
#include <string_view>

namespace {

std::atomic<long> g_liveElements{0};

const wchar_t EmptyNameSubstitute[] = L"Invalid.Empty.Name.Supplied";
const wchar_t DeclarationStart[] = L"<?xml version=";
const wchar_t CDataStart[] = L"<![CDATA[";

constexpr size_t LiteralLength(const wchar_t* literal)
{
    size_t n = 0;
    while (literal[n])
        ++n;
    return n;
}

bool IsWhiteSpace(wchar_t c)
{
    return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n';
}

bool IsNameStart(wchar_t c)
{
    return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z') || c == L'_' || c == L':';
}

bool IsNameChar(wchar_t c)
{
    return IsNameStart(c) || (c >= L'0' && c <= L'9') || c == L'-' || c == L'.' || c == L'}';
}

QLXString MakeString(const std::wstring& buffer, size_t start = 0)
{
    if (start >= buffer.size())
        return QLXString();
    return QLXString(buffer.data() + start, static_cast<int>(buffer.size() - start));
}

bool SameText(const std::wstring& buffer, const QLXString& text)
{
    return buffer.size() == text.Length() && std::wmemcmp(buffer.data(), text.c_str(), buffer.size()) == 0;
}

struct Entity {
    const wchar_t* text;
    size_t length;
    wchar_t decoded;
};

// Compared in this order; the first match wins.
const Entity Entities[] = {
    {L"&lt;", 4, L'<'}, {L"&gt;", 4, L'>'}, {L"&amp;", 5, L'&'}, {L"&apos;", 6, L'\''}, {L"&quot;", 6, L'"'},
};

} // namespace

bool FXMLOrdinalLess::operator()(const QLXString& a, const QLXString& b) const
{
    const wchar_t* pa = a.c_str();
    const wchar_t* pb = b.c_str();
    const unsigned na = a.Length();
    const unsigned nb = b.Length();
    const unsigned n = na < nb ? na : nb;
    for (unsigned i = 0; i < n; ++i) {
        const auto ca = static_cast<uint16_t>(pa[i]);
        const auto cb = static_cast<uint16_t>(pb[i]);
        if (ca != cb)
            return ca < cb;
    }
    return na < nb;
}

FXMLElement::FXMLElement()
{
    ++g_liveElements;
}

FXMLElement::~FXMLElement()
{
    destroying_ = true;
    for (FXMLElement* child : children_)
        delete child;
    children_.clear();
    if (parent_ && !parent_->destroying_)
        parent_->DetachChild(this);
    --g_liveElements;
}

long FXMLElement::LiveCount()
{
    return g_liveElements.load();
}

void FXMLElement::SetName(const QLXString& name)
{
    name_ = name.IsEmpty() ? QLXString(EmptyNameSubstitute) : name;
}

void FXMLElement::SetText(const QLXString& text)
{
    text_ = text;
}

void FXMLElement::AddAttribute(const QLXString& name, const QLXString& value)
{
    attributes_.emplace(name.IsEmpty() ? QLXString(EmptyNameSubstitute) : name, value);
}

void FXMLElement::AppendChild(FXMLElement* child)
{
    if (!child || child == this)
        return;
    if (child->parent_)
        child->parent_->DetachChild(child);
    child->parent_ = this;
    children_.push_back(child);
}

void FXMLElement::DetachChild(FXMLElement* child)
{
    for (auto it = children_.begin(); it != children_.end(); ++it) {
        if (*it == child) {
            children_.erase(it);
            break;
        }
    }
    child->parent_ = nullptr;
}

// The walk through one element: its state, where its text begins in content_, and
// what a pending line break or an open attribute value needs.
struct FXMLReader::ElementParse {
    int depth;
    size_t textStart;
    std::unique_ptr<FXMLElement> element;
    State state = State::Start;
    // Where a skipped declaration or comment returns to.
    State afterDeclaration = State::TagOpen;
    // A line break in content becomes one space before the next character kept.
    bool pendingSpace = false;
    wchar_t quote = 0;
};

FXMLElement* FXMLReader::Parse(const QLXString& input)
{
    errorCode_ = Success;
    errorText_ = QLXString();
    headerText_ = QLXString();

    // The text ends at its terminator, as any C text would.
    const wchar_t* text = input.c_str();
    const size_t length = std::wcslen(text);
    if (length == 0) {
        Fail(EmptyInput, L"File not found or empty");
        return nullptr;
    }
    size_t start = 0;
    if (!ReadDeclaration(text, length, start))
        return nullptr;

    text_ = text;
    length_ = length;
    line_ = 1;
    // The declaration and what follows it up to the root are consumed, line feeds and all.
    CountLines(0, start);
    text_ = text + start;
    length_ = length - start;
    pos_ = 0;
    content_.clear();

    FXMLElement* root = ParseElement(1);

    text_ = nullptr;
    length_ = 0;
    // A very large document should not keep its text buffer alive in the reader.
    if (content_.capacity() > 65536)
        std::wstring().swap(content_);

    if (!root) {
        if (errorCode_ == Success)
            errorCode_ = ParseFailure;
        if (errorText_.IsEmpty())
            errorText_ = QLXString(L"FXML reports parse error.");
    }
    return root;
}

// The declaration counts only as the input's first markup: found there after other
// characters it is junk; found later (in a value, a section, after the root) it is not one.
bool FXMLReader::ReadDeclaration(const wchar_t* text, size_t length, size_t& start)
{
    const size_t declarationLength = LiteralLength(DeclarationStart);
    if (length < declarationLength)
        return true;
    const std::wstring_view all(text, length);
    const size_t firstTag = all.find(L'<');
    if (firstTag == std::wstring_view::npos || all.compare(firstTag, declarationLength, DeclarationStart) != 0)
        return true;
    if (firstTag != 0) {
        Fail(JunkBeforeHeader, L"Junk before the xml version header.");
        return false;
    }
    const size_t close = all.find(L"?>");
    if (close == std::wstring_view::npos) {
        Fail(MissingHeaderEnd, L"Missing closing header bracket.");
        return false;
    }
    headerText_ = QLXString(text, static_cast<int>(close + 2));
    start = all.find(L'<', close + 2);
    if (start == std::wstring_view::npos)
        start = length;
    return true;
}

FXMLElement* FXMLReader::Fail(int code, const std::wstring& text)
{
    errorCode_ = code;
    errorText_ = MakeString(text);
    return nullptr;
}

FXMLElement* FXMLReader::BadName(wchar_t c, bool first)
{
    std::wstring text = first ? L"Bad name first character " : L"Bad name character ";
    text += c;
    text += first ? L". Must be alphabetic or either '_' or ':'." : L". Must be alphnumeric or one of '.-_:'";
    return Fail(ParseFailure, text);
}

FXMLReader::Step FXMLReader::FailStep(int code, const std::wstring& text)
{
    Fail(code, text);
    return Step::Failed;
}

FXMLReader::Step FXMLReader::BadNameStep(wchar_t c, bool first)
{
    BadName(c, first);
    return Step::Failed;
}

bool FXMLReader::AtText(const wchar_t* literal, size_t length) const
{
    return length_ - pos_ >= length && std::wmemcmp(text_ + pos_, literal, length) == 0;
}

void FXMLReader::CountLines(size_t from, size_t to)
{
    for (size_t i = from; i < to; ++i) {
        if (text_[i] == L'\n')
            ++line_;
    }
}

FXMLElement* FXMLReader::ParseElement(int depth)
{
    if (depth > MaxDepth)
        return Fail(ParseFailure, L"Elements nested too deeply.");

    ElementParse parse{depth, content_.size(), nullptr};
    // The element's text lives in content_ from here on until the element is done.
    struct TextScope {
        std::wstring& content;
        size_t start;
        ~TextScope() { content.resize(start); }
    } scope{content_, parse.textStart};

    while (pos_ < length_) {
        wchar_t c = 0;
        bool markup = false;
        if (!NextCharacter(parse, c, markup))
            return nullptr;
        switch (Dispatch(parse, c, markup)) {
        case Step::Next:
            break;
        case Step::Done:
            return parse.element.release();
        case Step::Failed:
            return nullptr;
        }
    }
    // The input ended before the element was complete.
    return nullptr;
}

bool FXMLReader::NextCharacter(const ElementParse& parse, wchar_t& c, bool& markup)
{
    c = text_[pos_];
    if (c == L']' && parse.state != State::AttrValue && parse.state != State::AttrEquals && AtText(L"]]>", 3)) {
        Fail(CDataEndOutsideSection, L"CDEnd character sequence (\"]]>\") outside CData section.");
        return false;
    }
    markup = true;
    if (c == L'&') {
        for (const Entity& entity : Entities) {
            if (AtText(entity.text, entity.length)) {
                // A decoded entity is an ordinary character: it never opens or closes anything.
                c = entity.decoded;
                markup = false;
                pos_ += entity.length;
                return true;
            }
        }
        if (parse.state == State::Content || parse.state == State::AttrValue) {
            Fail(UnknownEntity, L"Unrecognised entity or bogus &.");
            return false;
        }
    }
    ++pos_;
    if (c == L'\n')
        ++line_;
    return true;
}

FXMLReader::Step FXMLReader::Dispatch(ElementParse& parse, wchar_t c, bool markup)
{
    switch (parse.state) {
    case State::Start:
        return OnStart(parse, c, markup);
    case State::TagOpen:
        return OnTagOpen(parse, c, markup);
    case State::TagName:
        return OnTagName(parse, c, markup);
    case State::InTag:
        return OnInTag(parse, c, markup);
    case State::AttrName:
        return OnAttrName(parse, c, markup);
    case State::AttrEquals:
        return OnAttrEquals(parse, c, markup);
    case State::AttrValue:
        return OnAttrValue(parse, c, markup);
    case State::Content:
        return OnContent(parse, c, markup);
    case State::EndTag:
        return OnEndTag(parse, c, markup);
    case State::Declaration:
        return OnDeclaration(parse, c, markup);
    }
    return Step::Failed;
}

FXMLReader::Step FXMLReader::OnStart(ElementParse& parse, wchar_t c, bool markup)
{
    // Anything before the first tag is skipped.
    if (markup && c == L'<') {
        parse.element.reset(new FXMLElement);
        parse.state = State::TagOpen;
    }
    return Step::Next;
}

FXMLReader::Step FXMLReader::OnTagOpen(ElementParse& parse, wchar_t c, bool markup)
{
    if (markup && (c == L'!' || c == L'?')) {
        parse.afterDeclaration = State::TagOpen;
        parse.state = State::Declaration;
    } else if (markup && (IsWhiteSpace(c) || c == L'<')) {
        // The tag after a skipped declaration opens this same element.
    } else if (IsNameStart(c)) {
        name_.assign(1, c);
        parse.state = State::TagName;
    } else {
        // "/" included: an end tag where a start tag belongs has no name to begin.
        return BadNameStep(c, true);
    }
    return Step::Next;
}

FXMLReader::Step FXMLReader::OnTagName(ElementParse& parse, wchar_t c, bool markup)
{
    if (markup && IsWhiteSpace(c)) {
        parse.element->SetName(MakeString(name_));
        parse.state = State::InTag;
    } else if (markup && c == L'/') {
        if (!name_.empty())
            parse.element->SetName(MakeString(name_));
        BeginEndTag(parse);
    } else if (markup && c == L'>') {
        parse.element->SetName(MakeString(name_));
        parse.state = State::Content;
    } else if (IsNameChar(c)) {
        name_ += c;
    } else {
        return BadNameStep(c, false);
    }
    return Step::Next;
}

FXMLReader::Step FXMLReader::OnInTag(ElementParse& parse, wchar_t c, bool markup)
{
    if (markup && IsWhiteSpace(c)) {
    } else if (markup && c == L'/') {
        BeginEndTag(parse);
    } else if (markup && c == L'>') {
        parse.state = State::Content;
    } else if (IsNameStart(c)) {
        attrName_.assign(1, c);
        parse.state = State::AttrName;
    } else {
        return BadNameStep(c, true);
    }
    return Step::Next;
}

FXMLReader::Step FXMLReader::OnAttrName(ElementParse& parse, wchar_t c, bool markup)
{
    if (markup && c == L'=') {
        parse.state = State::AttrEquals;
    } else if (markup && IsWhiteSpace(c)) {
    } else if (IsNameChar(c)) {
        attrName_ += c;
    } else {
        return BadNameStep(c, false);
    }
    return Step::Next;
}

FXMLReader::Step FXMLReader::OnAttrEquals(ElementParse& parse, wchar_t c, bool markup)
{
    if (markup && (c == L'"' || c == L'\'')) {
        parse.quote = c;
        attrValue_.clear();
        parse.state = State::AttrValue;
        return Step::Next;
    }
    // Anything but white space is an attribute without a quoted value.
    return markup && IsWhiteSpace(c) ? Step::Next : Step::Failed;
}

FXMLReader::Step FXMLReader::OnAttrValue(ElementParse& parse, wchar_t c, bool markup)
{
    if (markup && c == parse.quote) {
        parse.element->AddAttribute(MakeString(attrName_), MakeString(attrValue_));
        parse.state = State::InTag;
    } else {
        attrValue_ += c;
    }
    return Step::Next;
}

FXMLReader::Step FXMLReader::OnContent(ElementParse& parse, wchar_t c, bool markup)
{
    if (markup && c == L'<') {
        parse.pendingSpace = false;
        --pos_;
        return OnContentMarkup(parse);
    }
    if (markup && (c == L'\r' || c == L'\n')) {
        parse.pendingSpace = true;
    } else if (markup && (c == L' ' || c == L'\t')) {
        if (!parse.pendingSpace && content_.size() > parse.textStart)
            content_ += c;
    } else {
        if (parse.pendingSpace) {
            content_ += L' ';
            parse.pendingSpace = false;
        }
        content_ += c;
    }
    return Step::Next;
}

FXMLReader::Step FXMLReader::OnContentMarkup(ElementParse& parse)
{
    const size_t cdataLength = LiteralLength(CDataStart);
    if (AtText(CDataStart, cdataLength)) {
        const size_t from = pos_ + cdataLength;
        const size_t end = std::wstring_view(text_, length_).find(L"]]>", from);
        if (end == std::wstring_view::npos)
            return FailStep(UnterminatedCData, L"Mismatched CDATA tag.");
        content_.append(text_ + from, end - from);
        CountLines(from, end);
        parse.element->SetCData(true);
        pos_ = end + 3;
        return Step::Next;
    }
    const wchar_t next = pos_ + 1 < length_ ? text_[pos_ + 1] : L'\0';
    if (next == L'!' || next == L'?') {
        // A comment or instruction in content is skipped, also right before the end tag.
        ++pos_;
        parse.afterDeclaration = State::Content;
        parse.state = State::Declaration;
        return Step::Next;
    }
    if (next == L'/') {
        parse.element->SetText(MakeString(content_, parse.textStart));
        pos_ += 2;
        BeginEndTag(parse);
        return Step::Next;
    }
    FXMLElement* child = ParseElement(parse.depth + 1);
    if (!child)
        return Step::Failed;
    parse.element->AppendChild(child);
    return Step::Next;
}

void FXMLReader::BeginEndTag(ElementParse& parse)
{
    endName_.clear();
    parse.state = State::EndTag;
}

FXMLReader::Step FXMLReader::OnEndTag(ElementParse& parse, wchar_t c, bool markup)
{
    if (markup && (c == L'/' || IsWhiteSpace(c)))
        return Step::Next;
    if (markup && c == L'>')
        return CloseElement(parse);
    if (endName_.empty() ? IsNameStart(c) : IsNameChar(c)) {
        endName_ += c;
        return Step::Next;
    }
    return BadNameStep(c, endName_.empty());
}

FXMLReader::Step FXMLReader::CloseElement(ElementParse& parse)
{
    const QLXString& name = parse.element->Name();
    if (!endName_.empty() && !SameText(endName_, name)) {
        std::wstring text = L"FXML reports parsing error.  Unmatched tag: Expecting ";
        text.append(name.c_str(), name.Length());
        text += L" but encountered ";
        text += endName_;
        text += L" at line: ";
        text += std::to_wstring(line_);
        return FailStep(UnmatchedEndTag, text);
    }
    // One line break after the end tag goes with it; CR LF is one line break.
    if (pos_ < length_ && text_[pos_] == L'\r')
        ++pos_;
    if (pos_ < length_ && text_[pos_] == L'\n') {
        ++pos_;
        ++line_;
    }
    return Step::Done;
}

FXMLReader::Step FXMLReader::OnDeclaration(ElementParse& parse, wchar_t c, bool markup)
{
    // Declarations and comments are skipped up to their first ">".
    if (markup && c == L'>')
        parse.state = parse.afterDeclaration;
    return Step::Next;
}
