#pragma once
// A host application service for the controls tests, registered with COM before any test
// runs. Its settings store answers "qlx\application\visible" as the test sets it.

namespace VireoTest {

void SetApplicationVisible(bool visible);
// How often the host was asked for its settings store.
int StoreFetches();

} // namespace VireoTest
