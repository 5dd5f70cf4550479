#pragma once
// Counts the host's live strings around a test, so one that is never destroyed fails.

#include "HostString.h"

#include <gtest/gtest.h>

namespace VireoTest {

class HostStringTest : public ::testing::Test {
protected:
    void SetUp() override { before_ = VireoHost::LiveHostStrings(); }
    void TearDown() override { EXPECT_EQ(VireoHost::LiveHostStrings(), before_); }

private:
    long before_ = 0;
};

} // namespace VireoTest
