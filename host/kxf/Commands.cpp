// Menu commands, their factory, and command containers.

#include "host/kxf/Commands.h"

#include "host/kxf/Services.h"

namespace Kxf {
namespace {

std::wstring TextOf(IQLXString* text)
{
    if (!text)
        return std::wstring();
    BSTR chars = nullptr;
    std::wstring copy;
    if (SUCCEEDED(text->GetText(&chars)) && chars)
        copy.assign(chars, SysStringLen(chars));
    SysFreeString(chars);
    return copy;
}

// One menu command: its texts, its number and the state the host shows.
class Command : public IKXFCommand, public IKXFCommandState, public IKXFCommandDescription, private CountedObject {
public:
    Command(DWORD kind, std::wstring text, std::wstring menuPath, DWORD flags, std::wstring title,
            std::wstring description, DWORD style)
        : kind_(kind), text_(std::move(text)), menuPath_(std::move(menuPath)), flags_(flags), title_(std::move(title)),
          description_(std::move(description)), style_(style)
    {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override
    {
        if (!object)
            return E_POINTER;
        if (IsUnknown(iid) || IsEqualIID(iid, IID_IKXFCommand))
            return Answer<IKXFCommand>(this, object);
        if (IsEqualIID(iid, IID_IKXFCommandState))
            return Answer<IKXFCommandState>(this, object);
        if (IsEqualIID(iid, IID_IKXFCommandDescription))
            return Answer<IKXFCommandDescription>(this, object);
        *object = nullptr;
        return E_NOINTERFACE;
    }
    KXF_COUNTED_UNKNOWN

    HRESULT STDMETHODCALLTYPE GetNumber(DWORD* number) override
    {
        return GiveOut(number, number_);
    }
    // Shared by IKXFCommand and IKXFCommandState.
    HRESULT STDMETHODCALLTYPE SetNumber(DWORD number) override
    {
        number_ = number;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetText(BSTR* text) override
    {
        return GiveText(text, text_);
    }
    HRESULT STDMETHODCALLTYPE GetMenuPath(BSTR* path) override
    {
        return GiveText(path, menuPath_);
    }

    HRESULT STDMETHODCALLTYPE Enable(WORD value) override
    {
        enabled_ = value;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Check(WORD checked, DWORD style) override
    {
        checked_ = checked;
        checkStyle_ = style;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetEnabled(WORD* value) override
    {
        return GiveOut(value, enabled_);
    }
    HRESULT STDMETHODCALLTYPE GetChecked(WORD* checked, DWORD* style) override
    {
        if (!checked || !style)
            return E_POINTER;
        *checked = checked_;
        *style = checkStyle_;
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE SetDescription(IQLXString* text) override
    {
        try {
            description_ = TextOf(text);
        } catch (...) {
            return E_OUTOFMEMORY;
        }
        return S_OK;
    }

private:
    DWORD kind_;
    std::wstring text_;
    std::wstring menuPath_;
    DWORD flags_;
    std::wstring title_;
    std::wstring description_;
    DWORD style_;
    DWORD number_ = 0;
    WORD enabled_ = KXFCommand_Disabled;
    WORD checked_ = 0;
    DWORD checkStyle_ = 0;
};

class CommandFactoryService : public IKXFCommandFactory {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override
    {
        return AnswerOne<IKXFCommandFactory>(this, IID_IKXFCommandFactory, iid, object);
    }
    KXF_STATIC_UNKNOWN

    HRESULT STDMETHODCALLTYPE CreateCommand(DWORD kind, HINSTANCE instance, UINT textId, LPCWSTR menuPath, DWORD flags,
                                            IQLXString* title, IQLXString* description, DWORD style, DWORD, DWORD,
                                            IKXFCommand** command) override
    {
        if (!command)
            return E_POINTER;
        *command = nullptr;
        if (!menuPath || !*menuPath)
            return E_INVALIDARG;
        // LoadStringW with a zero length hands out the resource's own read-only text.
        const wchar_t* resource = nullptr;
        const int length = LoadStringW(instance, textId, reinterpret_cast<LPWSTR>(&resource), 0);
        try {
            std::wstring text = length > 0 && resource ? std::wstring(resource, length) : std::wstring();
            *command = new Command(kind, std::move(text), menuPath, flags, TextOf(title), TextOf(description), style);
        } catch (...) {
            return E_OUTOFMEMORY;
        }
        return S_OK;
    }
};

} // namespace

HRESULT STDMETHODCALLTYPE CommandContainer::QueryInterface(REFIID iid, void** object)
{
    return AnswerOne<IKXFCommandContainer>(this, IID_IKXFCommandContainer, iid, object);
}

CommandContainer::~CommandContainer()
{
    for (auto it = commands_.rbegin(); it != commands_.rend(); ++it)
        (*it)->Release();
}

// A command without a number gets the next one from the class's message base + 1.
HRESULT STDMETHODCALLTYPE CommandContainer::AddCommand(IKXFCommand* command)
{
    if (!command)
        return E_POINTER;
    DWORD number = 0;
    if (FAILED(command->GetNumber(&number)))
        return E_FAIL;
    if (number == 0) {
        number = messageBase_ + 1 + static_cast<DWORD>(commands_.size());
        command->SetNumber(number);
    }
    try {
        commands_.push_back(command);
    } catch (...) {
        return E_OUTOFMEMORY;
    }
    command->AddRef();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CommandContainer::GetCount(ULONG* count)
{
    return GiveOut(count, static_cast<ULONG>(commands_.size()));
}

HRESULT STDMETHODCALLTYPE CommandContainer::GetCommand(ULONG index, IKXFCommand** command)
{
    if (!command)
        return E_POINTER;
    *command = nullptr;
    if (index >= commands_.size())
        return E_INVALIDARG;
    *command = commands_[index];
    (*command)->AddRef();
    return S_OK;
}

IKXFCommand* CommandContainer::Find(DWORD number) const
{
    for (IKXFCommand* command : commands_) {
        DWORD own = 0;
        if (SUCCEEDED(command->GetNumber(&own)) && own == number) {
            command->AddRef();
            return command;
        }
    }
    return nullptr;
}

IKXFCommandFactory* Services::CommandFactory()
{
    static CommandFactoryService service;
    return &service;
}

} // namespace Kxf
