#pragma once
// Response tables: per window class, the messages, commands and notifications the class
// answers and the member each one calls. A table names its base class's table; lookup
// walks from the most derived class down, and what no table answers goes to the
// window's original procedure.

#include <windows.h>

#include <functional>
#include <initializer_list>
#include <vector>

class TWindow;

struct TResponseEntry {
    enum Kind { Message, Command, Notify };
    Kind kind;
    UINT message; // the message; WM_COMMAND or WM_NOTIFY for the other kinds
    UINT id;      // control or command id (Command, Notify)
    UINT code;    // notification code (Command, Notify)
    std::function<LRESULT(TWindow&, WPARAM, LPARAM)> call;

    bool Matches(UINT msg, WPARAM wParam, LPARAM lParam) const;
};

class TResponseTable {
public:
    TResponseTable(const TResponseTable* base, std::initializer_list<TResponseEntry> entries)
        : base_(base), entries_(entries)
    {}
    // The first entry answering the message, this table first, then the bases.
    const TResponseEntry* Find(UINT msg, WPARAM wParam, LPARAM lParam) const;

private:
    const TResponseTable* base_;
    std::vector<TResponseEntry> entries_;
};

namespace TResponse {

// Any message: the member gets wParam and lParam and returns the message's answer.
template <class T>
TResponseEntry Message(UINT msg, LRESULT (T::*member)(WPARAM, LPARAM))
{
    return {TResponseEntry::Message, msg, 0, 0,
            [member](TWindow& w, WPARAM wp, LPARAM lp) { return (static_cast<T&>(w).*member)(wp, lp); }};
}

// WM_COMMAND from control or menu id with that notification code (0: a click or menu).
template <class T>
TResponseEntry Command(UINT id, UINT code, void (T::*member)())
{
    return {TResponseEntry::Command, WM_COMMAND, id, code, [member](TWindow& w, WPARAM, LPARAM) {
                (static_cast<T&>(w).*member)();
                return LRESULT(0);
            }};
}

// WM_NOTIFY from control id with that code; the member's answer goes back to the control.
template <class T>
TResponseEntry Notify(UINT id, UINT code, LRESULT (T::*member)(NMHDR&))
{
    return {TResponseEntry::Notify, WM_NOTIFY, id, code, [member](TWindow& w, WPARAM, LPARAM lp) {
                return (static_cast<T&>(w).*member)(*reinterpret_cast<NMHDR*>(lp));
            }};
}

template <class T>
TResponseEntry Notify(UINT id, UINT code, void (T::*member)())
{
    return {TResponseEntry::Notify, WM_NOTIFY, id, code, [member](TWindow& w, WPARAM, LPARAM) {
                (static_cast<T&>(w).*member)();
                return LRESULT(0);
            }};
}

} // namespace TResponse

// In the class body (any access section; it leaves the section private).
#define DECLARE_RESPONSE_TABLE(cls)                                                                                    \
public:                                                                                                                \
    static const TResponseTable& ResponseTable();                                                                      \
                                                                                                                       \
protected:                                                                                                             \
    const TResponseTable& GetResponseTable() const override;                                                           \
                                                                                                                       \
private:

// In one source file: the class, its direct base class and the entries.
#define DEFINE_RESPONSE_TABLE(cls, base, ...)                                                                          \
    const TResponseTable& cls::GetResponseTable() const                                                                \
    {                                                                                                                  \
        return cls::ResponseTable();                                                                                   \
    }                                                                                                                  \
    const TResponseTable& cls::ResponseTable()                                                                         \
    {                                                                                                                  \
        using Self = cls;                                                                                              \
        static const TResponseTable table(&base::ResponseTable(), {__VA_ARGS__});                                      \
        return table;                                                                                                  \
    }

// Entries; member names are members of the class whose table it is.
#define EV_MESSAGE(msg, member) TResponse::Message(msg, &Self::member)
#define EV_COMMAND(id, member) TResponse::Command(id, 0, &Self::member)
#define EV_CHILD_NOTIFY(id, code, member) TResponse::Command(id, code, &Self::member)
#define EV_NOTIFY(id, code, member) TResponse::Notify(id, code, &Self::member)
