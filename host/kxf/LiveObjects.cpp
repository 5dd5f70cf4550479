// Count of the framework's live per-request objects, exported so tests can fail a leak.

#include "host/kxf/KxfCom.h"

namespace Kxf {
namespace {
volatile LONG liveObjects = 0;
}

LONG LiveObjects()
{
    return InterlockedCompareExchange(&liveObjects, 0, 0);
}
void ObjectCreated()
{
    InterlockedIncrement(&liveObjects);
}
void ObjectDestroyed()
{
    InterlockedDecrement(&liveObjects);
}

} // namespace Kxf

extern "C" LONG WINAPI KxfLiveObjects()
{
    return Kxf::LiveObjects();
}
