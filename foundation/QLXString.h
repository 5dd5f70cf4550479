#pragma once
// Reference-counted, copy-on-write UTF-16 strings whose representation is at the
// same time a COM-style string object, so strings cross host interfaces uncopied.

#include "hostapi/HostInterfaces.h"

#include <cstdint>
#include <stdexcept>

// The foundation's own plain exception, thrown for impossible string sizes.
class xmsg : public std::runtime_error {
public:
    explicit xmsg(const char* text) : std::runtime_error(text) {}
    explicit xmsg(const std::string& text) : std::runtime_error(text) {}
};

// A handle: one pointer to the first character of a representation. Never null;
// an empty string points at the shared empty representation.
class QLXString {
public:
    class StringRepBase;
    class StringRep;

    // Representation kind that promises the layout below; such objects made by
    // another module are adopted in place.
    static constexpr LONG OwnKind = QLXStringKind_Own;

    QLXString();
    QLXString(const wchar_t* text);
    // Copies up to maxCount characters or up to the first NUL; a negative count throws xmsg.
    QLXString(const wchar_t* text, int maxCount);
    // Copies the text of any IQLXString; the caller keeps its reference.
    explicit QLXString(IQLXString* source);
    QLXString(const QLXString& other);
    QLXString(QLXString&& other) noexcept;
    QLXString& operator=(const QLXString& other);
    QLXString& operator=(QLXString&& other) noexcept;
    ~QLXString();

    // codePageSelector 1: process ANSI code page; anything else: UTF-8.
    static QLXString FromNarrow(const char* text, int codePageSelector);
    // Takes over the caller's reference.
    static QLXString Attach(IQLXString* rep);

    const wchar_t* c_str() const { return chars_; }
    // Characters without the terminator.
    unsigned Length() const;
    bool IsEmpty() const { return Length() == 0; }
    // A new BSTR with the text for the caller to free; null for an empty string.
    BSTR NewBstr() const;
    // Room in characters, terminator included (the header value).
    unsigned Capacity() const;
    // Characters with the terminator (the header value; 1 for an empty string).
    unsigned RepLength() const;
    // The representation as an interface pointer, without adding a reference.
    IQLXString* Rep() const;
    // The representation with one added reference, for handing across interfaces.
    IQLXString* GetInterface() const;

    void MakeUnique();
    // Copy in the thread ANSI code page, owned by the representation.
    const char* NarrowText();
    void Reserve(unsigned capacity);
    QLXString& Append(const QLXString& text);
    QLXString& Append(const wchar_t* text);
    QLXString& Append(wchar_t c);
    void Replace(unsigned position, unsigned count, const QLXString& replacement);
    // Position of text at or after start, or -1.
    int Find(const QLXString& text, unsigned start = 0) const;

    // Empties the text and gives room for n characters plus NUL; finish with ReleaseBuffer.
    wchar_t* PrepareBuffer(unsigned n);
    // Sets the length from the first NUL, limited to the capacity.
    void ReleaseBuffer();
    // Replaces the representation by a new empty one of capacity max(8, n).
    wchar_t* FreshBuffer(unsigned n);

    // Raw storage access for the stream buffers; the caller has made the string unique.
    wchar_t* MutableChars() { return chars_; }
    void SetRepLength(unsigned lengthWithTerminator);

    bool operator==(const QLXString& other) const;
    bool operator!=(const QLXString& other) const { return !(*this == other); }
    bool operator==(const wchar_t* other) const;
    bool operator!=(const wchar_t* other) const { return !(*this == other); }

    // Representations made by this module and not yet destroyed (the shared empty one included).
    static long LiveRepresentations();

private:
    explicit QLXString(wchar_t* chars) : chars_(chars) {}
    void AppendChars(const wchar_t* text, size_t n);
    wchar_t* chars_;
};

// Loads a string-table entry; with substitute set the product words are replaced.
void LoadResourceString(QLXString& out, HINSTANCE instance, UINT id, bool substitute);
QLXString LoadResourceString(HINSTANCE instance, UINT id, bool substitute = false);
