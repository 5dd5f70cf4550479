#include "DocumentFile.h"
#include "Held.h"
#include "HostSession.h"
#include "HostText.h"

namespace VireoHost {
namespace {

const wchar_t* const ContentsName = L"Contents";

IStream* MemoryStreamOf(const std::string& bytes, std::wstring& error)
{
    IStream* stream = nullptr;
    if (FAILED(CreateStreamOnHGlobal(nullptr, TRUE, &stream))) {
        error = L"out of memory";
        return nullptr;
    }
    ULONG written = 0;
    stream->Write(bytes.data(), static_cast<ULONG>(bytes.size()), &written);
    LARGE_INTEGER zero{};
    stream->Seek(zero, STREAM_SEEK_SET, nullptr);
    return stream;
}

} // namespace

HRESULT SaveDocumentFile(const std::wstring& path, const std::vector<IPersistStream*>& parts, std::wstring& error)
{
    IStorage* root = nullptr;
    HRESULT hr = StgCreateDocfile(path.c_str(), STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE, 0, &root);
    if (FAILED(hr)) {
        error = L"cannot create " + path + L" (" + Code(hr) + L")";
        return hr;
    }
    Held<IUnknown> rootGuard(root);
    for (size_t i = 0; i < parts.size(); ++i) {
        CLSID clsid{};
        parts[i]->GetClassID(&clsid);
        const std::wstring name = L"Persist" + std::to_wstring(i);
        IStorage* part = nullptr;
        hr = root->CreateStorage(name.c_str(), STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE, 0, 0, &part);
        if (FAILED(hr)) {
            error = L"cannot create storage " + name + L" (" + Code(hr) + L")";
            return hr;
        }
        Held<IUnknown> partGuard(part);
        part->SetClass(clsid);
        IStream* stream = nullptr;
        hr = part->CreateStream(ContentsName, STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE, 0, 0, &stream);
        if (FAILED(hr)) {
            error = L"cannot create stream in " + name + L" (" + Code(hr) + L")";
            return hr;
        }
        Held<IUnknown> streamGuard(stream);
        hr = parts[i]->Save(stream, TRUE);
        if (FAILED(hr)) {
            error = L"saving " + name + L" failed (" + Code(hr) + L")";
            return hr;
        }
    }
    hr = root->Commit(STGC_DEFAULT);
    if (FAILED(hr))
        error = L"cannot commit " + path + L" (" + Code(hr) + L")";
    return hr;
}

IStream* OpenSettingsStream(const std::wstring& path, const CLSID& clsid, bool allowRaw, std::wstring& error)
{
    if (StgIsStorageFile(path.c_str()) == S_OK) {
        IStorage* root = nullptr;
        HRESULT hr = StgOpenStorage(path.c_str(), nullptr, STGM_READ | STGM_SHARE_DENY_WRITE, nullptr, 0, &root);
        if (FAILED(hr)) {
            error = L"cannot open " + path + L" (" + Code(hr) + L")";
            return nullptr;
        }
        Held<IUnknown> rootGuard(root);
        IEnumSTATSTG* entries = nullptr;
        if (FAILED(root->EnumElements(0, nullptr, 0, &entries))) {
            error = L"cannot list " + path;
            return nullptr;
        }
        Held<IUnknown> entriesGuard(entries);
        STATSTG stat;
        while (entries->Next(1, &stat, nullptr) == S_OK) {
            const bool match = stat.type == STGTY_STORAGE && IsEqualCLSID(stat.clsid, clsid);
            std::wstring name = stat.pwcsName ? stat.pwcsName : L"";
            CoTaskMemFree(stat.pwcsName);
            if (!match)
                continue;
            IStorage* part = nullptr;
            if (FAILED(root->OpenStorage(name.c_str(), nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, nullptr, 0, &part)))
                continue;
            Held<IUnknown> partGuard(part);
            IStream* stream = nullptr;
            if (FAILED(part->OpenStream(ContentsName, nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, 0, &stream)))
                continue;
            // The storage's streams die with it: hand out a copy in memory.
            const std::string bytes = ReadAllBytes(stream);
            stream->Release();
            return MemoryStreamOf(bytes, error);
        }
        error = L"no online events settings in " + path;
        return nullptr;
    }
    if (!allowRaw) {
        error = L"not a host document: " + path;
        return nullptr;
    }
    std::string bytes;
    if (!ReadFileBytes(path, bytes)) {
        error = L"cannot read " + path;
        return nullptr;
    }
    return MemoryStreamOf(bytes, error);
}

std::string ReadAllBytes(IStream* stream)
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

} // namespace VireoHost
