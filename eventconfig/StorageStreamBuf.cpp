#include "eventconfig/StorageStreamBuf.h"

#include <algorithm>
#include <cstring>

StorageStreamBuf::StorageStreamBuf()
{
    std::memset(buffer_, 0, sizeof buffer_);
}

StorageStreamBuf::~StorageStreamBuf()
{
    Detach();
}

bool StorageStreamBuf::AttachStorage(IStream* stream)
{
    if (attached_ || !stream)
        return false;
    STATSTG stat{};
    if (FAILED(stream->Stat(&stat, STATFLAG_NONAME)))
        return false;
    LARGE_INTEGER zero{};
    ULARGE_INTEGER position{};
    if (FAILED(stream->Seek(zero, STREAM_SEEK_CUR, &position)))
        return false;
    switch (stat.grfMode & (STGM_WRITE | STGM_READWRITE)) {
    case STGM_WRITE:
        access_ = WriteAccess;
        break;
    case STGM_READWRITE:
        access_ = ReadAccess | WriteAccess;
        break;
    default:
        access_ = ReadAccess;
        break;
    }
    access_ |= grantedAccess_;
    stream->AddRef();
    stream_ = stream;
    attached_ = true;
    base_ = static_cast<LONGLONG>(position.QuadPart);
    highWater_ = nullptr;
    setg(nullptr, nullptr, nullptr);
    setp(nullptr, nullptr);
    return true;
}

bool StorageStreamBuf::Detach()
{
    if (!attached_)
        return true;
    const bool flushed = sync() == 0;
    stream_->Release();
    stream_ = nullptr;
    attached_ = false;
    access_ = 0;
    highWater_ = nullptr;
    setg(nullptr, nullptr, nullptr);
    setp(nullptr, nullptr);
    return flushed;
}

StorageStreamBuf::int_type StorageStreamBuf::underflow()
{
    if (!attached_ || !CanRead())
        return traits_type::eof();
    if (gptr() && gptr() < egptr())
        return traits_type::to_int_type(*gptr());

    // Keep the last bytes read so that they can still be put back.
    char kept[PutBackSize];
    std::ptrdiff_t keep = 0;
    if (gptr()) {
        keep = std::min<std::ptrdiff_t>(PutBackSize, gptr() - eback());
        std::memcpy(kept, gptr() - keep, static_cast<size_t>(keep));
    }
    if (sync() != 0)
        return traits_type::eof();
    std::memcpy(Area() - keep, kept, static_cast<size_t>(keep));

    ULONG got = 0;
    const HRESULT hr = stream_->Read(Area(), BufferSize, &got);
    if (FAILED(hr) || got == 0) {
        setg(Area() - keep, Area(), Area());
        return traits_type::eof();
    }
    base_ += got;
    setg(Area() - keep, Area(), Area() + got);
    return traits_type::to_int_type(*gptr());
}

StorageStreamBuf::int_type StorageStreamBuf::overflow(int_type c)
{
    if (!attached_ || !CanWrite() || sync() != 0)
        return traits_type::eof();
    setp(Area(), Area() + BufferSize);
    highWater_ = Area();
    if (!traits_type::eq_int_type(c, traits_type::eof())) {
        *pptr() = traits_type::to_char_type(c);
        pbump(1);
    }
    return traits_type::not_eof(c);
}

int StorageStreamBuf::sync()
{
    if (!attached_)
        return -1;
    if (pbase()) {
        char* end = std::max(pptr(), highWater_);
        const ULONG count = static_cast<ULONG>(end - pbase());
        const LONGLONG back = end - pptr();
        const LONGLONG advance = pptr() - pbase();
        setp(nullptr, nullptr);
        highWater_ = nullptr;
        if (count) {
            ULONG written = 0;
            const HRESULT hr = stream_->Write(Area(), count, &written);
            if (FAILED(hr) || written != count)
                return -1;
            base_ += count;
            if (back) {
                LARGE_INTEGER move;
                move.QuadPart = -back;
                if (FAILED(stream_->Seek(move, STREAM_SEEK_CUR, nullptr)))
                    return -1;
                base_ = base_ - count + advance;
            }
        }
        return 0;
    }
    if (gptr()) {
        const LONGLONG unread = egptr() - gptr();
        setg(nullptr, nullptr, nullptr);
        if (unread) {
            LARGE_INTEGER move;
            move.QuadPart = -unread;
            if (FAILED(stream_->Seek(move, STREAM_SEEK_CUR, nullptr)))
                return -1;
            base_ -= unread;
        }
    }
    return 0;
}

StorageStreamBuf::pos_type StorageStreamBuf::seekoff(off_type offset, std::ios_base::seekdir direction,
                                                     std::ios_base::openmode)
{
    const pos_type failed(off_type(-1));
    if (!attached_ || sync() != 0)
        return failed;
    DWORD origin = STREAM_SEEK_SET;
    if (direction == std::ios_base::cur)
        origin = STREAM_SEEK_CUR;
    else if (direction == std::ios_base::end)
        origin = STREAM_SEEK_END;
    LARGE_INTEGER move;
    move.QuadPart = offset;
    ULARGE_INTEGER position{};
    if (FAILED(stream_->Seek(move, origin, &position)))
        return failed;
    base_ = static_cast<LONGLONG>(position.QuadPart);
    return pos_type(off_type(base_));
}

StorageStreamBuf::pos_type StorageStreamBuf::seekpos(pos_type position, std::ios_base::openmode which)
{
    return StorageStreamBuf::seekoff(off_type(position), std::ios_base::beg, which);
}

LONGLONG StorageStreamBuf::LogicalPosition() const
{
    if (pbase())
        return base_ + (pptr() - pbase());
    if (gptr())
        return base_ - (egptr() - gptr());
    return base_;
}

bool StorageStreamBuf::TargetOf(off_type offset, std::ios_base::seekdir direction, LONGLONG& target) const
{
    if (direction == std::ios_base::beg)
        target = offset;
    else if (direction == std::ios_base::cur)
        target = LogicalPosition() + offset;
    else
        return false;
    return true;
}

StorageOutStreamBuf::pos_type StorageOutStreamBuf::seekoff(off_type offset, std::ios_base::seekdir direction,
                                                           std::ios_base::openmode which)
{
    LONGLONG target = 0;
    if (attached_ && pbase() && TargetOf(offset, direction, target)) {
        highWater_ = std::max(highWater_, pptr());
        const LONGLONG current = LogicalPosition();
        if (target >= base_ && target <= base_ + (highWater_ - pbase())) {
            pbump(static_cast<int>(target - current));
            return pos_type(off_type(target));
        }
    }
    return StorageStreamBuf::seekoff(offset, direction, which);
}

StorageOutStreamBuf::pos_type StorageOutStreamBuf::seekpos(pos_type position, std::ios_base::openmode which)
{
    return seekoff(off_type(position), std::ios_base::beg, which);
}

StorageInStreamBuf::pos_type StorageInStreamBuf::seekoff(off_type offset, std::ios_base::seekdir direction,
                                                         std::ios_base::openmode which)
{
    LONGLONG target = 0;
    if (attached_ && gptr() && TargetOf(offset, direction, target)) {
        const LONGLONG start = base_ - (egptr() - eback());
        if (target >= start && target <= base_) {
            setg(eback(), eback() + (target - start), egptr());
            return pos_type(off_type(target));
        }
    }
    return StorageStreamBuf::seekoff(offset, direction, which);
}

StorageInStreamBuf::pos_type StorageInStreamBuf::seekpos(pos_type position, std::ios_base::openmode which)
{
    return seekoff(off_type(position), std::ios_base::beg, which);
}
