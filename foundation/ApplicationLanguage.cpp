#include "foundation/ApplicationLanguage.h"

#include <atomic>

namespace {
std::atomic<LANGID> g_language{0};
}

LANGID TApplicationLanguage()
{
    return g_language.load();
}

void SetTApplicationLanguage(LANGID language)
{
    g_language.store(language);
}
