// A framework library whose class object entry refuses every request; copied beside the
// probe as Kxf.dll to show how a refusal surfaces.

#include <windows.h>
#include <objbase.h>

extern "C" HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID, REFIID, void** out)
{
    if (out)
        *out = nullptr;
    return CLASS_E_CLASSNOTAVAILABLE;
}
