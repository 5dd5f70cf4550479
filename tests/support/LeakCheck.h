#pragma once
// Test-side leak check: named counters of live objects are read before and after
// every test, and a test that leaves more behind than it found fails.

#include <functional>
#include <string>

namespace VireoTest {

void RegisterLiveCounter(const std::string& name, std::function<long()> count);

} // namespace VireoTest
