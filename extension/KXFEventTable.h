#pragma once
// Static dispatch tables: one per handler class, a header entry first and an entry of
// kind 0 last. Entry numbers come from providers called once, on first use; the
// handler is a member operation of the handler class, called through an invoker that
// adapts the delivered arguments.

#include "hostapi/HostInterfaces.h"
#include "foundation/QLXString.h"

#include <cstdint>
#include <cstring>

class KXFEventHandlerBase;

enum KXFEntryKind : uint8_t {
    KXFKind_End = 0,
    KXFKind_Header = 1,
    KXFKind_Execute = 2,
    KXFKind_Update = 3,
    KXFKind_Notification = 4,
    KXFKind_Message = 5,
    // Further command kinds are the caller's, reached through invoke.
};

// Match options.
constexpr uint16_t KXFMatch_Exact = 0;             // commands: one number
constexpr uint16_t KXFMatch_Range = 1;             // commands: [number, range end)
constexpr uint16_t KXFMatch_ExactMessage = 0xFFFF; // messages: every bit of the number
constexpr uint16_t KXFMatch_Group = 0;             // messages: the group (upper 16 bits) alone

// What a dispatch delivers to an invoker.
// What a handler is called with; fields in this order, unset ones empty.
struct KXFEventArgs {
    DWORD number = 0;
    IKXFCommandState* state = nullptr;
    DWORD_PTR first = 0;
    DWORD_PTR second = 0;
    IUnknown* source = nullptr;
    void* payload = nullptr;
    IKXFMessage* message = nullptr;
};

struct KXFTableEntry {
    using NumberProvider = DWORD (*)();
    using Invoker = LONG (*)(KXFEventHandlerBase* self, const KXFTableEntry& entry, const KXFEventArgs& args);

    uint8_t kind;
    uint16_t matchOption;
    NumberProvider numberProvider;
    NumberProvider rangeEndProvider;
    DWORD number;    // resolved
    DWORD rangeEnd;  // resolved, command ranges only
    bool unresolved; // header entry: the numbers have not been asked for yet
    Invoker invoker;
    // The member operation, stored bitwise; only its own invoker reads it back.
    alignas(void*) unsigned char handler[2 * sizeof(void*)];

    template <class M>
    void StoreHandler(M method)
    {
        static_assert(sizeof(M) <= sizeof(handler), "member operation does not fit");
        std::memcpy(handler, &method, sizeof(M));
    }
    template <class M>
    M LoadHandler() const
    {
        M method;
        std::memcpy(&method, handler, sizeof(M));
        return method;
    }
};

