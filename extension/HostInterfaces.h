#pragma once
// The contract between the module and its host: the interfaces the module calls on
// the host and the recording unit, and the ones the host calls on the module.

#include <windows.h>
#include <oaidl.h>
#include <unknwn.h>

#ifndef VIREO_GUID
#define VIREO_GUID(name, l, w1, w2, b1, b2, b3, b4, b5, b6, b7, b8)                                                    \
    inline constexpr GUID name = {l, w1, w2, {b1, b2, b3, b4, b5, b6, b7, b8}}
#endif

// Unit tests (host).
VIREO_GUID(IID_IUnitTest, 0xE2EE6DD6, 0x5D96, 0x4BF4, 0xB3, 0x4B, 0x08, 0xB8, 0x17, 0xC9, 0x99, 0x8B);

// ---- recording unit ----

// host
VIREO_GUID(IID_IRecordingUnit, 0x4EC14961, 0x9464, 0x11D2, 0xB7, 0xE7, 0x00, 0x80, 0x48, 0xC3, 0x6F, 0xE8);

// One group of digital output lines of a recording unit; reached only through the unit.
struct IDigitalOutputGroup : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE GetLineCount(LONG* count) = 0;
};

// The recording unit of the current master device. Asked through QueryInterface for
// IOnlineEventControl and IUnitSettings when it has them.
struct IRecordingUnit : public IUnknown {
    // Non-zero while the unit samples.
    virtual HRESULT STDMETHODCALLTYPE GetSamplingState(SHORT* sampling) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetInputCount(LONG* count) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetAnalogOutputCount(LONG* count) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetDigitalOutputGroupCount(LONG* count) = 0;
    // The group is handed out with one reference for the caller; null on failure.
    virtual HRESULT STDMETHODCALLTYPE GetDigitalOutputGroup(LONG index, IDigitalOutputGroup** group) = 0;
};

// ---- end of recording unit ----
