#pragma once
// For test programs whose windows ask the host: before the first test, the stand-in host
// application is registered and the module's answers over it are installed, as the
// module's registration installs them in a real host.

#include "extension/FrameworkHostUi.h"
#include "support/FakeHostApplication.h"

#include <gtest/gtest.h>

namespace VireoTest {

class HostAnswersEnvironment : public testing::Environment {
public:
    void SetUp() override
    {
        FakeHostApplication::Get();
        OnlineEvents::InstallFrameworkHostUi();
    }
};

inline testing::Environment* const g_hostAnswers = testing::AddGlobalTestEnvironment(new HostAnswersEnvironment);

} // namespace VireoTest
