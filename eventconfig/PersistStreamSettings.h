#pragma once
// The document's IPersistStream: its configuration framed in the binary settings
// stream inside the host document.

#include "eventconfig/EventConfig.h"
#include "eventconfig/StorageBinStreamLite.h"
#include "foundation/ModuleInstance.h"
#include "foundation/QLXString.h"
#include "foundation/UnknownImp.h"
#include "resources/resource.h"

#include <exception>
#include <stdexcept>
#include <string>
#include <utility>

namespace OnlineEvents {

// The settings version written after the stream header.
constexpr LONG SettingsVersion = 1;

// D provides ClassId() (reported by GetClassID), IsModified/SetModified, Configuration(), HasRecordingUnit(),
// ApplyConfiguration() and MessageOwner() for the load-failure message.
template <class D>
class PersistStreamSettings : public NoDeleteUnknownImp1<IPersistStream> {
public:
    explicit PersistStreamSettings(D& document) : document_(document) {}

    HRESULT STDMETHODCALLTYPE GetClassID(CLSID* classId) override
    {
        if (!classId)
            return E_POINTER;
        *classId = D::ClassId();
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE IsDirty() override { return document_.IsModified() ? S_OK : S_FALSE; }

    HRESULT STDMETHODCALLTYPE Load(IStream* stream) override
    {
        if (!stream)
            return E_POINTER;
        try {
            StorageBinIStreamLite in(stream);
            if (in.Status() != QLX::BinStream::StatusGood)
                return E_FAIL;
            LONG version = 0;
            in.ReadInt32(&version);
            if (in.Status() != QLX::BinStream::StatusGood || version != SettingsVersion)
                return E_FAIL;
            try {
                QLXString text = in.ReadText();
                const char* narrow = text.NarrowText();
                // Read into a copy, so that a text that cannot be read changes nothing.
                EventConfig loaded = document_.Configuration();
                if (!loaded.Parse(narrow ? std::string(narrow) : std::string()))
                    throw std::runtime_error("Online Events: Unreadable settings text.");
                document_.Configuration() = std::move(loaded);
            } catch (const std::exception&) {
                const HINSTANCE module = QLX::GetModuleInstance();
                const QLXString message = LoadResourceString(module, IDS_LOADFAIL_TEXT, true);
                const QLXString caption = LoadResourceString(module, IDS_LOADFAIL_CAPTION, true);
                MessageBoxW(document_.MessageOwner(), message.c_str(), caption.c_str(), MB_ICONERROR);
                return E_FAIL;
            }
            document_.SetModified(false);
            if (document_.HasRecordingUnit())
                document_.ApplyConfiguration();
            return S_OK;
        } catch (...) {
            return E_FAIL;
        }
    }

    // A save that could not reach the storage or whose writes fell short fails
    // and leaves the document modified, so the host does not take it as saved.
    HRESULT STDMETHODCALLTYPE Save(IStream* stream, BOOL clearDirty) override
    {
        if (!stream)
            return E_POINTER;
        try {
            StorageBinOStreamLite out(stream);
            if (out.Status() != QLX::BinStream::StatusGood)
                return E_FAIL;
            out.WriteInt32(SettingsVersion);
            std::string text;
            document_.Configuration().Serialize(text);
            out.WriteText(QLXString::FromNarrow(text.c_str(), 0));
            out.Flush();
            if (out.Status() != QLX::BinStream::StatusGood)
                return STG_E_WRITEFAULT;
            if (clearDirty)
                document_.SetModified(false);
            return S_OK;
        } catch (...) {
            return E_FAIL;
        }
    }

    HRESULT STDMETHODCALLTYPE GetSizeMax(ULARGE_INTEGER* size) override
    {
        if (size)
            size->QuadPart = 0;
        return E_NOTIMPL;
    }

private:
    D& document_;
};

} // namespace OnlineEvents
