#pragma once
// A small single-pass XML reader for the unit's input descriptions: element names,
// attributes, text content and children, with failures reported as data.

#include "foundation/QLXString.h"

#include <cstddef>
#include <map>
#include <string>
#include <vector>

// Orders attribute names by UTF-16 code unit, independent of any locale.
struct FXMLOrdinalLess {
    bool operator()(const QLXString& a, const QLXString& b) const;
};

// One element of a parsed document. It owns its children; destroying an element
// detaches it from its parent unless that parent is itself being destroyed.
class FXMLElement {
public:
    using AttributeMap = std::map<QLXString, QLXString, FXMLOrdinalLess>;

    FXMLElement();
    virtual ~FXMLElement();
    FXMLElement(const FXMLElement&) = delete;
    FXMLElement& operator=(const FXMLElement&) = delete;

    const QLXString& Name() const { return name_; }
    const QLXString& Text() const { return text_; }
    const AttributeMap& Attributes() const { return attributes_; }
    // True when the content held a CDATA section.
    bool IsCData() const { return cdata_; }
    FXMLElement* Parent() const { return parent_; }
    const std::vector<FXMLElement*>& Children() const { return children_; }

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
    void DetachChild(FXMLElement* child);

    QLXString name_;
    QLXString text_;
    AttributeMap attributes_;
    bool cdata_ = false;
    // Set while the destructor runs, so children do not edit the list being torn down.
    bool destroying_ = false;
    FXMLElement* parent_ = nullptr;
    std::vector<FXMLElement*> children_;
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

    // Finds and keeps the declaration; false with the error set. start: where the root begins.
    bool ReadDeclaration(const wchar_t* text, size_t length, size_t& start);
    // Reads one element from the shared position; children by recursion.
    FXMLElement* ParseElement(int depth);
    // Takes the next character, decoding entities; false with the error set.
    bool NextCharacter(const ElementParse& parse, wchar_t& c, bool& markup);
    Step Dispatch(ElementParse& parse, wchar_t c, bool markup);
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
    Step CloseElement(ElementParse& parse);
    void BeginEndTag(ElementParse& parse);
    Step FailStep(int code, const std::wstring& text);
    Step BadNameStep(wchar_t c, bool first);

    FXMLElement* Fail(int code, const std::wstring& text);
    FXMLElement* BadName(wchar_t c, bool first);
    bool AtText(const wchar_t* literal, size_t length) const;
    void CountLines(size_t from, size_t to);

    int errorCode_ = 0;
    QLXString errorText_;
    QLXString headerText_;

    // Input being parsed and the shared walk through it.
    const wchar_t* text_ = nullptr;
    size_t length_ = 0;
    size_t pos_ = 0;
    int line_ = 1;

    // Scratch buffers for names and values; each is complete before a child is read.
    std::wstring name_;
    std::wstring attrName_;
    std::wstring attrValue_;
    std::wstring endName_;
    // Text of the open elements, innermost last; each level appends past its parent's part.
    std::wstring content_;
};
