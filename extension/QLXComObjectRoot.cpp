#include "extension/QLXComObjectRoot.h"

namespace QLX {
namespace {
volatile LONG liveRoots = 0;
}

CComObjectRoot::CComObjectRoot()
{
    InterlockedIncrement(&liveRoots);
}
CComObjectRoot::~CComObjectRoot()
{
    InterlockedDecrement(&liveRoots);
}
LONG CComObjectRoot::LiveObjects()
{
    return InterlockedCompareExchange(&liveRoots, 0, 0);
}

} // namespace QLX
