#pragma once
// Operations of the stand-in framework that only the host program and the tests use.
// The module never calls them, so they are not part of the contract: each is an
// interface of its own, answered by the framework object beside the contract's one.

#include "hostapi/HostInterfaces.h"

// chosen
VIREO_GUID(IID_IKXFClassControl, 0x4A7C3716, 0xC5AE, 0x4517, 0x86, 0x6A, 0x89, 0x8E, 0xFE, 0x67, 0xD5, 0x78);
VIREO_GUID(IID_IKXFSubscriptionCount, 0x6A7D51FD, 0x7364, 0x4D5C, 0x8D, 0x8E, 0x96, 0x6A, 0x96, 0x8B, 0xEE, 0x3E);
VIREO_GUID(IID_IUnitTestRunner, 0x980DEEF8, 0x3C19, 0x4FB2, 0xBA, 0xA5, 0x4B, 0x95, 0x5B, 0xDA, 0x63, 0x96);

// Beside IKXFObjectRegistry: what a host does with the registered document classes.
struct IKXFClassControl : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE RevokeClassObject(REFCLSID classId) = 0;
    // The new document (one reference) is connected to the framework's notifications.
    virtual HRESULT STDMETHODCALLTYPE CreateDocument(REFCLSID classId, IUnknown* owner, IUnknown** document) = 0;
};

// Beside IKXFEventHandlerRegistry.
struct IKXFSubscriptionCount : public IUnknown {
    // How many subscriptions the observer holds (0 when unknown).
    virtual HRESULT STDMETHODCALLTYPE GetSubscriptionCount(IObserver* observer, ULONG* count) = 0;
};

// Beside IUnitTestRegistry: runs the kept tests on the host's request.
struct IUnitTestRunner : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE GetTestCount(ULONG* count) = 0;
    // A kept test with one reference for the caller.
    virtual HRESULT STDMETHODCALLTYPE GetTest(ULONG index, IUnitTest** test) = 0;
    // Runs every test function of every kept test; a test that throws counts as failed.
    virtual HRESULT STDMETHODCALLTYPE RunAll(ULONG* passed, ULONG* failed) = 0;
    // Releases every kept test.
    virtual HRESULT STDMETHODCALLTYPE Clear() = 0;
};
