#pragma once
// Growable pointer arrays, and the typed array of interface references built on them.

#include <unknwn.h>

template <class T>
class Array;

// A growable array of pointers; starts with room for 8.
template <>
class Array<void*> {
public:
    Array() = default;
    virtual ~Array();
    Array(const Array&) = delete;
    Array& operator=(const Array&) = delete;

    int Count() const { return count_; }
    void* At(int index) const { return items_[index]; }
    // Appends; throws std::bad_alloc when the array cannot grow.
    int Add(void* item);
    void RemoveAt(int index);
    // Forgets every entry without touching it.
    void RemoveAll() { count_ = 0; }

private:
    void** items_ = nullptr;
    int count_ = 0;
    int capacity_ = 0;
};

class CArrayVoidP : public Array<void*> {};

// Holds one reference per entry; clearing or destroying releases them, last to first.
class IUnknownArray : public CArrayVoidP {
public:
    ~IUnknownArray() override;
    int Add(IUnknown* item);
    // Releases the entry and removes it; false when it is not there.
    bool Remove(IUnknown* item);
    void Clear();
};

template <class I>
class InterfaceArrayBase : public IUnknownArray {
public:
    I* operator[](int index) const { return static_cast<I*>(At(index)); }
    int Add(I* item) { return IUnknownArray::Add(item); }
    bool Remove(I* item) { return IUnknownArray::Remove(item); }
};

template <class I>
class InterfaceArray : public InterfaceArrayBase<I> {};
