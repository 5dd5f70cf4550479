// Message objects and the message factory that makes them.

#include "host/kxf/Services.h"

namespace Kxf {
namespace {

// One message: number, send options, two arguments and a typed value.
class Message : public IKXFMessage, private CountedObject {
public:
    Message(DWORD number, DWORD flags, DWORD_PTR first, DWORD_PTR second, const KXFValue* value)
        : number_(number), flags_(flags), first_(first), second_(second)
    {
        if (value && value->type == KXFValue_Text) {
            value_.type = KXFValue_Text;
            value_.text = value->text;
            if (value_.text)
                value_.text->AddRef();
        }
    }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override
    {
        return AnswerOne<IKXFMessage>(this, IID_IKXFMessage, iid, object);
    }
    KXF_COUNTED_UNKNOWN

    HRESULT STDMETHODCALLTYPE GetNumber(DWORD* number) override
    {
        return GiveOut(number, number_);
    }
    HRESULT STDMETHODCALLTYPE GetFlags(DWORD* flags) override
    {
        return GiveOut(flags, flags_);
    }
    HRESULT STDMETHODCALLTYPE GetArguments(DWORD_PTR* first, DWORD_PTR* second) override
    {
        if (first)
            *first = first_;
        if (second)
            *second = second_;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetValue(KXFValue* value) override
    {
        if (!value)
            return E_POINTER;
        *value = value_;
        if (value->text)
            value->text->AddRef();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetOrigin(IUnknown* origin) override
    {
        origin_ = origin;
        return S_OK;
    }
    LONG STDMETHODCALLTYPE IsFromTarget(IUnknown* target) override
    {
        return (flags_ & KXFMessage_SkipOrigin) && origin_ && origin_ == target ? 1 : 0;
    }

private:
    ~Message() override
    {
        if (value_.text)
            value_.text->Release();
    }

    DWORD number_;
    DWORD flags_;
    DWORD_PTR first_;
    DWORD_PTR second_;
    KXFValue value_ = {KXFValue_None, nullptr};
    IUnknown* origin_ = nullptr; // not owned; set only while the sender delivers
};

class MessageFactoryService : public IKXFMessageFactory {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override
    {
        return AnswerOne<IKXFMessageFactory>(this, IID_IKXFMessageFactory, iid, object);
    }
    KXF_STATIC_UNKNOWN

    HRESULT STDMETHODCALLTYPE CreateMessage(DWORD number, DWORD options, DWORD_PTR first, DWORD_PTR second,
                                            const KXFValue* value, IKXFMessage** message) override
    {
        if (!message)
            return E_POINTER;
        *message = nullptr;
        if (value && value->type != KXFValue_None && value->type != KXFValue_Text)
            return E_INVALIDARG;
        *message = new (std::nothrow) Message(number, options, first, second, value);
        return *message ? S_OK : E_OUTOFMEMORY;
    }
};

} // namespace

IKXFMessageFactory* Services::MessageFactory()
{
    static MessageFactoryService service;
    return &service;
}

} // namespace Kxf
