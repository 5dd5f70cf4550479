#pragma once
// Unit-test registry: keeps the unit tests handed to it and runs them on request.

#include "host/kxf/EmbeddedService.h"

#include "host/HostControl.h"

#include <mutex>
#include <vector>

namespace Kxf {

class UnitTestRegistry : public EmbeddedService<IUnitTestRegistry>, public EmbeddedService<IUnitTestRunner> {
public:
    explicit UnitTestRegistry(IUnknown* outer)
        : EmbeddedService<IUnitTestRegistry>(outer), EmbeddedService<IUnitTestRunner>(outer)
    {}

    IUnitTestRegistry* Registry() { return this; }
    IUnitTestRunner* Runner() { return this; }

    HRESULT STDMETHODCALLTYPE AddTest(IUnknown* test) override;
    HRESULT STDMETHODCALLTYPE GetTestCount(ULONG* count) override;
    HRESULT STDMETHODCALLTYPE GetTest(ULONG index, IUnitTest** test) override;
    HRESULT STDMETHODCALLTYPE RunAll(ULONG* passed, ULONG* failed) override;
    HRESULT STDMETHODCALLTYPE Clear() override;

private:
    // A test that throws instead of reporting counts as failed.
    static bool RunOne(IUnitTest* test, LONG index);

    std::mutex mutex_;
    std::vector<IUnitTest*> tests_; // held
};

} // namespace Kxf
