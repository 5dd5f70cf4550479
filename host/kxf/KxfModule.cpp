// Entry points of Kxf.dll: the framework's class object answers every framework service.

#include "Services.h"

namespace Kxf {
namespace {

class FrameworkClassObject : public IUnknown {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override
    {
        if (!object)
            return E_POINTER;
        *object = nullptr;
        if (IsUnknown(iid))
            return Answer<IUnknown>(this, object);
        if (IsEqualIID(iid, IID_IKXFObjectRegistry))
            return ObjectRegistry()->QueryInterface(iid, object);
        if (IsEqualIID(iid, IID_IKXFIdRegistry))
            return IdRegistry()->QueryInterface(iid, object);
        if (IsEqualIID(iid, IID_IKXFMessageDispatcher))
            return MessageDispatcher()->QueryInterface(iid, object);
        if (IsEqualIID(iid, IID_IKXFEventHandlerRegistry) || IsEqualIID(iid, IID_IKXFNotificationSource))
            return EventHandlerRegistry()->QueryInterface(iid, object);
        if (IsEqualIID(iid, IID_IUnitTestRegistry))
            return UnitTestRegistry()->QueryInterface(iid, object);
        return E_NOINTERFACE;
    }
    KXF_STATIC_UNKNOWN
};

} // namespace

IUnknown* FrameworkObject()
{
    static FrameworkClassObject object;
    return &object;
}

} // namespace Kxf

extern "C" HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID clsid, REFIID iid, void** out)
{
    if (!out)
        return E_POINTER;
    *out = nullptr;
    if (IsEqualCLSID(clsid, CLSID_KXFFramework)) {
        static DWORD cookie = 0;
        if (!cookie)
            CoRegisterClassObject(CLSID_UnitTestRegistry, Kxf::FrameworkObject(), CLSCTX_INPROC_SERVER,
                                  REGCLS_MULTIPLEUSE, &cookie);
        return Kxf::FrameworkObject()->QueryInterface(iid, out);
    }
    if (IsEqualCLSID(clsid, CLSID_UnitTestRegistry))
        return Kxf::FrameworkObject()->QueryInterface(iid, out);
    return CLASS_E_CLASSNOTAVAILABLE;
}

extern "C" HRESULT STDAPICALLTYPE DllCanUnloadNow()
{
    return S_FALSE;
}
