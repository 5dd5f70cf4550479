#include "foundation/XMLReader.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cstdint>
#include <cstring>
#include <cwchar>
#include <memory>
#include <mutex>
#include <new>
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

// Classes of the ASCII characters; everything above is plain text.
enum : uint8_t { NameStartClass = 1, NameClass = 2, SpaceClass = 4, TextBreakClass = 8 };

constexpr std::array<uint8_t, 128> MakeClasses()
{
    std::array<uint8_t, 128> classes{};
    for (int c = 0; c < 128; ++c) {
        const bool start = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c == ':';
        const bool later = start || (c >= '0' && c <= '9') || c == '-' || c == '.' || c == '}';
        const bool space = c == ' ' || c == '\t' || c == '\r' || c == '\n';
        // What ends a run of text once a character of it is kept; spaces and tabs do not.
        const bool textBreak = c == '\r' || c == '\n' || c == '<' || c == '&' || c == ']';
        classes[c] = (start ? NameStartClass : 0) | (later ? NameClass : 0) | (space ? SpaceClass : 0) |
                     (textBreak ? TextBreakClass : 0);
    }
    return classes;
}

constexpr std::array<uint8_t, 128> CharacterClasses = MakeClasses();

bool HasClass(wchar_t c, uint8_t mask)
{
    return static_cast<unsigned>(c) < 128 && (CharacterClasses[c] & mask) != 0;
}

bool IsWhiteSpace(wchar_t c)
{
    return HasClass(c, SpaceClass);
}

bool IsNameStart(wchar_t c)
{
    return HasClass(c, NameStartClass);
}

bool IsNameChar(wchar_t c)
{
    return HasClass(c, NameClass);
}

bool IsTextBreak(wchar_t c)
{
    return HasClass(c, TextBreakClass);
}

bool IsKeptText(wchar_t c)
{
    return !HasClass(c, TextBreakClass | SpaceClass);
}

bool IsDeclarationText(wchar_t c)
{
    return c != L'>' && c != L'&' && c != L']';
}

// The text ends at its first terminator, as any C text would, and within the string.
size_t TextLength(const QLXString& text)
{
    const wchar_t* chars = text.c_str();
    const size_t length = text.Length();
    size_t n = 0;
    if constexpr (sizeof(wchar_t) == 2) {
        // Four characters at a time: a zero among them leaves a high bit set here.
        for (; n + 4 <= length; n += 4) {
            uint64_t word;
            std::memcpy(&word, chars + n, sizeof word);
            if (((word - 0x0001000100010001ull) & ~word & 0x8000800080008000ull) != 0)
                break;
        }
    }
    while (n < length && chars[n] != L'\0')
        ++n;
    return n;
}

bool SameText(const wchar_t* chars, size_t length, const QLXString& text)
{
    return length == text.Length() && std::wmemcmp(chars, text.c_str(), length) == 0;
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

// Strings longer than this are seldom repeated and are not looked up.
constexpr size_t MaxSharedLength = 64;
constexpr size_t MaxSharedStrings = 16384;
constexpr size_t FirstStringSlots = 128;
constexpr size_t HashedEnd = 8;

// Block header in front of every element made with new: the arena, or null for the heap.
constexpr size_t BlockHeader = 16;

} // namespace

// Bump allocation in chunks, freed all at once when the arena's last element is gone:
// the heap is slow enough that one block per element, attribute and child list dominated
// the parse. Nothing is freed piecemeal; the members of a parsed tree rarely change.
class FXMLArena {
public:
    static FXMLArena* Create()
    {
        void* memory = ::operator new(FirstChunk);
        auto* arena = new (memory) FXMLArena;
        arena->next_ = static_cast<char*>(memory) + RoundUp(sizeof(FXMLArena));
        arena->end_ = static_cast<char*>(memory) + FirstChunk;
        return arena;
    }

    void* Allocate(size_t bytes)
    {
        if (!shared_.load(std::memory_order_acquire))
            return Bump(bytes);
        // Once the tree is handed out, any thread may add to any of its elements.
        std::lock_guard<std::mutex> hold(lock_);
        return Bump(bytes);
    }

