#pragma once
// Host documents on disk: a structured-storage file holding one sub-storage per
// registered persistence, marked with the persistence's class identifier and
// holding its stream "Contents".

#include <windows.h>
#include <objidl.h>

#include <string>
#include <vector>

namespace VireoHost {

// Saves every persistence into a new file at path. Any failing step fails the
// save; the text says which.
HRESULT SaveDocumentFile(const std::wstring& path, const std::vector<IPersistStream*>& parts, std::wstring& error);

// The stream saved for the class in a document file, positioned at its start;
// or, for a file that is no structured storage, a memory stream of its bytes
// (a raw settings stream). Null with a reason when it cannot be had.
IStream* OpenSettingsStream(const std::wstring& path, const CLSID& clsid, bool allowRaw, std::wstring& error);

// All bytes of a stream from its start.
std::string ReadAllBytes(IStream* stream);

} // namespace VireoHost
