#pragma once
// Binary streams that frame settings in the host document: little-endian
// integers, IEEE reals and counted strings over any byte stream buffer.

#include "foundation/QLXString.h"

#include <windows.h>

#include <streambuf>

// Binary writer as the host's storage code calls it. The entry order is a
// binary contract; the Unused entries keep the places of operations that this
// module does not provide.
struct IBinOutStream : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE GetStatus() = 0;
    virtual HRESULT STDMETHODCALLTYPE GetPosition(LONG* position) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetPosition(LONG position) = 0;
    virtual HRESULT STDMETHODCALLTYPE Unused1() = 0;
    virtual HRESULT STDMETHODCALLTYPE WriteByte(BYTE value) = 0;
    virtual HRESULT STDMETHODCALLTYPE WriteInt16(SHORT value) = 0;
    virtual HRESULT STDMETHODCALLTYPE WriteInt32(LONG value) = 0;
    virtual HRESULT STDMETHODCALLTYPE WriteFloat(float value) = 0;
    virtual HRESULT STDMETHODCALLTYPE WriteDouble(double value) = 0;
    virtual HRESULT STDMETHODCALLTYPE WriteBytes(const void* data, ULONG count) = 0;
    virtual HRESULT STDMETHODCALLTYPE Unused2() = 0;
    virtual HRESULT STDMETHODCALLTYPE Unused3() = 0;
    virtual HRESULT STDMETHODCALLTYPE Unused4() = 0;
    virtual HRESULT STDMETHODCALLTYPE Unused5() = 0;
    virtual HRESULT STDMETHODCALLTYPE Unused6() = 0;
    virtual HRESULT STDMETHODCALLTYPE Unused7() = 0;
    virtual HRESULT STDMETHODCALLTYPE WriteString(IQLXString* text) = 0;
    virtual HRESULT STDMETHODCALLTYPE WriteInt64(LONGLONG value) = 0;
    // Answers the stream itself rather than a status.
    virtual IBinOutStream* STDMETHODCALLTYPE Flush() = 0;
    virtual HRESULT STDMETHODCALLTYPE Finish() = 0;
};

// Binary reader as the host's storage code calls it; order as above.
struct IBinInStream : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE GetStatus() = 0;
    virtual HRESULT STDMETHODCALLTYPE GetPosition(LONG* position) = 0;
    virtual HRESULT STDMETHODCALLTYPE Unused1() = 0;
    virtual HRESULT STDMETHODCALLTYPE ReadByte(BYTE* value) = 0;
    virtual HRESULT STDMETHODCALLTYPE ReadInt16(SHORT* value) = 0;
    virtual HRESULT STDMETHODCALLTYPE ReadInt32(LONG* value) = 0;
    virtual HRESULT STDMETHODCALLTYPE ReadInt32(int* value) = 0;
    virtual HRESULT STDMETHODCALLTYPE ReadInt64(LONGLONG* value) = 0;
    virtual HRESULT STDMETHODCALLTYPE ReadBytes(void* buffer, ULONG count) = 0;
    virtual HRESULT STDMETHODCALLTYPE Unused2() = 0;
    virtual HRESULT STDMETHODCALLTYPE Unused3() = 0;
    virtual HRESULT STDMETHODCALLTYPE Unused4() = 0;
    virtual HRESULT STDMETHODCALLTYPE Unused5() = 0;
    virtual HRESULT STDMETHODCALLTYPE Unused6() = 0;
    virtual HRESULT STDMETHODCALLTYPE Unused7() = 0;
    virtual HRESULT STDMETHODCALLTYPE ReadString(IQLXString** text) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetVersion(LONG* version) = 0;
    virtual HRESULT STDMETHODCALLTYPE ReadInt16Alt(SHORT* value) = 0;
    virtual HRESULT STDMETHODCALLTYPE ReadInt32Alt(LONG* value) = 0;
    virtual HRESULT STDMETHODCALLTYPE ReadDouble(double* value) = 0;
    virtual HRESULT STDMETHODCALLTYPE ReadDoubleAlt(double* value) = 0;
};

namespace QLX {

// State shared by both directions. A non-zero status stops every further transfer.
class BinStream {
public:
    enum StatusCode : int { StatusGood = 0, StatusShort = 2, StatusNoStorage = 4 };

    // Header pattern under HeaderMask; the third byte carries the format version.
    static constexpr DWORD HeaderPattern = 0x5500AAAAu;
    static constexpr DWORD HeaderMask = 0xFF00FFFFu;
    static constexpr int FormatVersion = 0x15;
    static constexpr LONG WideStringMarker = static_cast<LONG>(0x80000001u);
    // Longest string of the old single-byte layout.
    static constexpr LONG OldStringLimit = 64000;
    // The status code raised for a string header that cannot be right.
    static constexpr HRESULT CorruptStream = static_cast<HRESULT>(0xA0048203u);

