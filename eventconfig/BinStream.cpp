#include "eventconfig/BinStream.h"

#include "foundation/XQLX.h"

#include <algorithm>
#include <cstring>
#include <exception>
#include <string>

namespace QLX {

BinStream::BinStream(std::streambuf* buffer, bool ownsBuffer) : buffer_(buffer), ownsBuffer_(ownsBuffer) {}

BinStream::~BinStream()
{
    if (ownsBuffer_)
        delete buffer_;
}

// ---- output

BinOStream::BinOStream(std::streambuf* buffer, bool ownsBuffer) : BinStreamInterface(buffer, ownsBuffer) {}

HRESULT BinOStream::Put(const void* bytes, size_t count)
{
    if (status_ != StatusGood)
        return E_FAIL;
    if (!buffer_) {
        status_ = StatusNoStorage;
        return E_FAIL;
    }
    const std::streamsize put = buffer_->sputn(static_cast<const char*>(bytes), static_cast<std::streamsize>(count));
    if (put != static_cast<std::streamsize>(count))
        status_ = StatusShort;
    return Result();
}

HRESULT BinOStream::PutLittleEndian(unsigned long long value, size_t count)
{
    unsigned char bytes[8];
    for (size_t i = 0; i < count; ++i)
        bytes[i] = static_cast<unsigned char>(value >> (8 * i));
    return Put(bytes, count);
}

void BinOStream::WriteHeader()
{
    PutLittleEndian(HeaderPattern | (static_cast<DWORD>(FormatVersion) << 16), 4);
}

HRESULT BinOStream::GetPosition(LONG* position)
{
    if (!position)
        return E_POINTER;
    *position = 0;
    if (status_ != StatusGood || !buffer_)
        return E_FAIL;
    const std::streampos where = buffer_->pubseekoff(0, std::ios_base::cur, std::ios_base::out);
    if (where == std::streampos(std::streamoff(-1))) {
        status_ = StatusShort;
        return E_FAIL;
    }
    *position = static_cast<LONG>(std::streamoff(where));
    return S_OK;
}

HRESULT BinOStream::SetPosition(LONG position)
{
    if (status_ != StatusGood || !buffer_)
        return E_FAIL;
    if (position < 0 ||
        buffer_->pubseekpos(std::streampos(position), std::ios_base::out) == std::streampos(std::streamoff(-1)))
        status_ = StatusShort;
    return Result();
}

HRESULT BinOStream::WriteByte(BYTE value)
{
    return PutLittleEndian(value, 1);
}

HRESULT BinOStream::WriteInt16(SHORT value)
{
    return PutLittleEndian(static_cast<USHORT>(value), 2);
}

HRESULT BinOStream::WriteInt32(LONG value)
{
    return PutLittleEndian(static_cast<ULONG>(value), 4);
}

HRESULT BinOStream::WriteFloat(float value)
{
    uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return PutLittleEndian(bits, 4);
}

HRESULT BinOStream::WriteDouble(double value)
{
    uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return PutLittleEndian(bits, 8);
}

HRESULT BinOStream::WriteBytes(const void* data, ULONG count)
{
    if (!data && count)
        return E_POINTER;
    return count ? Put(data, count) : Result();
}

HRESULT BinOStream::WriteInt64(LONGLONG value)
{
    return PutLittleEndian(static_cast<ULONGLONG>(value), 8);
}

HRESULT BinOStream::WriteString(IQLXString* text)
{
    if (!text)
        return E_POINTER;
    try {
        // A string of this module is written as it is; any other is copied first.
        if (text->GetKind() == QLXString::OwnKind) {
            text->AddRef();
            return WriteText(QLXString::Attach(text));
        }
        return WriteText(QLXString(text));
    } catch (...) {
        return E_FAIL;
    }
}

HRESULT BinOStream::WriteText(const QLXString& text)
{
    const LONG units = static_cast<LONG>(text.Length()) + 1;
    WriteInt32(WideStringMarker);
    WriteInt32(units);
    WriteInt32(-units);
    // UTF-16LE code units, the terminating zero included.
    std::string encoded(static_cast<size_t>(units) * 2, '\0');
    const wchar_t* chars = text.c_str();
    for (LONG i = 0; i + 1 < units; ++i) {
        encoded[2 * i] = static_cast<char>(chars[i] & 0xFF);
        encoded[2 * i + 1] = static_cast<char>((chars[i] >> 8) & 0xFF);
    }
    return Put(encoded.data(), encoded.size());
}

IBinOutStream* BinOStream::Flush()
{
    if (status_ == StatusGood && (!buffer_ || buffer_->pubsync() != 0))
        status_ = StatusNoStorage;
    return this;
}

HRESULT BinOStream::Finish()
{
    Flush();
    return Result();
}

// ---- input

BinIStream::BinIStream(std::streambuf* buffer, bool ownsBuffer) : BinStreamInterface(buffer, ownsBuffer) {}

bool BinIStream::Get(void* bytes, size_t count)
{
    std::memset(bytes, 0, count);
    if (status_ != StatusGood)
        return false;
    if (!buffer_) {
        status_ = StatusNoStorage;
        return false;
    }
    const std::streamsize got = buffer_->sgetn(static_cast<char*>(bytes), static_cast<std::streamsize>(count));
    if (got != static_cast<std::streamsize>(count)) {
        // A value that arrived only in part is no value.
        std::memset(bytes, 0, count);
        status_ = StatusShort;
        return false;
    }
    return true;
}

unsigned long long BinIStream::GetLittleEndian(size_t count)
{
    unsigned char bytes[8];
    Get(bytes, count);
    unsigned long long value = 0;
    for (size_t i = 0; i < count; ++i)
        value |= static_cast<unsigned long long>(bytes[i]) << (8 * i);
    return value;
}

void BinIStream::ReadHeader()
{
    version_ = 1;
    const DWORD header = static_cast<DWORD>(GetLittleEndian(4));
    if (status_ != StatusGood)
        return;
    if ((header & HeaderMask) == HeaderPattern) {
        version_ = static_cast<int>((header >> 16) & 0xFF);
        return;
    }
    if (buffer_->pubseekoff(-4, std::ios_base::cur, std::ios_base::in) == std::streampos(std::streamoff(-1)))
        status_ = StatusShort;
}

HRESULT BinIStream::GetPosition(LONG* position)
{
    if (!position)
        return E_POINTER;
    *position = 0;
    if (status_ != StatusGood || !buffer_)
        return E_FAIL;
    const std::streampos where = buffer_->pubseekoff(0, std::ios_base::cur, std::ios_base::in);
    if (where == std::streampos(std::streamoff(-1))) {
        status_ = StatusShort;
        return E_FAIL;
    }
    *position = static_cast<LONG>(std::streamoff(where));
    return S_OK;
}

HRESULT BinIStream::ReadByte(BYTE* value)
{
    if (!value)
        return E_POINTER;
    *value = static_cast<BYTE>(GetLittleEndian(1));
    return Result();
}

HRESULT BinIStream::ReadInt16(SHORT* value)
{
    if (!value)
        return E_POINTER;
    *value = static_cast<SHORT>(GetLittleEndian(2));
    return Result();
}

HRESULT BinIStream::ReadInt32(LONG* value)
{
    if (!value)
        return E_POINTER;
    *value = static_cast<LONG>(static_cast<ULONG>(GetLittleEndian(4)));
    return Result();
}

HRESULT BinIStream::ReadInt32(int* value)
{
    if (!value)
        return E_POINTER;
    *value = static_cast<int>(static_cast<unsigned>(GetLittleEndian(4)));
    return Result();
}

HRESULT BinIStream::ReadInt64(LONGLONG* value)
{
    if (!value)
        return E_POINTER;
    *value = static_cast<LONGLONG>(GetLittleEndian(8));
    return Result();
}

HRESULT BinIStream::ReadDouble(double* value)
{
    if (!value)
        return E_POINTER;
    const uint64_t bits = GetLittleEndian(8);
    std::memcpy(value, &bits, sizeof bits);
    return Result();
}

HRESULT BinIStream::ReadBytes(void* buffer, ULONG count)
{
    if (!buffer && count)
        return E_POINTER;
    if (count)
        Get(buffer, count);
    return Result();
}

HRESULT BinIStream::GetVersion(LONG* version)
{
    if (!version)
        return E_POINTER;
    *version = version_;
    return Result();
}

HRESULT BinIStream::ReadString(IQLXString** text)
{
    if (!text)
        return E_POINTER;
    *text = nullptr;
    try {
        *text = ReadText().GetInterface();
        return Result();
    } catch (const XQLX&) {
        return CorruptStream;
    } catch (...) {
        return E_FAIL;
    }
}

long long BinIStream::Remaining()
{
    const std::streampos failed(std::streamoff(-1));
    const std::streampos here = buffer_->pubseekoff(0, std::ios_base::cur, std::ios_base::in);
    if (here == failed)
        return -1;
    const std::streampos end = buffer_->pubseekoff(0, std::ios_base::end, std::ios_base::in);
    if (buffer_->pubseekpos(here, std::ios_base::in) == failed) {
        status_ = StatusShort;
        return -1;
    }
    if (end == failed)
        return -1;
    return std::max<long long>(0, std::streamoff(end) - std::streamoff(here));
}

std::string BinIStream::GetChunked(unsigned long long count)
{
    constexpr unsigned long long step = 65536;
    std::string bytes;
    while (count > 0 && status_ == StatusGood) {
        const size_t want = static_cast<size_t>(std::min(count, step));
        const size_t old = bytes.size();
        bytes.resize(old + want);
        const std::streamsize got = buffer_->sgetn(&bytes[old], static_cast<std::streamsize>(want));
        const size_t arrived = got > 0 ? static_cast<size_t>(got) : 0;
        bytes.resize(old + arrived);
        if (arrived != want)
            status_ = StatusShort;
        count -= arrived;
    }
    return bytes;
}

QLXString BinIStream::ReadText()
{
    bool wide = false;
    long long count = 0;
    if (version_ > 9) {
        const LONG marker = static_cast<LONG>(GetLittleEndian(4));
        const LONG n = static_cast<LONG>(GetLittleEndian(4));
        const LONG check = static_cast<LONG>(GetLittleEndian(4));
        if (static_cast<long long>(n) + check != 0 || n < 0)
            throw XQLX(CorruptStream);
        wide = marker < 0;
        count = n;
    } else {
        const LONG n = static_cast<LONG>(GetLittleEndian(4));
        if (n > OldStringLimit || n < 0)
            throw XQLX(CorruptStream);
        count = n;
    }
    if (status_ != StatusGood)
        return QLXString();

    const unsigned long long bytesWanted = static_cast<unsigned long long>(count) * (wide ? 2 : 1);
    if (bytesWanted > 0) {
        const long long left = Remaining();
        if (left >= 0 && bytesWanted > static_cast<unsigned long long>(left))
            throw XQLX(CorruptStream);
    }
    const std::string bytes = GetChunked(bytesWanted);

    if (!wide)
        return QLXString::FromNarrow(bytes.c_str(), 1);

    const size_t units = bytes.size() / 2;
    if (units == 0)
        return QLXString();
    QLXString text;
    wchar_t* chars = text.FreshBuffer(static_cast<unsigned>(units + 1));
    for (size_t i = 0; i < units; ++i)
        chars[i] = static_cast<wchar_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                        (static_cast<unsigned char>(bytes[2 * i + 1]) << 8));
    if (chars[units - 1] == 0) {
        text.SetRepLength(static_cast<unsigned>(units));
    } else {
        chars[units] = 0;
        text.SetRepLength(static_cast<unsigned>(units + 1));
    }
    return text;
}

} // namespace QLX
