#include "extension/SelfTest.h"

#include "eventconfig/Vireo_EventConfig.h"

namespace OnlineEvents {

IUnknown* CreateSelfTest()
{
    // A new test has no reference of its own.
    Vireo_EventConfig* test = new Vireo_EventConfig;
    test->AddRef();
    return test;
}

} // namespace OnlineEvents
