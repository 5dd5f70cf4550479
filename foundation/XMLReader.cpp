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
    const size_t declarationLength = LiteralLength(DeclarationStart);
    if (length >= declarationLength) {
        const std::wstring_view all(text, length);
        const size_t declaration = all.find(DeclarationStart);
        if (declaration != std::wstring_view::npos && declaration != 0) {
            Fail(JunkBeforeHeader, L"Junk before the xml version header.");
            return nullptr;
        }
        if (declaration == 0) {
            const size_t close = all.find(L"?>");
            if (close == std::wstring_view::npos) {
                Fail(MissingHeaderEnd, L"Missing closing header bracket.");
                return nullptr;
            }
            headerText_ = QLXString(text, static_cast<int>(close + 2));
            start = all.find(L'<', close + 2);
            if (start == std::wstring_view::npos)
                start = length;
        }
    }

    text_ = text + start;
    length_ = length - start;
    pos_ = 0;
    line_ = 1;
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

    // The element's text lives in content_ from here on until the element is done.
    const size_t textStart = content_.size();
    struct TextScope {
        std::wstring& content;
        size_t start;
        ~TextScope() { content.resize(start); }
    } scope{content_, textStart};

    std::unique_ptr<FXMLElement> element;
    State state = State::Start;
    // A line break in content becomes one space before the next character kept.
    bool pendingSpace = false;
    wchar_t quote = 0;

    while (pos_ < length_) {
        wchar_t c = text_[pos_];
        // A decoded entity is an ordinary character: it never opens or closes anything.
        bool decoded = false;

        if (c == L']' && state != State::AttrValue && state != State::AttrEquals && AtText(L"]]>", 3))
            return Fail(CDataEndOutsideSection, L"CDEnd character sequence (\"]]>\") outside CData section.");

        if (c == L'&') {
            for (const Entity& entity : Entities) {
                if (AtText(entity.text, entity.length)) {
                    c = entity.decoded;
                    decoded = true;
                    pos_ += entity.length;
                    break;
                }
            }
            if (!decoded && (state == State::Content || state == State::AttrValue))
                return Fail(UnknownEntity, L"Unrecognised entity or bogus &.");
        }
        if (!decoded) {
            ++pos_;
            if (c == L'\n')
                ++line_;
        }
        const bool markup = !decoded;

        switch (state) {
        case State::Start:
            // Anything before the first tag is skipped.
            if (markup && c == L'<') {
                element.reset(new FXMLElement);
                state = State::TagOpen;
            }
            break;

        case State::TagOpen:
            if (markup && (c == L'!' || c == L'?')) {
                state = State::Declaration;
            } else if (markup && (IsWhiteSpace(c) || c == L'<')) {
                // The tag after a skipped declaration opens this same element.
            } else if (markup && c == L'/') {
                // An end tag where a start tag was expected: the element gets the
                // empty-name substitute, so no element of a tree is nameless.
                element->SetName(QLXString());
                endName_.clear();
                state = State::EndTag;
            } else if (IsNameStart(c)) {
                name_.assign(1, c);
                state = State::TagName;
            } else {
                return BadName(c, true);
            }
            break;

        case State::TagName:
            if (markup && IsWhiteSpace(c)) {
                element->SetName(MakeString(name_));
                state = State::InTag;
            } else if (markup && c == L'/') {
                if (!name_.empty())
                    element->SetName(MakeString(name_));
                endName_.clear();
                state = State::EndTag;
            } else if (markup && c == L'>') {
                element->SetName(MakeString(name_));
                state = State::Content;
            } else if (IsNameChar(c)) {
                name_ += c;
            } else {
                return BadName(c, false);
            }
            break;

        case State::InTag:
            if (markup && IsWhiteSpace(c)) {
            } else if (markup && c == L'/') {
                endName_.clear();
                state = State::EndTag;
            } else if (markup && c == L'>') {
                state = State::Content;
            } else if (IsNameStart(c)) {
                attrName_.assign(1, c);
                state = State::AttrName;
            } else {
                return BadName(c, true);
            }
            break;

        case State::AttrName:
            if (markup && c == L'=') {
                state = State::AttrEquals;
            } else if (markup && IsWhiteSpace(c)) {
            } else if (IsNameChar(c)) {
                attrName_ += c;
            } else {
                return BadName(c, false);
            }
            break;

        case State::AttrEquals:
            if (markup && (c == L'"' || c == L'\'')) {
                quote = c;
                attrValue_.clear();
                state = State::AttrValue;
            } else if (markup && IsWhiteSpace(c)) {
            } else {
                // An attribute without a quoted value.
                return nullptr;
            }
            break;

        case State::AttrValue:
            if (markup && c == quote) {
                element->AddAttribute(MakeString(attrName_), MakeString(attrValue_));
                state = State::InTag;
            } else {
                attrValue_ += c;
            }
            break;

        case State::Content:
            if (markup && c == L'<') {
                pendingSpace = false;
                const size_t cdataLength = LiteralLength(CDataStart);
                --pos_;
                if (AtText(CDataStart, cdataLength)) {
                    const size_t from = pos_ + cdataLength;
                    const size_t end = std::wstring_view(text_, length_).find(L"]]>", from);
                    if (end == std::wstring_view::npos)
                        return Fail(UnterminatedCData, L"Mismatched CDATA tag.");
                    content_.append(text_ + from, end - from);
                    CountLines(from, end);
                    element->SetCData(true);
                    pos_ = end + 3;
                } else if (pos_ + 1 < length_ && text_[pos_ + 1] == L'/') {
                    element->SetText(MakeString(content_, textStart));
                    pos_ += 2;
                    endName_.clear();
                    state = State::EndTag;
                } else {
                    FXMLElement* child = ParseElement(depth + 1);
                    if (!child)
                        return nullptr;
                    element->AppendChild(child);
                }
            } else if (markup && (c == L'\r' || c == L'\n')) {
                pendingSpace = true;
            } else if (markup && (c == L' ' || c == L'\t')) {
                if (!pendingSpace && content_.size() > textStart)
                    content_ += c;
            } else {
                if (pendingSpace) {
                    content_ += L' ';
                    pendingSpace = false;
                }
                content_ += c;
            }
            break;

        case State::EndTag:
            if (markup && (c == L'/' || IsWhiteSpace(c))) {
            } else if (markup && c == L'>') {
                if (!endName_.empty() && !SameText(endName_, element->Name())) {
                    std::wstring text = L"FXML reports parsing error.  Unmatched tag: Expecting ";
                    text.append(element->Name().c_str(), element->Name().Length());
                    text += L" but encountered ";
                    text += endName_;
                    text += L" at line: ";
                    text += std::to_wstring(line_);
                    return Fail(UnmatchedEndTag, text);
                }
                if (pos_ < length_ && (text_[pos_] == L'\r' || text_[pos_] == L'\n')) {
                    if (text_[pos_] == L'\n')
                        ++line_;
                    ++pos_;
                }
                return element.release();
            } else if (endName_.empty() ? IsNameStart(c) : IsNameChar(c)) {
                endName_ += c;
            } else {
                return BadName(c, endName_.empty());
            }
            break;

        case State::Declaration:
            // Declarations and comments are skipped up to their first ">".
            if (markup && c == L'>')
                state = State::TagOpen;
            break;
        }
    }
    // The input ended before the element was complete.
    return nullptr;
}
