#pragma once
// An IStream over memory that counts the calls made on it and can be told to
// refuse writes after some bytes or to report another access mode, so tests
// can see what the storage code really asks of the host's streams.

#include <windows.h>
#include <objidl.h>

#include <string>

namespace VireoTest {

class ProbeStream : public IStream {
public:
    // Starts with the given bytes and the read-write mode; one reference for the caller.
    explicit ProbeStream(const std::string& bytes = std::string());

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE Read(void* data, ULONG count, ULONG* read) override;
    HRESULT STDMETHODCALLTYPE Write(const void* data, ULONG count, ULONG* written) override;
    HRESULT STDMETHODCALLTYPE Seek(LARGE_INTEGER move, DWORD origin, ULARGE_INTEGER* position) override;
    HRESULT STDMETHODCALLTYPE SetSize(ULARGE_INTEGER size) override;
    HRESULT STDMETHODCALLTYPE CopyTo(IStream*, ULARGE_INTEGER, ULARGE_INTEGER*, ULARGE_INTEGER*) override;
    HRESULT STDMETHODCALLTYPE Commit(DWORD) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE Revert() override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE LockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE UnlockRegion(ULARGE_INTEGER, ULARGE_INTEGER, DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Stat(STATSTG* stat, DWORD flags) override;
    HRESULT STDMETHODCALLTYPE Clone(IStream** clone) override;

    const std::string& Bytes() const { return bytes_; }
    ULONG Position() const { return position_; }
    LONG References() const { return refs_; }

    int reads = 0;
    int writes = 0;
    int seeks = 0;
    // Writes beyond this many bytes in total fall short.
    ULONG writeLimit = 0xFFFFFFFFu;
    DWORD mode = STGM_READWRITE;
    bool failStat = false;

    // Live probe streams, for the leak check.
    static long Live();

private:
    virtual ~ProbeStream();
    LONG refs_ = 1;
    std::string bytes_;
    ULONG position_ = 0;
    ULONG written_ = 0;
};

// An IStream over global memory holding the bytes given, positioned at 0. Such
// streams report the mode STGM_READ, so the input buffers only read them.
IStream* MemoryStream(const std::string& bytes = std::string());

// A stream of a temporary compound file, as the host saves documents; the file
// goes away with the object.
class DocfileStream {
public:
    DocfileStream();
    ~DocfileStream();
    DocfileStream(const DocfileStream&) = delete;
    DocfileStream& operator=(const DocfileStream&) = delete;
    IStream* stream = nullptr;

private:
    IStorage* storage_ = nullptr;
};
// The whole content of a stream, leaving its position at the end.
std::string StreamBytes(IStream* stream);
// Lowercase hex of bytes, for readable failures.
std::string Hex(const std::string& bytes);

} // namespace VireoTest
