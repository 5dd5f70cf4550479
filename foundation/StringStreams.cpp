#include "foundation/StringStreams.h"

#include <algorithm>
#include <climits>
#include <cwchar>

std::wostream& operator<<(std::wostream& out, const QLXString& text)
{
    return out.write(text.c_str(), std::streamsize(text.Length()));
}

namespace QLX {

namespace {
constexpr unsigned MinCapacity = 8;
} // namespace

wchar_t* MemStreamBufBase::GetStorage(unsigned* capacity, unsigned* length)
{
    storage_.Reserve(storage_.Capacity());
    *capacity = storage_.Capacity();
    *length = storage_.Length();
    return storage_.MutableChars();
}

wchar_t* MemStreamBufBase::GrowStorage(unsigned written, unsigned capacity, unsigned* newCapacity)
{
    storage_.SetRepLength(written);
    storage_.Reserve(capacity);
    *newCapacity = storage_.Capacity();
    return storage_.MutableChars();
}

StringStreamBuf::StringStreamBuf(const QLXString& initial, unsigned openMode)
    : MemStreamBufBase(initial, openMode), resumeAt_(initial.Length())
{}

StringStreamBuf::ReadOffsets StringStreamBuf::SavedReadArea() const
{
    if (!eback())
        return ReadOffsets{0, 0};
    return ReadOffsets{gptr() - eback(), egptr() - eback()};
}

void StringStreamBuf::OpenPutArea(wchar_t* chars, unsigned capacity, unsigned position, ReadOffsets read)
{
    setp(chars, chars + capacity);
    pbump(int(position));
    // The get area follows the storage too, at the same offsets.
    if (openMode_ & In)
        setg(chars, chars + std::min<std::ptrdiff_t>(read.at, position),
             chars + std::min<std::ptrdiff_t>(read.end, position));
}

// Opens the put area when it is closed: on the first write, and after a take.
bool StringStreamBuf::EnsurePutArea(bool mayDouble)
{
    if (pptr())
        return true;
    if (!(openMode_ & Out))
        return false;
    unsigned capacity = 0;
    wchar_t* chars = nullptr;
    if (!taken_) {
        unsigned length = 0;
        const ReadOffsets read = SavedReadArea();
        chars = GetStorage(&capacity, &length);
        OpenPutArea(chars, capacity, length, read);
        return true;
    }
    // The taken text may still be held elsewhere: reserving first gives this buffer its
    // own copy before the length is changed.
    const unsigned position = resumeAt_;
    unsigned wanted = storage_.Capacity();
    if (mayDouble && uint64_t(position) + MinCapacity > wanted)
        wanted = unsigned(std::min<uint64_t>(uint64_t(wanted) * 2, INT_MAX));
    storage_.Reserve(wanted);
    storage_.SetRepLength(position);
    chars = storage_.MutableChars();
    capacity = storage_.Capacity();
    taken_ = false;
    OpenPutArea(chars, capacity, position, ReadOffsets{0, 0});
    return true;
}

bool StringStreamBuf::Grow()
{
    const unsigned written = unsigned(pptr() - pbase());
    const uint64_t doubled = uint64_t(written) * 2;
    const unsigned wanted = unsigned(std::max<uint64_t>(MinCapacity, std::min<uint64_t>(doubled, INT_MAX)));
    if (wanted <= written)
        return false;
    unsigned capacity = 0;
    const ReadOffsets read = SavedReadArea();
    wchar_t* chars = GrowStorage(written, wanted, &capacity);
    OpenPutArea(chars, capacity, written, read);
    return true;
}

StringStreamBuf::int_type StringStreamBuf::overflow(int_type c)
{
    if (!(openMode_ & Out) || !EnsurePutArea(true))
        return traits_type::eof();
    if (traits_type::eq_int_type(c, traits_type::eof()))
        return traits_type::not_eof(c);
    if (pptr() == epptr() && !Grow())
        return traits_type::eof();
    *pptr() = traits_type::to_char_type(c);
    pbump(1);
    return c;
}

StringStreamBuf::int_type StringStreamBuf::underflow()
{
    if (!(openMode_ & In))
        return traits_type::eof();
    if (pptr() && eback() && egptr() < pptr())
        setg(eback(), gptr(), pptr());
    if (!eback() && !pptr()) {
        // Nothing written yet: the initial text can be read.
        wchar_t* chars = storage_.MutableChars();
        setg(chars, chars, chars + resumeAt_);
    }
    if (gptr() && gptr() < egptr())
        return traits_type::to_int_type(*gptr());
    return traits_type::eof();
}

StringStreamBuf::pos_type StringStreamBuf::seekoff(off_type off, std::ios_base::seekdir dir,
                                                   std::ios_base::openmode which)
{
    const pos_type failed = pos_type(off_type(-1));
    const bool in = (which & std::ios_base::in) && (openMode_ & In);
    const bool out = (which & std::ios_base::out) && (openMode_ & Out);
    if (!in && !out)
        return failed;
    if (in && out && dir == std::ios_base::cur)
        return failed;

    // The write position: what has been written, or where writing resumes.
    const off_type written = pptr() ? off_type(pptr() - pbase()) : off_type(resumeAt_);
    if (out && !in && dir == std::ios_base::cur && off == 0)
        return pos_type(written);

    if (in) {
        if (pptr() && eback() && egptr() < pptr())
            setg(eback(), gptr(), pptr());
        const off_type readable = eback() ? off_type(egptr() - eback()) : 0;
        const off_type base = dir == std::ios_base::beg   ? 0
                              : dir == std::ios_base::cur ? (eback() ? off_type(gptr() - eback()) : 0)
                                                          : readable;
        const off_type target = base + off;
        if (target < 0 || target > readable)
            return failed;
        if (!out) {
            if (eback())
                setg(eback(), eback() + target, egptr());
            return pos_type(target);
        }
    }
    const off_type base = dir == std::ios_base::beg ? 0 : written;
    const off_type target = base + off;
    if (target < 0)
        return failed;
    if (!EnsurePutArea(false))
        return failed;
    if (target > off_type(epptr() - pbase()))
        return failed;
    pbump(int(target - off_type(pptr() - pbase())));
    if (in && eback())
        setg(eback(), eback() + target, std::max(egptr(), eback() + target));
    return pos_type(target);
}

StringStreamBuf::pos_type StringStreamBuf::seekpos(pos_type pos, std::ios_base::openmode which)
{
    return seekoff(off_type(pos), std::ios_base::beg, which);
}

QLXString StringStreamBuf::TakeString()
{
    if (!pptr())
        return storage_;
    unsigned written = unsigned(pptr() - pbase());
    unsigned textLength = written;
    if (written > 0 && pbase()[written - 1] == L'\0') {
        --textLength;
    } else {
        if (pptr() == epptr() && !Grow())
            return storage_;
        *pptr() = L'\0';
        pbump(1);
        ++written;
    }
    storage_.SetRepLength(written);
    resumeAt_ = textLength;
    if (eback())
        setg(nullptr, nullptr, nullptr);
    setp(nullptr, nullptr);
    taken_ = true;
    ReleaseHook();
    return storage_;
}

const wchar_t* StringStreamBuf::WrittenText() const
{
    return pptr() ? pbase() : storage_.c_str();
}

unsigned StringStreamBuf::WrittenCount() const
{
    return pptr() ? unsigned(pptr() - pbase()) : resumeAt_;
}

OStringStream::OStringStream() : std::wostream(nullptr), buf_(QLXString(), StringStreamBuf::In | StringStreamBuf::Out)
{
    rdbuf(&buf_);
}

OFormatStream::OFormatStream(const QLXString& format, std::wstreambuf* target)
    : format_(format), formatBegin_(format_.c_str()), formatEnd_(format_.c_str() + format_.Length())
{
    init(target);
    std::fill(std::begin(byArgument_), std::end(byArgument_), -1);
    Parse();
    if (placeholderCount_ == 0 && target)
        target->sputn(formatBegin_, formatEnd_ - formatBegin_);
}

OFormatStream& OFormatStream::operator<<(std::ios_base& (*manipulator)(std::ios_base&))
{
    arguments_ << manipulator;
    return *this;
}

OFormatStream& OFormatStream::operator<<(std::wostream& (*manipulator)(std::wostream&))
{
    arguments_ << manipulator;
    return *this;
}

// A "%" followed by a number from 1 to 20 is a placeholder while fewer than 20 have
// been found; any other "%" (zero, negative, above 20, the 21st) is ordinary text.
void OFormatStream::Parse()
{
    bool doubledPercent = false;
    const wchar_t* p = formatBegin_;
    while (p < formatEnd_) {
        const wchar_t* percent = std::find(p, formatEnd_, L'%');
        if (percent == formatEnd_)
            break;
        if (percent + 1 < formatEnd_ && percent[1] == L'%') {
            doubledPercent = true;
            p = percent + 2;
            continue;
        }
        wchar_t* digitsEnd = nullptr;
        const long number = std::wcstol(percent + 1, &digitsEnd, 10);
        if (digitsEnd == percent + 1 || number < 1 || number > MaxPlaceholders ||
            placeholderCount_ == MaxPlaceholders) {
            p = percent + 1;
            continue;
        }
        const wchar_t* after = digitsEnd;
        if (after < formatEnd_ && *after == L'\\')
            ++after;
        highest_ = std::max<int32_t>(highest_, int32_t(number));
        Placeholder& record = placeholders_[placeholderCount_];
        record = Placeholder{percent, after, 0, 0, doubledPercent};
        byArgument_[number - 1] = placeholderCount_++;
        doubledPercent = false;
        p = after;
    }
    doubledPercentAfterLast_ = doubledPercent;
}

void OFormatStream::EndArgument()
{
    if (completed_ >= highest_)
        return;
    const std::streampos tell = arguments_.tellp();
    const int64_t position = tell == std::streampos(-1) ? savedPosition_ : int64_t(std::streamoff(tell));
    if (byArgument_[completed_] >= 0)
        placeholders_[byArgument_[completed_]].length = uint32_t(std::max<int64_t>(0, position - savedPosition_));
    ++completed_;
    if (completed_ < highest_ && byArgument_[completed_] >= 0)
        placeholders_[byArgument_[completed_]].start = uint32_t(position);
    if (completed_ == highest_)
        Emit();
    savedPosition_ = position;
}

void OFormatStream::Emit()
{
    std::wstreambuf* target = rdbuf();
    if (!target)
        return;
    const wchar_t* arguments = arguments_.Buffer().WrittenText();
    const uint64_t argumentsLength = arguments_.Buffer().WrittenCount();
    const wchar_t* current = formatBegin_;
    for (int i = 0; i < placeholderCount_; ++i) {
        const Placeholder& record = placeholders_[i];
        WriteLiteral(current, record.percent, record.doubledPercentBefore);
        current = record.after;
        // A value whose text was moved by seeking the argument stream is cut to what exists.
        if (record.length != 0 && record.start < argumentsLength) {
            const uint64_t n = std::min<uint64_t>(record.length, argumentsLength - record.start);
            target->sputn(arguments + record.start, std::streamsize(n));
        }
    }
    WriteLiteral(current, formatEnd_, doubledPercentAfterLast_);
}

void OFormatStream::WriteLiteral(const wchar_t* from, const wchar_t* to, bool doubledPercent)
{
    std::wstreambuf* target = rdbuf();
    if (!doubledPercent) {
        target->sputn(from, to - from);
        return;
    }
    while (from < to) {
        const wchar_t* percent = std::find(from, to, L'%');
        target->sputn(from, percent - from);
        if (percent == to)
            break;
        // "%%" becomes one "%"; a lone "%" (as in "%0") is ordinary text.
        target->sputc(L'%');
        from = percent + 1;
        if (from < to && *from == L'%')
            ++from;
    }
}

OFormatStringStream::OFormatStringStream(const QLXString& format) : OFormatStream(format, &target_) {}

} // namespace QLX
