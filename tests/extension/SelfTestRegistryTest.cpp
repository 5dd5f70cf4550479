// The module's own self-test, run by the framework's unit-test registry that the module
// finds through the framework service lookup.

#include "eventconfig/Vireo_EventConfig.h"
#include "extension/FrameworkServices.h"
#include "host/HostControl.h"

#include <gtest/gtest.h>

TEST(KxfUnitTestRegistry, RunsTheModulesOwnSelfTest)
{
    auto* registry = GetFrameworkService<IUnitTestRunner>(CLSID_UnitTestRegistry, IID_IUnitTestRunner);
    ASSERT_NE(registry, nullptr);
    auto* adding = GetFrameworkService<IUnitTestRegistry>(CLSID_UnitTestRegistry, IID_IUnitTestRegistry);
    // The registry takes the first reference and releases the test when cleared.
    ASSERT_EQ(adding->AddTest(static_cast<IUnitTest*>(new Vireo_EventConfig)), S_OK);
    ULONG passed = 0, failed = 0;
    ASSERT_EQ(registry->RunAll(&passed, &failed), S_OK);
    EXPECT_EQ(passed, 1u);
    EXPECT_EQ(failed, 0u);
    registry->Clear();
    ULONG count = 1;
    registry->GetTestCount(&count);
    EXPECT_EQ(count, 0u);
}
