#pragma once
// A host application service for the controls tests, registered with COM before any test
// runs. Its settings store answers "qlx\application\visible" with the value of the
// environment variable VIREO_TEST_APPLICATION_VISIBLE ("0" for false; true when unset).

#include <string>

namespace VireoTest {

// How often the settings store was asked for "qlx\application\visible".
int VisibleQueries();

// Runs this test program again as a child process with filter and one environment
// variable; returns its exit code and collects its standard output.
unsigned long RunSelf(const std::wstring& filter, const wchar_t* variable, const wchar_t* value, std::string& output);

} // namespace VireoTest