    void AddRef() { refs_.fetch_add(1, std::memory_order_relaxed); }
    void Release()
    {
        if (refs_.fetch_sub(1, std::memory_order_acq_rel) == 1)
            Destroy();
    }
    // The reader is done: from now on allocations may come from any thread.
    void Share() { shared_.store(true, std::memory_order_release); }

private:
    static constexpr size_t FirstChunk = 4096;
    static constexpr size_t LargestChunk = 1 << 20;
    struct Chunk {
        Chunk* next;
    };

    static size_t RoundUp(size_t bytes) { return (bytes + 15) & ~size_t(15); }

    void* Bump(size_t bytes)
    {
        bytes = RoundUp(bytes);
        if (static_cast<size_t>(end_ - next_) < bytes) {
            // Growing chunks: few of them for a large tree, little waste for a small one.
            nextChunk_ = std::min(nextChunk_ * 2, LargestChunk);
            const size_t size = std::max(nextChunk_, bytes + RoundUp(sizeof(Chunk)));
            auto* chunk = static_cast<Chunk*>(::operator new(size));
            chunk->next = chunks_;
            chunks_ = chunk;
            next_ = reinterpret_cast<char*>(chunk) + RoundUp(sizeof(Chunk));
            end_ = reinterpret_cast<char*>(chunk) + size;
        }
        void* p = next_;
        next_ += bytes;
        return p;
    }

    void Destroy()
    {
        for (Chunk* chunk = chunks_; chunk;) {
            Chunk* next = chunk->next;
            ::operator delete(chunk);
            chunk = next;
        }
        this->~FXMLArena();
        ::operator delete(this);
    }

    // The reader's own reference until the parse ends, plus one per element.
    std::atomic<long> refs_{1};
    std::atomic<bool> shared_{false};
    std::mutex lock_;
    Chunk* chunks_ = nullptr;
    char* next_ = nullptr;
    char* end_ = nullptr;
    size_t nextChunk_ = FirstChunk;
};

void* FXMLAllocate(FXMLArena* arena, size_t bytes)
{
    return arena ? arena->Allocate(bytes) : ::operator new(bytes);
}

void FXMLDeallocate(FXMLArena* arena, void* p)
{
    if (!arena)
        ::operator delete(p);
}

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

FXMLElement::FXMLElement() : FXMLElement(nullptr) {}

FXMLElement::FXMLElement(FXMLArena* arena)
    : attributes_(FXMLOrdinalLess(), AttributeMap::allocator_type(arena)), children_(ChildList::allocator_type(arena))
{
    ++g_liveElements;
}

void* FXMLElement::operator new(size_t size)
{
    return operator new(size, nullptr);
}

void* FXMLElement::operator new(size_t size, FXMLArena* arena)
{
    void* block = arena ? arena->Allocate(BlockHeader + size) : ::operator new(BlockHeader + size);
    *static_cast<FXMLArena**>(block) = arena;
    if (arena)
        arena->AddRef();
    return static_cast<char*>(block) + BlockHeader;
}

void FXMLElement::operator delete(void* p) noexcept
{
    if (!p)
        return;
    void* block = static_cast<char*>(p) - BlockHeader;
    FXMLArena* arena = *static_cast<FXMLArena**>(block);
    if (arena)
        arena->Release();
    else
        ::operator delete(block);
}

