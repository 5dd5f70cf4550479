#pragma once
// Interfaces of the host framework and of the recording unit, as the module calls them.

#include <windows.h>
#include <unknwn.h>

// ---- Recording unit: shape of the connected unit ----

extern "C" const IID IID_IRecordingUnit; // {4EC14961-9464-11D2-B7E7-008048C36FE8}

// One group of digital output lines of a recording unit; reached only through the unit.
struct IDigitalOutputGroup : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE GetLineCount(LONG* count) = 0;
};

// The recording unit of the current master device.
struct IRecordingUnit : public IUnknown {
    // Non-zero while the unit samples.
    virtual HRESULT STDMETHODCALLTYPE GetSamplingState(SHORT* sampling) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetInputCount(LONG* count) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetAnalogOutputCount(LONG* count) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetDigitalOutputGroupCount(LONG* count) = 0;
    // The group is handed out with one reference for the caller.
    virtual HRESULT STDMETHODCALLTYPE GetDigitalOutputGroup(LONG index, IDigitalOutputGroup** group) = 0;
};

#ifdef __CRT_UUID_DECL
__CRT_UUID_DECL(IRecordingUnit, 0x4ec14961, 0x9464, 0x11d2, 0xb7, 0xe7, 0x00, 0x80, 0x48, 0xc3, 0x6f, 0xe8)
#endif

// ---- end of recording unit ----
