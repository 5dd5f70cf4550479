#include "winlib/TModule.h"

TModule::TModule(const wchar_t*, HINSTANCE instance, bool) : instance_(instance) {}

TModule::~TModule() = default;
