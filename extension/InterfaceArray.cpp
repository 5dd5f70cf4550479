#include "extension/InterfaceArray.h"

#include <cstdlib>
#include <cstring>
#include <new>

Array<void*>::~Array()
{
    std::free(items_);
}

int Array<void*>::Add(void* item)
{
    if (count_ == capacity_) {
        const int grown = capacity_ ? capacity_ * 2 : 8;
        void** items = static_cast<void**>(std::realloc(items_, sizeof(void*) * grown));
        if (!items)
            throw std::bad_alloc();
        items_ = items;
        capacity_ = grown;
    }
    items_[count_] = item;
    return count_++;
}

void Array<void*>::RemoveAt(int index)
{
    if (index < 0 || index >= count_)
        return;
    std::memmove(items_ + index, items_ + index + 1, sizeof(void*) * (count_ - index - 1));
    --count_;
}

IUnknownArray::~IUnknownArray()
{
    Clear();
}

int IUnknownArray::Add(IUnknown* item)
{
    const int index = CArrayVoidP::Add(item);
    if (item)
        item->AddRef();
    return index;
}

bool IUnknownArray::Remove(IUnknown* item)
{
    for (int i = 0; i < Count(); ++i) {
        if (At(i) == item) {
            RemoveAt(i);
            if (item)
                item->Release();
            return true;
        }
    }
    return false;
}

// An entry's release may reach back into the array, so each is taken out first.
void IUnknownArray::Clear()
{
    while (Count() > 0) {
        auto* item = static_cast<IUnknown*>(At(Count() - 1));
        RemoveAt(Count() - 1);
        if (item)
            item->Release();
    }
}
