#pragma once
// The language resources are asked in: the window library's application object sets it. Until an
// application object exists it is 0, meaning "the system's default choice".

#include <windows.h>

LANGID TApplicationLanguage();
// Called by the application object when it is created (with its language) and destroyed (with 0).
void SetTApplicationLanguage(LANGID language);