// Builders of table entries. T is the handler class, derived from KXFEventHandlerBase.
namespace KXFTable {

inline KXFTableEntry Entry(uint8_t kind, uint16_t option, KXFTableEntry::NumberProvider number,
                           KXFTableEntry::NumberProvider rangeEnd, KXFTableEntry::Invoker invoker)
{
    KXFTableEntry entry{};
    entry.kind = kind;
    entry.matchOption = option;
    entry.numberProvider = number;
    entry.rangeEndProvider = rangeEnd;
    entry.invoker = invoker;
    return entry;
}

inline KXFTableEntry Header()
{
    KXFTableEntry entry = Entry(KXFKind_Header, 0, nullptr, nullptr, nullptr);
    entry.unresolved = true;
    return entry;
}

inline KXFTableEntry End()
{
    return Entry(KXFKind_End, 0, nullptr, nullptr, nullptr);
}

// An entry of the given kind whose handler takes no arguments.
template <class T>
KXFTableEntry PlainEntry(uint8_t kind, KXFTableEntry::NumberProvider number, void (T::*handler)())
{
    KXFTableEntry entry = Entry(kind, KXFMatch_Exact, number, nullptr,
                                [](KXFEventHandlerBase* self, const KXFTableEntry& e, const KXFEventArgs&) -> LONG {
                                    (static_cast<T*>(self)->*e.LoadHandler<void (T::*)()>())();
                                    return 0;
                                });
    entry.StoreHandler(handler);
    return entry;
}

template <class T>
KXFTableEntry Execute(KXFTableEntry::NumberProvider number, void (T::*handler)())
{
    return PlainEntry(KXFKind_Execute, number, handler);
}

// Executes every command number in [first, end); the handler is told which.
template <class T>
KXFTableEntry ExecuteRange(KXFTableEntry::NumberProvider first, KXFTableEntry::NumberProvider end,
                           void (T::*handler)(DWORD))
{
    KXFTableEntry entry = Entry(KXFKind_Execute, KXFMatch_Range, first, end,
                                [](KXFEventHandlerBase* self, const KXFTableEntry& e, const KXFEventArgs& a) -> LONG {
                                    (static_cast<T*>(self)->*e.LoadHandler<void (T::*)(DWORD)>())(a.number);
                                    return 0;
                                });
    entry.StoreHandler(handler);
    return entry;
}

template <class T>
KXFTableEntry Update(KXFTableEntry::NumberProvider number, void (T::*handler)(IKXFCommandState*))
{
    KXFTableEntry entry = Entry(KXFKind_Update, KXFMatch_Exact, number, nullptr,
                                [](KXFEventHandlerBase* self, const KXFTableEntry& e, const KXFEventArgs& a) -> LONG {
                                    // Reached through invoke there is no state object to hand on.
                                    if (!a.state)
                                        return E_POINTER;
                                    (static_cast<T*>(self)->*e.LoadHandler<void (T::*)(IKXFCommandState*)>())(a.state);
                                    return 0;
                                });
    entry.StoreHandler(handler);
    return entry;
}

// A command of a caller-given kind, reached through invoke with two arguments.
template <class T>
KXFTableEntry Invoke(uint8_t kind, KXFTableEntry::NumberProvider number, LONG (T::*handler)(DWORD_PTR, DWORD_PTR))
{
    KXFTableEntry entry = Entry(kind, KXFMatch_Exact, number, nullptr,
                                [](KXFEventHandlerBase* self, const KXFTableEntry& e, const KXFEventArgs& a) -> LONG {
                                    return (static_cast<T*>(self)->*e.LoadHandler<LONG (T::*)(DWORD_PTR, DWORD_PTR)>())(
                                        a.first, a.second);
                                });
    entry.StoreHandler(handler);
    return entry;
}

template <class T>
KXFTableEntry Notification(KXFTableEntry::NumberProvider number, void (T::*handler)(DWORD_PTR, void*))
{
    KXFTableEntry entry =
        Entry(KXFKind_Notification, KXFMatch_Exact, number, nullptr,
              [](KXFEventHandlerBase* self, const KXFTableEntry& e, const KXFEventArgs& a) -> LONG {
                  (static_cast<T*>(self)->*e.LoadHandler<void (T::*)(DWORD_PTR, void*)>())(a.first, a.payload);
                  return 0;
              });
    entry.StoreHandler(handler);
    return entry;
}

template <class T>
KXFTableEntry Notification(KXFTableEntry::NumberProvider number, void (T::*handler)())
{
    return PlainEntry(KXFKind_Notification, number, handler);
}

// A notification whose payload is a one-byte flag (0 when there is no payload).
template <class T>
KXFTableEntry FlagNotification(KXFTableEntry::NumberProvider number, void (T::*handler)(BYTE))
{
    KXFTableEntry entry = Entry(KXFKind_Notification, KXFMatch_Exact, number, nullptr,
                                [](KXFEventHandlerBase* self, const KXFTableEntry& e, const KXFEventArgs& a) -> LONG {
                                    const BYTE flag = a.payload ? *static_cast<const BYTE*>(a.payload) : 0;
                                    (static_cast<T*>(self)->*e.LoadHandler<void (T::*)(BYTE)>())(flag);
                                    return 0;
                                });
    entry.StoreHandler(handler);
    return entry;
}

// Message handlers answer 0 when they handled the message and its dispatch ends.
template <class T>
KXFTableEntry Message(KXFTableEntry::NumberProvider number, LONG (T::*handler)(IKXFMessage*),
                      uint16_t mask = KXFMatch_ExactMessage)
{
    KXFTableEntry entry =
        Entry(KXFKind_Message, mask, number, nullptr,
              [](KXFEventHandlerBase* self, const KXFTableEntry& e, const KXFEventArgs& a) -> LONG {
                  return (static_cast<T*>(self)->*e.LoadHandler<LONG (T::*)(IKXFMessage*)>())(a.message);
              });
    entry.StoreHandler(handler);
    return entry;
}

template <class T>
KXFTableEntry Message(KXFTableEntry::NumberProvider number, LONG (T::*handler)(), uint16_t mask = KXFMatch_ExactMessage)
{
    KXFTableEntry entry = Entry(KXFKind_Message, mask, number, nullptr,
                                [](KXFEventHandlerBase* self, const KXFTableEntry& e, const KXFEventArgs&) -> LONG {
                                    return (static_cast<T*>(self)->*e.LoadHandler<LONG (T::*)()>())();
                                });
    entry.StoreHandler(handler);
    return entry;
}

// The message's text value is handed over as a string (empty without one).
template <class T>
KXFTableEntry TextMessage(KXFTableEntry::NumberProvider number, LONG (T::*handler)(const QLXString&),
                          uint16_t mask = KXFMatch_ExactMessage);

QLXString MessageText(IKXFMessage* message);

template <class T>
KXFTableEntry TextMessage(KXFTableEntry::NumberProvider number, LONG (T::*handler)(const QLXString&), uint16_t mask)
{
    KXFTableEntry entry =
        Entry(KXFKind_Message, mask, number, nullptr,
              [](KXFEventHandlerBase* self, const KXFTableEntry& e, const KXFEventArgs& a) -> LONG {
                  const QLXString text = MessageText(a.message);
                  return (static_cast<T*>(self)->*e.LoadHandler<LONG (T::*)(const QLXString&)>())(text);
              });
    entry.StoreHandler(handler);
    return entry;
}

} // namespace KXFTable

