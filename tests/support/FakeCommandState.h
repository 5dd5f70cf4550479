#pragma once
// A command state that remembers what it was told. Its values start as no caller sets
// them, so a test sees what was left alone. Made with new, it is deleted by its last
// release; on the stack, its first reference is never given up. Live ones are counted
// around every test.

#include "hostapi/HostInterfaces.h"

namespace VireoTest {

class FakeCommandState : public IKXFCommandState {
public:
    FakeCommandState();
    virtual ~FakeCommandState();
    FakeCommandState(const FakeCommandState&) = delete;
    FakeCommandState& operator=(const FakeCommandState&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return InterlockedIncrement(&refs_); }
    ULONG STDMETHODCALLTYPE Release() override;

    HRESULT STDMETHODCALLTYPE SetNumber(DWORD) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE Enable(WORD value) override
    {
        enabled = value;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Check(WORD value, DWORD checkStyle) override
    {
        checked = value;
        style = checkStyle;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetEnabled(WORD* value) override
    {
        *value = static_cast<WORD>(enabled);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetChecked(WORD* value, DWORD* checkStyle) override
    {
        *value = static_cast<WORD>(checked);
        *checkStyle = style;
        return S_OK;
    }

    int enabled = -1; // -1: never set
    int checked = -1;
    DWORD style = 0;

private:
    volatile LONG refs_ = 1;
};

} // namespace VireoTest
