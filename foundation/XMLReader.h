#pragma once
// A small single-pass XML reader for the unit's input descriptions: element names,
// attributes, text content and children, with failures reported as data.

#include "foundation/QLXString.h"

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

// Orders attribute names by UTF-16 code unit, independent of any locale.
struct FXMLOrdinalLess {
    bool operator()(const QLXString& a, const QLXString& b) const;
};

// Storage shared by the elements of one parsed tree; it lives as long as any of them.
class FXMLArena;

// Memory for element members: from the tree's arena for parsed elements, else from the heap.
void* FXMLAllocate(FXMLArena* arena, size_t bytes);
void FXMLDeallocate(FXMLArena* arena, void* p);

template <class T>
class FXMLAllocator {
public:
    using value_type = T;

    explicit FXMLAllocator(FXMLArena* arena = nullptr) noexcept : arena_(arena) {}
    template <class U>
    FXMLAllocator(const FXMLAllocator<U>& other) noexcept : arena_(other.Arena())
    {}

    T* allocate(size_t n) { return static_cast<T*>(FXMLAllocate(arena_, n * sizeof(T))); }
    void deallocate(T* p, size_t) noexcept { FXMLDeallocate(arena_, p); }
    FXMLArena* Arena() const noexcept { return arena_; }

    template <class U>
    bool operator==(const FXMLAllocator<U>& other) const noexcept
    {
        return arena_ == other.Arena();
    }
    template <class U>
    bool operator!=(const FXMLAllocator<U>& other) const noexcept
    {
        return arena_ != other.Arena();
    }

private:
    FXMLArena* arena_;
};

// One element of a parsed document. It owns its children; destroying an element
// detaches it from its parent unless that parent is itself being destroyed.
class FXMLElement {
public:
    using AttributeMap =
        std::map<QLXString, QLXString, FXMLOrdinalLess, FXMLAllocator<std::pair<const QLXString, QLXString>>>;
    using ChildList = std::vector<FXMLElement*, FXMLAllocator<FXMLElement*>>;

    FXMLElement();
    virtual ~FXMLElement();
    FXMLElement(const FXMLElement&) = delete;
    FXMLElement& operator=(const FXMLElement&) = delete;

    // Each block records its arena, so delete works the same for parsed and hand-made elements.
    static void* operator new(size_t size);
    static void* operator new(size_t size, FXMLArena* arena);
    static void operator delete(void* p) noexcept;
    static void operator delete(void* p, FXMLArena* arena) noexcept;

    const QLXString& Name() const { return name_; }
    const QLXString& Text() const { return text_; }
    const AttributeMap& Attributes() const { return attributes_; }
    // True when the content held a CDATA section.
    bool IsCData() const { return cdata_; }
    FXMLElement* Parent() const { return parent_; }
    const ChildList& Children() const { return children_; }

    // An empty name is stored as "Invalid.Empty.Name.Supplied".
    void SetName(const QLXString& name);
    void SetText(const QLXString& text);
    void SetCData(bool cdata) { cdata_ = cdata; }
    // Keeps the first value when the name is already present; empty names as for SetName.
    void AddAttribute(const QLXString& name, const QLXString& value);
    // Takes ownership of the child, moving it away from any earlier parent.
    void AppendChild(FXMLElement* child);

    // Elements constructed and not yet destroyed, process-wide.
    static long LiveCount();

private:
    friend class FXMLReader;
    explicit FXMLElement(FXMLArena* arena);
    void DetachChild(FXMLElement* child);

    QLXString name_;
    QLXString text_;
    AttributeMap attributes_;
    bool cdata_ = false;
    // Set while the destructor runs, so children do not edit the list being torn down.
    bool destroying_ = false;
    FXMLElement* parent_ = nullptr;
    ChildList children_;
};

// Reads a wide text into an FXMLElement tree; holds the status of its last parse.
class FXMLReader {
public:
    // Error codes of the last parse.
    enum : int {
        Success = 0,
        EmptyInput = -1,
        JunkBeforeHeader = -2,
        MissingHeaderEnd = -3,
        ParseFailure = -4,
        UnterminatedCData = -5,
        UnknownEntity = -6,
        UnmatchedEndTag = -7,
        CDataEndOutsideSection = -8,
    };

    // Deepest element nesting accepted; deeper input fails instead of exhausting the stack.
    static constexpr int MaxDepth = 256;

    // The root element, owned by the caller, or null with the error code and text set.
    FXMLElement* Parse(const QLXString& text);

