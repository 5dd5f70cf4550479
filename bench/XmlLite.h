#pragma once
// The system's XmlLite reader, the yardstick of the reading benchmarks. It is loaded at
// run time, since mingw-w64 ships its header but no import library; document type
// definitions are refused.

#include <windows.h>
#include <objbase.h>
#include <xmllite.h>

namespace Bench {

// A new reader, or null when xmllite.dll or its entry is missing.
inline IXmlReader* OpenXmlLite()
{
    using CreateXmlReaderFn = HRESULT(WINAPI*)(REFIID, void**, IMalloc*);
    HMODULE library = LoadLibraryW(L"xmllite.dll");
    const auto create =
        library
            ? reinterpret_cast<CreateXmlReaderFn>(reinterpret_cast<void*>(GetProcAddress(library, "CreateXmlReader")))
            : nullptr;
    IXmlReader* reader = nullptr;
    if (!create || FAILED(create(__uuidof(IXmlReader), reinterpret_cast<void**>(&reader), nullptr)))
        return nullptr;
    reader->SetProperty(XmlReaderProperty_DtdProcessing, DtdProcessing_Prohibit);
    return reader;
}

// Points the reader at the start of the stream; false when it refuses the input.
inline bool ReadFromStart(IXmlReader* reader, IStream* stream)
{
    const LARGE_INTEGER zero = {};
    stream->Seek(zero, STREAM_SEEK_SET, nullptr);
    return SUCCEEDED(reader->SetInput(stream));
}

} // namespace Bench
