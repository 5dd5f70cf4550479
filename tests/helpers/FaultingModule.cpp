// A module whose entry reads through a null pointer; copied beside the host program as
// Vireo.dll to show how the host ends on a fault it did not expect.

#include <windows.h>

extern "C" __declspec(dllexport) HRESULT STDAPICALLTYPE DllRegisterClassObjects()
{
    volatile int* nowhere = nullptr;
    return *nowhere;
}
