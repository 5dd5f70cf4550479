#pragma once
// Wide streams that write straight into a QLXString, and format streams that put
// inserted values into the numbered placeholders "%1" to "%20" of a format text.

#include "foundation/QLXString.h"

#include <cstddef>
#include <cstdint>
#include <iomanip>
#include <ios>
#include <ostream>
#include <streambuf>

std::wostream& operator<<(std::wostream& out, const QLXString& text);

namespace QLX {

// A wide stream buffer whose storage is a QLXString.
class MemStreamBufBase : public std::wstreambuf {
public:
    enum OpenMode : unsigned { In = 1, Out = 2 };

    MemStreamBufBase(const QLXString& storage, unsigned openMode) : openMode_(openMode), storage_(storage) {}

protected:
    // The storage made private: its characters, capacity and text length.
    virtual wchar_t* GetStorage(unsigned* capacity, unsigned* length);
    // Keeps the first `written` characters and gives room for `capacity`.
    virtual wchar_t* GrowStorage(unsigned written, unsigned capacity, unsigned* newCapacity);
    virtual void ReleaseHook() {}

    unsigned openMode_;
    QLXString storage_;
    bool taken_ = false;
};

// The buffer used by every string stream: the put area is the storage itself and
// grows by doubling, so taking the text copies nothing.
class StringStreamBuf : public MemStreamBufBase {
public:
    explicit StringStreamBuf(const QLXString& initial = QLXString(), unsigned openMode = In | Out);

    // The text written so far, terminated. Writing may go on afterwards; it continues
    // the text in a private copy, so the taken string never changes.
    QLXString TakeString();

    // What has been written, for readers inside the foundation; valid until the next write.
    const wchar_t* WrittenText() const;
    unsigned WrittenCount() const;

protected:
    int_type overflow(int_type c) override;
    int_type underflow() override;
    pos_type seekoff(off_type off, std::ios_base::seekdir dir, std::ios_base::openmode which) override;
    pos_type seekpos(pos_type pos, std::ios_base::openmode which) override;

private:
    struct ReadOffsets {
        std::ptrdiff_t at;
        std::ptrdiff_t end;
    };
    ReadOffsets SavedReadArea() const;
    // Opens the put area on the storage with the write position at `position`.
    void OpenPutArea(wchar_t* chars, unsigned capacity, unsigned position, ReadOffsets read);
    bool EnsurePutArea(bool mayDouble);
    bool Grow();

    // Where writing resumes while the put area is closed.
    unsigned resumeAt_ = 0;
};

// A wide output stream over its own string buffer.
class OStringStream : public std::wostream {
public:
    OStringStream();
    QLXString TakeString() { return buf_.TakeString(); }
    StringStreamBuf& Buffer() { return buf_; }

private:
    StringStreamBuf buf_;
};

// Composes a format text with numbered placeholders into a target stream buffer.
// Values go in in argument order; the text is emitted once the value for the
// highest placeholder has arrived.
class OFormatStream : public virtual std::basic_ios<wchar_t> {
public:
    static constexpr int MaxPlaceholders = 20;

    OFormatStream(const QLXString& format, std::wstreambuf* target);
    OFormatStream(const OFormatStream&) = delete;
    OFormatStream& operator=(const OFormatStream&) = delete;

    template <typename T>
    OFormatStream& operator<<(const T& value)
    {
        arguments_ << value;
        EndArgument();
        return *this;
    }
    // Manipulators change the formatting of the following values; they are not values.
    OFormatStream& operator<<(std::ios_base& (*manipulator)(std::ios_base&));
    OFormatStream& operator<<(std::wostream& (*manipulator)(std::wostream&));
    OFormatStream& operator<<(decltype(std::setw(0)) m) { return Manipulate(m); }
    OFormatStream& operator<<(decltype(std::setprecision(0)) m) { return Manipulate(m); }
    OFormatStream& operator<<(decltype(std::setfill(L' ')) m) { return Manipulate(m); }
    OFormatStream& operator<<(decltype(std::setbase(10)) m) { return Manipulate(m); }
    OFormatStream& operator<<(decltype(std::setiosflags(std::ios_base::fmtflags())) m) { return Manipulate(m); }
    OFormatStream& operator<<(decltype(std::resetiosflags(std::ios_base::fmtflags())) m) { return Manipulate(m); }

    // The stream the values are formatted in; its formatting state persists between values.
    std::wostream& ArgumentStream() { return arguments_; }

    // Ends the value currently being formatted; emits the text after the last one.
    void EndArgument();

private:
    struct Placeholder {
        const wchar_t* percent;
        const wchar_t* after;
        uint32_t start;
        uint32_t length;
        bool doubledPercentBefore; // the literal text before it has "%%" to collapse
    };

    template <typename M>
    OFormatStream& Manipulate(const M& m)
    {
        arguments_ << m;
        return *this;
    }
    void Parse();
    void Emit();
    void WriteLiteral(const wchar_t* from, const wchar_t* to, bool doubledPercent);

    QLXString format_;
    const wchar_t* formatBegin_;
    const wchar_t* formatEnd_;
    OStringStream arguments_;
    int64_t savedPosition_ = 0;
    int32_t completed_ = 0;
    int32_t highest_ = 0;
    int32_t placeholderCount_ = 0;
    Placeholder placeholders_[MaxPlaceholders];
    int32_t byArgument_[MaxPlaceholders];
    bool doubledPercentAfterLast_ = false;
};

namespace Detail {
// Holds the target buffer so it exists before the format stream writes into it.
struct FormatTarget {
    StringStreamBuf target_;
};
} // namespace Detail

// A format stream whose target is its own string; TakeString gives the composed text.
class OFormatStringStream : private Detail::FormatTarget, public OFormatStream {
public:
    explicit OFormatStringStream(const QLXString& format);
    QLXString TakeString() { return target_.TakeString(); }
};

} // namespace QLX
