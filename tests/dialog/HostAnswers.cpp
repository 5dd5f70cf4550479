// The dialogs ask the host through the answers the module installs at registration; here
// they reach the stand-in host application every test program registers.

#include "extension/FrameworkHostUi.h"

namespace {
const bool g_installed = (OnlineEvents::InstallFrameworkHostUi(), true);
}