    BinStream(std::streambuf* buffer, bool ownsBuffer);
    virtual ~BinStream();
    BinStream(const BinStream&) = delete;
    BinStream& operator=(const BinStream&) = delete;

    int Status() const { return status_; }
    void SetStatus(int status) { status_ = status; }
    std::streambuf* Buffer() const { return buffer_; }

protected:
    HRESULT Result() const { return status_ == StatusGood ? S_OK : E_FAIL; }

    std::streambuf* buffer_;
    int status_ = StatusGood;
    bool ownsBuffer_;
};

// What both directions answer alike: an inert IUnknown (the object's life is its
// owner's, not the callers'), the status and the unused places.
template <class Interface>
class BinStreamInterface : public Interface, public BinStream {
public:
    using BinStream::BinStream;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** object) override
    {
        if (object)
            *object = nullptr;
        return E_NOTIMPL;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE GetStatus() override { return Result(); }
    HRESULT STDMETHODCALLTYPE Unused1() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Unused2() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Unused3() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Unused4() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Unused5() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Unused6() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Unused7() override { return E_NOTIMPL; }
};

class BinOStream : public BinStreamInterface<IBinOutStream> {
public:
    BinOStream(std::streambuf* buffer, bool ownsBuffer);

    HRESULT STDMETHODCALLTYPE GetPosition(LONG* position) override;
    HRESULT STDMETHODCALLTYPE SetPosition(LONG position) override;
    HRESULT STDMETHODCALLTYPE WriteByte(BYTE value) override;
    HRESULT STDMETHODCALLTYPE WriteInt16(SHORT value) override;
    HRESULT STDMETHODCALLTYPE WriteInt32(LONG value) override;
    HRESULT STDMETHODCALLTYPE WriteFloat(float value) override;
    HRESULT STDMETHODCALLTYPE WriteDouble(double value) override;
    HRESULT STDMETHODCALLTYPE WriteBytes(const void* data, ULONG count) override;
    HRESULT STDMETHODCALLTYPE WriteString(IQLXString* text) override;
    HRESULT STDMETHODCALLTYPE WriteInt64(LONGLONG value) override;
    IBinOutStream* STDMETHODCALLTYPE Flush() override;
    HRESULT STDMETHODCALLTYPE Finish() override;

    HRESULT WriteText(const QLXString& text);

protected:
    void WriteHeader();

private:
    HRESULT Put(const void* bytes, size_t count);
    HRESULT PutLittleEndian(unsigned long long value, size_t count);
};

class BinIStream : public BinStreamInterface<IBinInStream> {
public:
    BinIStream(std::streambuf* buffer, bool ownsBuffer);

    HRESULT STDMETHODCALLTYPE GetPosition(LONG* position) override;
    HRESULT STDMETHODCALLTYPE ReadByte(BYTE* value) override;
    HRESULT STDMETHODCALLTYPE ReadInt16(SHORT* value) override;
    HRESULT STDMETHODCALLTYPE ReadInt32(LONG* value) override;
    HRESULT STDMETHODCALLTYPE ReadInt32(int* value) override;
    HRESULT STDMETHODCALLTYPE ReadInt64(LONGLONG* value) override;
    HRESULT STDMETHODCALLTYPE ReadBytes(void* buffer, ULONG count) override;
    // Reports a corrupt string header as CorruptStream instead of throwing.
    HRESULT STDMETHODCALLTYPE ReadString(IQLXString** text) override;
    HRESULT STDMETHODCALLTYPE GetVersion(LONG* version) override;
    HRESULT STDMETHODCALLTYPE ReadInt16Alt(SHORT* value) override { return ReadInt16(value); }
    HRESULT STDMETHODCALLTYPE ReadInt32Alt(LONG* value) override { return ReadInt32(value); }
    HRESULT STDMETHODCALLTYPE ReadDouble(double* value) override;
    HRESULT STDMETHODCALLTYPE ReadDoubleAlt(double* value) override { return ReadDouble(value); }

    // The string in the layout of the header's format version. A count that the
    // check value contradicts, that is negative, or that the rest of the stream
    // cannot hold throws XQLX CorruptStream; nothing is allocated for it.
    QLXString ReadText();
    int Version() const { return version_; }

protected:
    // Reads the header, or takes format version 1 and rewinds when there is none.
    void ReadHeader();

private:
    bool Get(void* bytes, size_t count);
    unsigned long long GetLittleEndian(size_t count);
    // Bytes left after the read position, or -1 when the buffer cannot tell.
    long long Remaining();
    // Reads up to count bytes in bounded steps; a short read leaves status 2.
    std::string GetChunked(unsigned long long count);

    int version_ = 1;
};

} // namespace QLX
