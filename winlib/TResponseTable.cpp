#include "winlib/TResponseTable.h"

bool TResponseEntry::Matches(UINT msg, WPARAM wParam, LPARAM lParam) const
{
    if (msg != message)
        return false;
    switch (kind) {
    case Command:
        return LOWORD(wParam) == id && HIWORD(wParam) == code;
    case Notify: {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        return header && header->idFrom == id && header->code == code;
    }
    default:
        return true;
    }
}

const TResponseEntry* TResponseTable::Find(UINT msg, WPARAM wParam, LPARAM lParam) const
{
    for (const TResponseTable* table = this; table; table = table->base_)
        for (const TResponseEntry& entry : table->entries_)
            if (entry.Matches(msg, wParam, lParam))
                return &entry;
    return nullptr;
}
