#include "extension/KXFEventTable.h"

#include "extension/ComAccess.h"

#include <mutex>

bool CommandTrigger::Matches(const KXFTableEntry& entry) const
{
    if (entry.matchOption == KXFMatch_Range)
        return number_ >= entry.number && number_ < entry.rangeEnd;
    return entry.number == number_;
}

bool MsgEventTrigger::Matches(const KXFTableEntry& entry) const
{
    const DWORD mask = 0xFFFF0000u + entry.matchOption;
    return (entry.number & mask) == (number_ & mask);
}

void RegisterAction::Apply(const KXFTableEntry& entry)
{
    if (entry.kind == KXFKind_Notification && source_)
        source_->Subscribe(observer_, entry.number, 0);
}

void KXFEventHandlerBase::Resolve(KXFTableEntry* table)
{
    if (!table || table[0].kind != KXFKind_Header)
        return;
    static std::mutex lock;
    std::lock_guard<std::mutex> guard(lock);
    if (!table[0].unresolved)
        return;
    for (KXFTableEntry* entry = table + 1; entry->kind != KXFKind_End; ++entry) {
        if (entry->kind == KXFKind_Header)
            continue;
        entry->number = entry->numberProvider ? entry->numberProvider() : 0;
        const bool command = entry->kind != KXFKind_Notification && entry->kind != KXFKind_Message;
        if (command && entry->matchOption == KXFMatch_Range)
            entry->rangeEnd = entry->rangeEndProvider ? entry->rangeEndProvider() : entry->number;
    }
    table[0].unresolved = false;
}

const KXFTableEntry* KXFEventHandlerBase::Find(const EventTrigger& trigger)
{
    KXFTableEntry* table = GetEventTable();
    if (!table)
        return nullptr;
    Resolve(table);
    for (const KXFTableEntry* entry = table + 1; entry->kind != KXFKind_End; ++entry) {
        if (entry->kind == trigger.Kind() && trigger.Matches(*entry))
            return entry;
    }
    return nullptr;
}

void KXFEventHandlerBase::ForEachEntry(TableEntryAction& action)
{
    KXFTableEntry* table = GetEventTable();
    if (!table)
        return;
    Resolve(table);
    for (const KXFTableEntry* entry = table + 1; entry->kind != KXFKind_End; ++entry)
        action.Apply(*entry);
}

namespace KXFTable {

QLXString MessageText(IKXFMessage* message)
{
    KXFValue value = {KXFValue_None, nullptr};
    if (!message || FAILED(message->GetValue(&value)))
        return QLXString();
    const ComHeld<IQLXString> text(value.text);
    if (!text || value.type != KXFValue_Text)
        return QLXString();
    // The module's own strings are shared, any other kind is copied.
    if (text->GetKind() == QLXString::OwnKind) {
        text->AddRef();
        return QLXString::Attach(text.get());
    }
    return QLXString(text.get());
}

} // namespace KXFTable