void FXMLElement::operator delete(void* p, FXMLArena*) noexcept
{
    operator delete(p);
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

// Without temporaries: every copy of a string handle is an interlocked count change.
void FXMLElement::SetName(const QLXString& name)
{
    if (name.IsEmpty())
        name_ = QLXString(EmptyNameSubstitute);
    else
        name_ = name;
}

void FXMLElement::SetText(const QLXString& text)
{
    text_ = text;
}

void FXMLElement::AddAttribute(const QLXString& name, const QLXString& value)
{
    if (name.IsEmpty())
        attributes_.emplace(QLXString(EmptyNameSubstitute), value);
    else
        attributes_.emplace(name, value);
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

void FXMLReader::Collected::Clear()
{
    chars_ = nullptr;
    length_ = 0;
    buffered_ = false;
}

void FXMLReader::Collected::Add(const wchar_t* input, size_t count)
{
    if (count == 0)
        return;
    if (!buffered_) {
        if (length_ == 0) {
            chars_ = input;
            length_ = count;
            return;
        }
        if (chars_ + length_ == input) {
            length_ += count;
            return;
        }
        Buffer();
    }
    buffer_.append(input, count);
    chars_ = buffer_.data();
    length_ = buffer_.size();
}

void FXMLReader::Collected::Add(wchar_t decoded)
{
    if (!buffered_)
        Buffer();
    buffer_ += decoded;
    chars_ = buffer_.data();
    length_ = buffer_.size();
}

void FXMLReader::Collected::Buffer()
{
    buffer_.assign(chars_ ? chars_ : L"", length_);
    buffered_ = true;
}

void FXMLReader::Collect(Collected& into, wchar_t c)
{
    // A decoded entity ends in ";" in the input, which no decoded character is.
    if (text_[pos_ - 1] == c)
        into.Add(text_ + pos_ - 1, 1);
    else
        into.Add(c);
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

    const wchar_t* text = input.c_str();
    const size_t length = TextLength(input);
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
    for (StringSlot& slot : stringSlots_)
        slot.index = 0;
    arena_ = FXMLArena::Create();

    FXMLElement* root = nullptr;
    try {
        root = ParseElement(1);
    } catch (...) {
        EndParse();
        throw;
    }
    EndParse();

    if (!root) {
        if (errorCode_ == Success)
            errorCode_ = ParseFailure;
        if (errorText_.IsEmpty())
            errorText_ = QLXString(L"FXML reports parse error.");
    }
    return root;
}

void FXMLReader::EndParse()
{
    text_ = nullptr;
    length_ = 0;
    strings_.clear();
    unshared_ = QLXString();
    // A very large document should not keep its buffers alive in the reader.
    if (content_.capacity() > 65536)
        std::wstring().swap(content_);
    if (stringSlots_.size() > FirstStringSlots) {
        std::vector<QLXString>().swap(strings_);
        std::vector<StringSlot>().swap(stringSlots_);
    }
    if (arena_) {
        arena_->Share();
        arena_->Release();
        arena_ = nullptr;
    }
}

const QLXString& FXMLReader::SharedString(const wchar_t* chars, size_t length)
{
    if (length == 0 || length > MaxSharedLength)
        return Unshared(chars, length);
    // The length and both ends tell the strings of a document apart well enough; equal
    // hashes are compared in full.
    uint32_t hash = 2166136261u ^ static_cast<uint32_t>(length);
    const size_t head = std::min(length, HashedEnd);
    for (size_t i = 0; i < head; ++i)
        hash = (hash ^ static_cast<uint16_t>(chars[i])) * 16777619u;
    for (size_t i = std::max(head, length - HashedEnd); i < length; ++i)
        hash = (hash ^ static_cast<uint16_t>(chars[i])) * 16777619u;
    if (stringSlots_.empty()) {
        stringSlots_.assign(FirstStringSlots, StringSlot{});
        strings_.reserve(FirstStringSlots / 2);
    }
    const size_t mask = stringSlots_.size() - 1;
    size_t i = hash & mask;
    for (; stringSlots_[i].index != 0; i = (i + 1) & mask) {
        const StringSlot& slot = stringSlots_[i];
        if (slot.hash != hash || slot.length != length)
            continue;
        const QLXString& known = strings_[slot.index - 1];
        if (std::wmemcmp(known.c_str(), chars, length) == 0)
            return known;
    }
    if (strings_.size() >= MaxSharedStrings)
        return Unshared(chars, length);
    strings_.emplace_back(chars, static_cast<int>(length));
    stringSlots_[i] = StringSlot{hash, static_cast<uint32_t>(length), static_cast<uint32_t>(strings_.size())};
    const QLXString& made = strings_.back();
    // At most half full, so probes stay short and always end at a free slot.
    if (strings_.size() * 2 > stringSlots_.size())
        GrowStringSlots();
    return made;
}

const QLXString& FXMLReader::Unshared(const wchar_t* chars, size_t length)
{
    unshared_ = length == 0 ? QLXString() : QLXString(chars, static_cast<int>(length));
    return unshared_;
}

void FXMLReader::GrowStringSlots()
{
    std::vector<StringSlot> grown(stringSlots_.size() * 2, StringSlot{});
    const size_t mask = grown.size() - 1;
    for (const StringSlot& slot : stringSlots_) {
        if (slot.index == 0)
            continue;
        size_t i = slot.hash & mask;
        while (grown[i].index != 0)
            i = (i + 1) & mask;
        grown[i] = slot;
    }
    stringSlots_.swap(grown);
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
    errorText_ = QLXString(text.c_str(), static_cast<int>(text.size()));
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

    for (;;) {
        switch (Dispatch(parse)) {
        case Step::Next:
            break;
        case Step::Done:
            return parse.element.release();
        case Step::Failed:
            return nullptr;
        }
    }
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

template <class Skipped>
void FXMLReader::SkipRun(Skipped skipped)
{
    const wchar_t* p = text_ + pos_;
    const wchar_t* const end = text_ + length_;
    for (; p < end && skipped(*p); ++p)
        line_ += *p == L'\n';
    pos_ = p - text_;
}

// The characters of the current state that need no decision, then the next one through
// the state's step.
FXMLReader::Step FXMLReader::Dispatch(ElementParse& parse)
{
    switch (parse.state) {
    case State::Start:
        return TakeCharacter<&FXMLReader::OnStart>(parse);
    case State::TagOpen:
        return TakeCharacter<&FXMLReader::OnTagOpen>(parse);
    case State::TagName:
        TakeNameRun(false);
        return TakeCharacter<&FXMLReader::OnTagName>(parse);
    case State::InTag:
        SkipRun([](wchar_t c) { return IsWhiteSpace(c); });
        return TakeCharacter<&FXMLReader::OnInTag>(parse);
    case State::AttrName:
        TakeNameRun(true);
        return TakeCharacter<&FXMLReader::OnAttrName>(parse);
    case State::AttrEquals:
        return TakeCharacter<&FXMLReader::OnAttrEquals>(parse);
    case State::AttrValue:
        TakeValueRun(parse);
        return TakeCharacter<&FXMLReader::OnAttrValue>(parse);
    case State::Content:
        TakeContentRun(parse);
        return TakeCharacter<&FXMLReader::OnContent>(parse);
    case State::EndTag:
        TakeEndTagRun();
        return TakeCharacter<&FXMLReader::OnEndTag>(parse);
    case State::Declaration:
        SkipRun([](wchar_t c) { return IsDeclarationText(c); });
        return TakeCharacter<&FXMLReader::OnDeclaration>(parse);
    }
    return Step::Failed;
}

template <FXMLReader::Step (FXMLReader::*OnState)(FXMLReader::ElementParse&, wchar_t, bool)>
FXMLReader::Step FXMLReader::TakeCharacter(ElementParse& parse)
{
    // Input that ends before the element is complete fails it.
    if (pos_ >= length_)
        return Step::Failed;
    wchar_t c = 0;
    bool markup = false;
    if (!NextCharacter(parse, c, markup))
        return Step::Failed;
    return (this->*OnState)(parse, c, markup);
}

FXMLReader::Step FXMLReader::OnStart(ElementParse& parse, wchar_t c, bool markup)
{
    // Anything before the first tag is skipped.
    if (markup && c == L'<') {
        parse.element.reset(new (arena_) FXMLElement(arena_));
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
        name_.Clear();
        Collect(name_, c);
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
        parse.element->SetName(SharedString(name_.Data(), name_.Size()));
        parse.state = State::InTag;
    } else if (markup && c == L'/') {
        if (!name_.Empty())
            parse.element->SetName(SharedString(name_.Data(), name_.Size()));
        BeginEndTag(parse);
    } else if (markup && c == L'>') {
        parse.element->SetName(SharedString(name_.Data(), name_.Size()));
        parse.state = State::Content;
    } else if (IsNameChar(c)) {
        Collect(name_, c);
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
        name_.Clear();
        Collect(name_, c);
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
        Collect(name_, c);
    } else {
        return BadNameStep(c, false);
    }
    return Step::Next;
}

FXMLReader::Step FXMLReader::OnAttrEquals(ElementParse& parse, wchar_t c, bool markup)
{
    if (markup && (c == L'"' || c == L'\'')) {
        parse.quote = c;
        value_.Clear();
        parse.state = State::AttrValue;
        return Step::Next;
    }
    // Anything but white space is an attribute without a quoted value.
    return markup && IsWhiteSpace(c) ? Step::Next : Step::Failed;
}

FXMLReader::Step FXMLReader::OnAttrValue(ElementParse& parse, wchar_t c, bool markup)
{
    if (markup && c == parse.quote) {
        // The name is held apart: the value's lookup may move or replace the shared strings.
        const QLXString name = SharedString(name_.Data(), name_.Size());
        parse.element->AddAttribute(name, SharedString(value_.Data(), value_.Size()));
        parse.state = State::InTag;
    } else {
        Collect(value_, c);
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
        if (content_.size() > parse.textStart)
            parse.element->SetText(SharedString(content_.data() + parse.textStart, content_.size() - parse.textStart));
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
    name_.Clear();
    parse.state = State::EndTag;
}

FXMLReader::Step FXMLReader::OnEndTag(ElementParse& parse, wchar_t c, bool markup)
{
    if (markup && (c == L'/' || IsWhiteSpace(c)))
        return Step::Next;
    if (markup && c == L'>')
        return CloseElement(parse);
    if (name_.Empty() ? IsNameStart(c) : IsNameChar(c)) {
        Collect(name_, c);
        return Step::Next;
    }
    return BadNameStep(c, name_.Empty());
}

FXMLReader::Step FXMLReader::CloseElement(ElementParse& parse)
{
    const QLXString& name = parse.element->Name();
    if (!name_.Empty() && !SameText(name_.Data(), name_.Size(), name)) {
        std::wstring text = L"FXML reports parsing error.  Unmatched tag: Expecting ";
        text.append(name.c_str(), name.Length());
        text += L" but encountered ";
        text.append(name_.Data(), name_.Size());
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

// Text, white space and line breaks up to the next "<", "&" or "]".
void FXMLReader::TakeContentRun(ElementParse& parse)
{
    while (pos_ < length_) {
        const wchar_t c = text_[pos_];
        if (IsKeptText(c)) {
            // After a kept character, spaces and tabs are kept too, up to the next line break.
            const size_t start = pos_;
            pos_ = std::find_if(text_ + pos_ + 1, text_ + length_, [](wchar_t t) { return IsTextBreak(t); }) - text_;
            if (parse.pendingSpace) {
                content_ += L' ';
                parse.pendingSpace = false;
            }
            content_.append(text_ + start, pos_ - start);
        } else if (c == L'\r' || c == L'\n') {
            // The break and all white space after it become at most one space.
            parse.pendingSpace = true;
            SkipRun([](wchar_t c) { return IsWhiteSpace(c); });
        } else if (c == L' ' || c == L'\t') {
            if (!parse.pendingSpace && content_.size() > parse.textStart)
                content_ += c;
            ++pos_;
        } else {
            return;
        }
    }
}

// Name characters; in an attribute name white space is skipped as well.
void FXMLReader::TakeNameRun(bool skipWhiteSpace)
{
    for (;;) {
        const size_t start = pos_;
        pos_ = std::find_if_not(text_ + pos_, text_ + length_, [](wchar_t c) { return IsNameChar(c); }) - text_;
        name_.Add(text_ + start, pos_ - start);
        if (!skipWhiteSpace || pos_ >= length_ || !IsWhiteSpace(text_[pos_]))
            return;
        SkipRun([](wchar_t c) { return IsWhiteSpace(c); });
    }
}

// Up to the closing quote or an entity; the value keeps every other character.
void FXMLReader::TakeValueRun(const ElementParse& parse)
{
    const size_t start = pos_;
    while (pos_ < length_ && text_[pos_] != parse.quote && text_[pos_] != L'&') {
        line_ += text_[pos_] == L'\n';
        ++pos_;
    }
    value_.Add(text_ + start, pos_ - start);
}

// The end-tag name, with the slashes and white space around it ignored.
void FXMLReader::TakeEndTagRun()
{
    while (pos_ < length_) {
        const wchar_t c = text_[pos_];
        if (c == L'/' || IsWhiteSpace(c)) {
            line_ += c == L'\n';
            ++pos_;
        } else if (name_.Empty() ? IsNameStart(c) : IsNameChar(c)) {
            TakeNameRun(false);
        } else {
            return;
        }
    }
}
