#include "ProbeStream.h"

#include <algorithm>
#include <atomic>
#include <cstring>

namespace VireoTest {
namespace {
std::atomic<long> g_live{0};
}

ProbeStream::ProbeStream(const std::string& bytes) : bytes_(bytes)
{
    ++g_live;
}

ProbeStream::~ProbeStream()
{
    --g_live;
}

long ProbeStream::Live()
{
    return g_live.load();
}

HRESULT ProbeStream::QueryInterface(REFIID iid, void** object)
{
    if (!object)
        return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IStream) || IsEqualIID(iid, IID_ISequentialStream)) {
        *object = static_cast<IStream*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG ProbeStream::AddRef()
{
    return InterlockedIncrement(&refs_);
}

ULONG ProbeStream::Release()
{
    const LONG left = InterlockedDecrement(&refs_);
    if (left == 0)
        delete this;
    return left;
}

HRESULT ProbeStream::Read(void* data, ULONG count, ULONG* read)
{
    ++reads;
    const ULONG available = position_ < bytes_.size() ? static_cast<ULONG>(bytes_.size()) - position_ : 0;
    const ULONG n = std::min(count, available);
    if (n)
        std::memcpy(data, bytes_.data() + position_, n);
    position_ += n;
    if (read)
        *read = n;
    return n < count ? S_FALSE : S_OK;
}

HRESULT ProbeStream::Write(const void* data, ULONG count, ULONG* written)
{
    ++writes;
    const ULONG allowed = written_ < writeLimit ? writeLimit - written_ : 0;
    const ULONG n = std::min(count, allowed);
    if (position_ + n > bytes_.size())
        bytes_.resize(position_ + n);
    if (n)
        std::memcpy(&bytes_[position_], data, n);
    position_ += n;
    written_ += n;
    if (written)
        *written = n;
    return n < count ? STG_E_MEDIUMFULL : S_OK;
}

HRESULT ProbeStream::Seek(LARGE_INTEGER move, DWORD origin, ULARGE_INTEGER* position)
{
    ++seeks;
    LONGLONG base = 0;
    if (origin == STREAM_SEEK_CUR)
        base = position_;
    else if (origin == STREAM_SEEK_END)
        base = static_cast<LONGLONG>(bytes_.size());
    else if (origin != STREAM_SEEK_SET)
        return STG_E_INVALIDFUNCTION;
    const LONGLONG target = base + move.QuadPart;
    if (target < 0)
        return STG_E_INVALIDFUNCTION;
    position_ = static_cast<ULONG>(target);
    if (position)
        position->QuadPart = static_cast<ULONGLONG>(target);
    return S_OK;
}

HRESULT ProbeStream::SetSize(ULARGE_INTEGER size)
{
    bytes_.resize(static_cast<size_t>(size.QuadPart));
    return S_OK;
}

HRESULT ProbeStream::CopyTo(IStream*, ULARGE_INTEGER, ULARGE_INTEGER*, ULARGE_INTEGER*)
{
    return E_NOTIMPL;
}

HRESULT ProbeStream::Stat(STATSTG* stat, DWORD)
{
    if (failStat)
        return STG_E_ACCESSDENIED;
    std::memset(stat, 0, sizeof *stat);
    stat->type = STGTY_STREAM;
    stat->cbSize.QuadPart = bytes_.size();
    stat->grfMode = mode;
    return S_OK;
}

HRESULT ProbeStream::Clone(IStream** clone)
{
    if (clone)
        *clone = nullptr;
    return E_NOTIMPL;
}

IStream* MemoryStream(const std::string& bytes)
{
    IStream* stream = nullptr;
    if (FAILED(CreateStreamOnHGlobal(nullptr, TRUE, &stream)))
        return nullptr;
    if (!bytes.empty()) {
        ULONG written = 0;
        stream->Write(bytes.data(), static_cast<ULONG>(bytes.size()), &written);
        LARGE_INTEGER zero{};
        stream->Seek(zero, STREAM_SEEK_SET, nullptr);
    }
    return stream;
}

DocfileStream::DocfileStream()
{
    const DWORD mode = STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE | STGM_DELETEONRELEASE;
    if (SUCCEEDED(StgCreateDocfile(nullptr, mode, 0, &storage_)))
        storage_->CreateStream(L"Contents", STGM_READWRITE | STGM_SHARE_EXCLUSIVE, 0, 0, &stream);
}

DocfileStream::~DocfileStream()
{
    if (stream)
        stream->Release();
    if (storage_)
        storage_->Release();
}

std::string StreamBytes(IStream* stream)
{
    LARGE_INTEGER zero{};
    stream->Seek(zero, STREAM_SEEK_SET, nullptr);
    std::string bytes;
    char chunk[4096];
    for (;;) {
        ULONG got = 0;
        if (FAILED(stream->Read(chunk, sizeof chunk, &got)) || got == 0)
            break;
        bytes.append(chunk, got);
    }
    return bytes;
}

std::string Hex(const std::string& bytes)
{
    static const char digits[] = "0123456789abcdef";
    std::string text;
    for (unsigned char c : bytes) {
        text += digits[c >> 4];
        text += digits[c & 15];
    }
    return text;
}

} // namespace VireoTest
