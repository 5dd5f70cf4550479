#include "extension/FrameworkServices.h"

#include "extension/ComAccess.h"
#include "foundation/XQLX.h"

#include <atomic>
#include <mutex>

namespace {

constexpr DWORD ServiceLockSpinCount = 4000;

// One cached object: a class object (clsid, number 0) or an object of the framework's
// registry (GUID_NULL, its number), its own lock and the pointer kept without a reference.
struct ServiceSlot {
    ServiceSlot(REFCLSID c, DWORD n, REFIID i) : clsid(c), number(n), iid(i) {}

    CLSID clsid;
    DWORD number;
    IID iid;
    std::once_flag lockCreated;
    CRITICAL_SECTION lock{};
    std::atomic<void*> pointer{nullptr};
    ServiceSlot* next = nullptr;
};

// Slots are only ever added, without a lock, so a cached pointer is read lock-free.
std::atomic<ServiceSlot*> g_slots{nullptr};

// Guards the one-time start of OLE and of the framework library.
std::mutex g_startLock;
std::atomic<bool> g_oleStarted{false};
std::atomic<bool> g_libraryStarted{false};
HMODULE g_library = nullptr;
DWORD g_registrationCookie = 0;

class SlotLock {
public:
    explicit SlotLock(CRITICAL_SECTION& lock) : lock_(lock) { EnterCriticalSection(&lock_); }
    ~SlotLock() { LeaveCriticalSection(&lock_); }
    SlotLock(const SlotLock&) = delete;
    SlotLock& operator=(const SlotLock&) = delete;

private:
    CRITICAL_SECTION& lock_;
};

ServiceSlot* FindSlot(ServiceSlot* from, ServiceSlot* until, REFCLSID clsid, DWORD number, REFIID iid)
{
    for (ServiceSlot* slot = from; slot != until; slot = slot->next) {
        if (IsEqualCLSID(slot->clsid, clsid) && slot->number == number && IsEqualIID(slot->iid, iid))
            return slot;
    }
    return nullptr;
}

ServiceSlot& SlotFor(REFCLSID clsid, DWORD number, REFIID iid)
{
    ServiceSlot* head = g_slots.load(std::memory_order_acquire);
    if (ServiceSlot* found = FindSlot(head, nullptr, clsid, number, iid))
        return *found;
    ServiceSlot* fresh = new ServiceSlot(clsid, number, iid);
    for (;;) {
        fresh->next = head;
        if (g_slots.compare_exchange_weak(head, fresh, std::memory_order_acq_rel, std::memory_order_acquire))
            return *fresh;
        // Another thread added slots meanwhile; one of them may be ours.
        if (ServiceSlot* found = FindSlot(head, fresh->next, clsid, number, iid)) {
            delete fresh;
            return *found;
        }
    }
}

void* AskCom(REFCLSID clsid, REFIID iid)
{
    void* object = nullptr;
    if (FAILED(CoGetClassObject(clsid, CLSCTX_ALL, nullptr, iid, &object)))
        return nullptr;
    return object;
}

// Runs start once per process; a start that throws is tried again by the next caller.
template <class Start>
void OncePerProcess(std::atomic<bool>& done, Start start)
{
    if (done.load(std::memory_order_acquire))
        return;
    std::lock_guard<std::mutex> guard(g_startLock);
    if (done.load(std::memory_order_relaxed))
        return;
    start();
    done.store(true, std::memory_order_release);
}

[[noreturn]] void ReportMissingFramework(const std::wstring& path)
{
    std::wstring text = L"Varn failed to load " + path;
    if (text.size() > 511)
        text.resize(511);
    MessageBoxW(nullptr, text.c_str(), L"Varn load failed", 0);
    ExitProcess(static_cast<UINT>(-1));
}

void StartOle()
{
    const HRESULT result = OleInitialize(nullptr);
    // S_FALSE only says this thread had OLE running already.
    if (FAILED(result))
        throw XQLX(result);
}

void StartFrameworkLibrary()
{
    const std::wstring path = QLX::FrameworkLibraryPath();
    if (g_library) {
        FreeLibrary(g_library);
        g_library = nullptr;
    }
    g_library = LoadLibraryW(path.c_str());
    auto getClassObject = g_library ? reinterpret_cast<LPFNGETCLASSOBJECT>(
                                          reinterpret_cast<void*>(GetProcAddress(g_library, "DllGetClassObject")))
                                    : nullptr;
    if (!getClassObject)
        ReportMissingFramework(path);

    ComHeld<IUnknown> framework;
    HRESULT result =
        Receive(framework, [&](void** out) { return getClassObject(CLSID_KXFFramework, IID_IUnknown, out); });
    if (FAILED(result))
        throw XHResult(result);
    if (!framework)
        throw XHResult(E_POINTER);
    // COM's registration keeps the object alive.
    result = CoRegisterClassObject(CLSID_KXFFramework, framework.get(), CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE,
                                   &g_registrationCookie);
    if (FAILED(result))
        throw XHResult(result);
}

// Set when the module is detached because the process ends: the loader lock is held,
// other libraries may be gone already, and the process takes everything with it.
std::atomic<bool> g_processTerminating{false};

// Deletes the locks and lets go of the framework library when the module goes.
struct ProcessExit {
    ~ProcessExit()
    {
        ServiceSlot* slot = g_slots.exchange(nullptr);
        while (slot) {
            ServiceSlot* next = slot->next;
            DeleteCriticalSection(&slot->lock);
            delete slot;
            slot = next;
        }
        QLX::ReleaseFrameworkLibrary();
    }
} g_processExit;

} // namespace