// What is being dispatched: a kind and a match test against a table entry.
class EventTrigger {
public:
    explicit EventTrigger(uint8_t kind) : kind_(kind) {}
    virtual ~EventTrigger() = default;
    uint8_t Kind() const { return kind_; }
    virtual bool Matches(const KXFTableEntry& entry) const = 0;

private:
    uint8_t kind_;
};

class CommandTrigger : public EventTrigger {
public:
    explicit CommandTrigger(DWORD number, uint8_t kind = KXFKind_Execute) : EventTrigger(kind), number_(number) {}
    bool Matches(const KXFTableEntry& entry) const override;

private:
    DWORD number_;
};

class ObserverEventTrigger : public EventTrigger {
public:
    explicit ObserverEventTrigger(DWORD number) : EventTrigger(KXFKind_Notification), number_(number) {}
    bool Matches(const KXFTableEntry& entry) const override { return entry.number == number_; }

private:
    DWORD number_;
};

class MsgEventTrigger : public EventTrigger {
public:
    explicit MsgEventTrigger(DWORD number) : EventTrigger(KXFKind_Message), number_(number) {}
    bool Matches(const KXFTableEntry& entry) const override;

private:
    DWORD number_;
};

// An action applied to every entry of a table.
class TableEntryAction {
public:
    virtual ~TableEntryAction() = default;
    virtual void Apply(const KXFTableEntry& entry) = 0;
};

// Subscribes an observer to the number of every notification entry on a source.
class RegisterAction : public TableEntryAction {
public:
    RegisterAction(IKXFNotificationSource* source, IObserver* observer) : source_(source), observer_(observer) {}
    void Apply(const KXFTableEntry& entry) override;

private:
    IKXFNotificationSource* source_;
    IObserver* observer_;
};

// Owns the lookup in the handler class's table, and the event-handler state word.
class KXFEventHandlerBase {
public:
    KXFEventHandlerBase() = default;
    virtual ~KXFEventHandlerBase() = default;

    // The handler class's static table, or null when it has none.
    virtual KXFTableEntry* GetEventTable() { return nullptr; }

    // The first entry of the trigger's kind that matches, or null.
    const KXFTableEntry* Find(const EventTrigger& trigger);
    // Applies the action to every entry after the header, numbers resolved first.
    void ForEachEntry(TableEntryAction& action);
    // Calls the entry's handler.
    LONG Call(const KXFTableEntry& entry, const KXFEventArgs& args) { return entry.invoker(this, entry, args); }

    DWORD GetEventHandlerState() const { return state_; }
    void SetEventHandlerState(DWORD state) { state_ = state; }

    // Resolves a table's numbers if its header says they are not yet.
    static void Resolve(KXFTableEntry* table);

private:
    DWORD state_ = 0;
};

// In the handler class: declares its table. Define it with the KXFTable builders,
// KXFTable::Header() first and KXFTable::End() last.
#define KXF_DECLARE_EVENT_TABLE()                                                                                      \
    static KXFTableEntry s_eventTable[];                                                                               \
    KXFTableEntry* GetEventTable() override                                                                            \
    {                                                                                                                  \
        return s_eventTable;                                                                                           \
    }