    int ErrorCode() const { return errorCode_; }
    const QLXString& ErrorText() const { return errorText_; }
    // The XML declaration as found, from "<?xml version=" through "?>".
    const QLXString& HeaderText() const { return headerText_; }

private:
    enum class State { Start, TagOpen, TagName, InTag, AttrName, AttrEquals, AttrValue, Content, EndTag, Declaration };
    // What a step does to the element parse: go on, finish with the element, or fail.
    enum class Step { Next, Done, Failed };
    // The walk through one element; children have their own.
    struct ElementParse;

    // Characters of a name or value: a stretch of the input while they follow each other
    // there, copied to a buffer only once they do not (a decoded entity, a gap in a name).
    class Collected {
    public:
        void Clear();
        void Add(const wchar_t* input, size_t count);
        void Add(wchar_t decoded);
        const wchar_t* Data() const { return chars_; }
        size_t Size() const { return length_; }
        bool Empty() const { return length_ == 0; }

    private:
        void Buffer();
        const wchar_t* chars_ = nullptr;
        size_t length_ = 0;
        bool buffered_ = false;
        std::wstring buffer_;
    };

    // Finds and keeps the declaration; false with the error set. start: where the root begins.
    bool ReadDeclaration(const wchar_t* text, size_t length, size_t& start);
    // Reads one element from the shared position; children by recursion.
    FXMLElement* ParseElement(int depth);
    // Takes the next character, decoding entities; false with the error set.
    bool NextCharacter(const ElementParse& parse, wchar_t& c, bool& markup);
    // The run of the current state, then one character through the state's step.
    Step Dispatch(ElementParse& parse);
    template <Step (FXMLReader::*OnState)(ElementParse&, wchar_t, bool)>
    Step TakeCharacter(ElementParse& parse);
    Step OnStart(ElementParse& parse, wchar_t c, bool markup);
    Step OnTagOpen(ElementParse& parse, wchar_t c, bool markup);
    Step OnTagName(ElementParse& parse, wchar_t c, bool markup);
    Step OnInTag(ElementParse& parse, wchar_t c, bool markup);
    Step OnAttrName(ElementParse& parse, wchar_t c, bool markup);
    Step OnAttrEquals(ElementParse& parse, wchar_t c, bool markup);
    Step OnAttrValue(ElementParse& parse, wchar_t c, bool markup);
    Step OnContent(ElementParse& parse, wchar_t c, bool markup);
    // "<" in content: a CDATA section, a skipped declaration, the end tag or a child.
    Step OnContentMarkup(ElementParse& parse);
    Step OnEndTag(ElementParse& parse, wchar_t c, bool markup);
    Step OnDeclaration(ElementParse& parse, wchar_t c, bool markup);
    // Take the characters that need no decision in the current state in one go.
    void TakeContentRun(ElementParse& parse);
    void TakeNameRun(bool skipWhiteSpace);
    void TakeValueRun(const ElementParse& parse);
    void TakeEndTagRun();
    template <class Skipped>
    void SkipRun(Skipped skipped);
    // Adds the character just taken: from the input unless it was decoded.
    void Collect(Collected& into, wchar_t c);
    Step CloseElement(ElementParse& parse);
    void BeginEndTag(ElementParse& parse);
    Step FailStep(int code, const std::wstring& text);
    Step BadNameStep(wchar_t c, bool first);

    FXMLElement* Fail(int code, const std::wstring& text);
    FXMLElement* BadName(wchar_t c, bool first);
    bool AtText(const wchar_t* literal, size_t length) const;
    void CountLines(size_t from, size_t to);
    // A string for the tree; short texts met before in this parse share one representation.
    // The reference is good until the next call.
    const QLXString& SharedString(const wchar_t* chars, size_t length);
    const QLXString& Unshared(const wchar_t* chars, size_t length);
    void GrowStringSlots();
    // Ends the parse's use of its arena and of the shared strings.
    void EndParse();

    int errorCode_ = 0;
    QLXString errorText_;
    QLXString headerText_;

    // Input being parsed and the shared walk through it.
    const wchar_t* text_ = nullptr;
    size_t length_ = 0;
    size_t pos_ = 0;
    int line_ = 1;

    // Each complete before a child is read: the tag, attribute or end-tag name being read
    // (one at a time), and an attribute value.
    Collected name_;
    Collected value_;
    // Text of the open elements, innermost last; each level appends past its parent's part.
    std::wstring content_;

    // Where the elements of the tree being read are made.
    FXMLArena* arena_ = nullptr;
    // Strings made in this parse, found again through an open-addressed table of their hashes.
    struct StringSlot {
        uint32_t hash;
        uint32_t length;
        // Into strings_, plus one; 0 marks a free slot.
        uint32_t index;
    };
    std::vector<QLXString> strings_;
    std::vector<StringSlot> stringSlots_;
    // Holds a string that is not shared until the caller has copied it.
    QLXString unshared_;
};