namespace QLX {

void NoteProcessDetach(bool processTerminating)
{
    g_processTerminating.store(processTerminating);
}

bool ProcessTerminating()
{
    return g_processTerminating.load();
}

void ReleaseFrameworkLibrary()
{
    if (ProcessTerminating())
        return;
    if (g_registrationCookie) {
        // The registration must not outlive the code it points into.
        CoRevokeClassObject(g_registrationCookie);
        g_registrationCookie = 0;
    }
    if (g_library) {
        FreeLibrary(g_library);
        g_library = nullptr;
    }
}

std::wstring FrameworkLibraryPath()
{
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, &path[0], static_cast<DWORD>(path.size()));
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2);
    }
    const std::wstring::size_type folderEnd = path.find_last_of(L"\\/");
    path.erase(folderEnd == std::wstring::npos ? 0 : folderEnd + 1);
    return path + L"Kxf.dll";
}

} // namespace QLX

namespace {

// The object of the slot, fetched under the slot's lock while none is kept; fetch hands
// out a reference, which is let go of: the framework keeps its objects for the process.
// A fetch that fails (or throws) is tried again by the next caller.
template <class Fetch>
void* Cached(REFCLSID clsid, DWORD number, REFIID iid, Fetch fetch)
{
    ServiceSlot& slot = SlotFor(clsid, number, iid);
    std::call_once(slot.lockCreated,
                   [&slot] { InitializeCriticalSectionAndSpinCount(&slot.lock, ServiceLockSpinCount); });
    if (void* cached = slot.pointer.load(std::memory_order_acquire))
        return cached;

    SlotLock guard(slot.lock);
    void* object = slot.pointer.load(std::memory_order_relaxed);
    if (object)
        return object;
    object = fetch();
    if (object) {
        static_cast<IUnknown*>(object)->Release();
        slot.pointer.store(object, std::memory_order_release);
    }
    return object;
}

} // namespace

void* GetFrameworkService(REFCLSID clsid, REFIID iid)
{
    return Cached(clsid, 0, iid, [&]() -> void* {
        if (void* service = AskCom(clsid, iid))
            return service;
        EnsureFramework();
        return AskCom(clsid, iid);
    });
}

void* GetRegistryObject(DWORD number, REFIID iid)
{
    return Cached(GUID_NULL, number, iid, [&]() -> void* {
        auto* registry = GetFrameworkService<IKXFObjectRegistry>(CLSID_KXFFramework, IID_IKXFObjectRegistry);
        void* object = nullptr;
        if (!registry || FAILED(registry->GetObject(number, iid, &object)))
            return nullptr;
        return object;
    });
}

void EnsureFramework()
{
    ComHeld<IUnknown> running;
    if (SUCCEEDED(Receive(running, [](void** out) {
            return CoGetClassObject(CLSID_KXFFramework, CLSCTX_ALL, nullptr, IID_IUnknown, out);
        })) &&
        running)
        return;
    OncePerProcess(g_oleStarted, StartOle);
    OncePerProcess(g_libraryStarted, StartFrameworkLibrary);
}
