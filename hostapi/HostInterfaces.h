#pragma once
// The contract between the module and its host: every interface the module calls on
// the host framework (Kxf.dll), the host document, the recording unit and the host
// application, and every interface the framework calls on the module's documents and
// document classes.
//
// All interfaces are COM-style: reference counted, identified by GUID, returning
// 32-bit status codes where negative is failure. Where an operation hands out an
// interface it adds one reference for the caller. Out pointers are cleared on
// failure. Where the virtual-table order is part of the binary contract it is noted
// at the interface; elsewhere the order below is the contract.
//
// Identifiers whose values are fixed by the host are marked "host"; the others were
// chosen for this module and its stand-in framework and are marked "chosen".

#include <windows.h>
#include <oaidl.h>
#include <objidl.h>
#include <unknwn.h>

#include "hostapi/Guid.h"


// ---------------------------------------------------------------------------------
// Strings
// ---------------------------------------------------------------------------------

// host
VIREO_GUID(IID_IAutoQLXString, 0x2D3B7EC5, 0xBF24, 0x11CF, 0x97, 0xE6, 0x00, 0xC0, 0xDF, 0x49, 0x26, 0x97);
VIREO_GUID(IID_IQLXString, 0x3904AA0E, 0x3E8D, 0x11D1, 0x99, 0x7F, 0x00, 0xC0, 0xDF, 0x49, 0x26, 0x97);

struct IQLXString;

// Automation-friendly half of the string interface. The operation order of this
// interface and IQLXString together is a binary contract with the host.
struct IAutoQLXString : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE SetText(BSTR text) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetText(BSTR* text) = 0;
    virtual HRESULT STDMETHODCALLTYPE IsEmpty(VARIANT_BOOL* empty) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetLength(ULONG* length) = 0;
};

// A string object as it crosses between host and module. Whoever hands one out adds a
// reference for the receiver.
struct IQLXString : public IAutoQLXString {
    virtual HRESULT STDMETHODCALLTYPE IsEqual(IQLXString* other, VARIANT_BOOL* equal) = 0;
    virtual HRESULT STDMETHODCALLTYPE IsShared(VARIANT_BOOL* shared) = 0;
    // QLXStringKind_Own promises the representation layout below.
    virtual LONG STDMETHODCALLTYPE GetKind() = 0;
    virtual HRESULT STDMETHODCALLTYPE CopyChars(ULONG bufferBytes, void* buffer) = 0;
    // length in characters without the terminator; bytesPerChar 1 (ANSI) or 2 (UTF-16).
    virtual HRESULT STDMETHODCALLTYPE GetCharInfo(ULONG* length, ULONG* bytesPerChar) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetCapacity(ULONG* capacity) = 0;
    virtual HRESULT STDMETHODCALLTYPE CreateEmpty(ULONG count, IQLXString** rep) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetVariant(VARIANT* value) = 0;
    virtual ULONG STDMETHODCALLTYPE Length() = 0;
    virtual void STDMETHODCALLTYPE Destroy() = 0;
    virtual LONG STDMETHODCALLTYPE Reserved() = 0;
    virtual const wchar_t* STDMETHODCALLTYPE Chars() = 0;
};

// A string object of this kind has the layout below: the header lies immediately before
// the characters in one allocation. Either side adopts such an object in place, changes
// its count directly and calls Destroy when the count reaches 0; other kinds are only
// read through the interface.
constexpr LONG QLXStringKind_Own = 9;

struct QLXStringHeader {
    void* vtable;
    char* narrow;          // NUL-terminated narrow copy on the process heap, or null
    UINT32 narrowValid;    // 1 while the narrow copy reflects the text
    volatile LONG refs;    // changed only atomically
    UINT32 capacity;       // characters, terminator included
    UINT32 length;         // characters, terminator included (1 when empty)
};
static_assert(sizeof(QLXStringHeader) == 32, "string header layout is a binary contract");

// ---------------------------------------------------------------------------------
// Class identifiers of the host's COM services
// ---------------------------------------------------------------------------------

// host: the framework. Every framework service is this class object under the
// service's interface.
VIREO_GUID(CLSID_KXFFramework, 0x818DA440, 0x8037, 0x11D3, 0x80, 0xBC, 0x00, 0x50, 0x04, 0xAD, 0x3C, 0x53);
// host: the unit-test registry and the host application have class identifiers of their own.
VIREO_GUID(CLSID_UnitTestRegistry, 0xE116149C, 0xB118, 0x4599, 0xB6, 0xB2, 0xC6, 0x6D, 0xD6, 0xBE, 0xA7, 0xE5);
VIREO_GUID(CLSID_HostApplication, 0x09C5C1C7, 0x6AEE, 0x4EF7, 0xAD, 0x48, 0x53, 0x01, 0xE8, 0xBC, 0x37, 0x75);

// ---------------------------------------------------------------------------------
// Interface identifiers
// ---------------------------------------------------------------------------------

// Framework services (host).
VIREO_GUID(IID_IKXFObjectRegistry, 0x3CAD4551, 0x2F23, 0x11D1, 0x8C, 0xE9, 0x00, 0xC0, 0xD1, 0x57, 0x0D, 0x74);
VIREO_GUID(IID_IKXFIdRegistry, 0xE5140871, 0x1524, 0x11D1, 0x8C, 0xCE, 0x00, 0xC0, 0xD1, 0x57, 0x0D, 0x74);
VIREO_GUID(IID_IUnitTestRegistry, 0x500FCAA6, 0xED64, 0x454F, 0xA4, 0x1B, 0x6A, 0xA4, 0x30, 0x47, 0x82, 0x3B);
VIREO_GUID(IID_IKXFMessageFactory, 0x3AEB28D2, 0xCF32, 0x11D1, 0xB2, 0xEC, 0x00, 0x60, 0x08, 0x94, 0xD7, 0x2A);
VIREO_GUID(IID_IKXFMessageDispatcher, 0x3AEB28D1, 0xCF32, 0x11D1, 0xB2, 0xEC, 0x00, 0x60, 0x08, 0x94, 0xD7, 0x2A);
VIREO_GUID(IID_IKXFDocumentBinder, 0xD6F52E82, 0xB34D, 0x11D3, 0x80, 0xC7, 0x00, 0x50, 0x04, 0xAD, 0x3C, 0x53);
VIREO_GUID(IID_IKXFClassBinder, 0x7B542012, 0x6854, 0x11D1, 0xB2, 0xA7, 0x00, 0x60, 0x08, 0x94, 0xD7, 0x2A);
VIREO_GUID(IID_IKXFCommandFactory, 0x812082B1, 0xB7F0, 0x11D3, 0x80, 0xC8, 0x00, 0x50, 0x04, 0xAD, 0x3C, 0x53);
VIREO_GUID(IID_IKXFMenuInstaller, 0x812082B6, 0xB7F0, 0x11D3, 0x80, 0xC8, 0x00, 0x50, 0x04, 0xAD, 0x3C, 0x53);
VIREO_GUID(IID_IKXFStateService, 0xEDC12300, 0xCF78, 0x4DBA, 0xB5, 0x00, 0xD5, 0x12, 0x2F, 0x8F, 0x18, 0xC0);
VIREO_GUID(IID_IKXFEventHandlerRegistry, 0x2B389B80, 0x64B6, 0x11D3, 0x80, 0xB1, 0x00, 0x50, 0x04, 0xAD, 0x3C, 0x53);
// chosen: the stand-in framework's own controls for a host without the real framework.
VIREO_GUID(IID_IKXFNotificationSource, 0x35270903, 0xFAE5, 0x417D, 0xAA, 0x92, 0x74, 0xE8, 0x6B, 0x5F, 0x18, 0x5F);

// Document side (host).
VIREO_GUID(IID_IKXFCommandHandler, 0x812082B5, 0xB7F0, 0x11D3, 0x80, 0xC8, 0x00, 0x50, 0x04, 0xAD, 0x3C, 0x53);
VIREO_GUID(IID_IObserver, 0xF7D6C0D2, 0x331F, 0x11D1, 0x8C, 0xEC, 0x00, 0xC0, 0xD1, 0x57, 0x0D, 0x74);
VIREO_GUID(IID_IMessageHandler, 0x35D41FE2, 0xB563, 0x11D2, 0xB8, 0x01, 0x00, 0x80, 0x48, 0xC3, 0x6F, 0xE8);
VIREO_GUID(IID_ICustomDocument, 0x6786FCE0, 0x0F95, 0x11D1, 0x8C, 0xC5, 0x00, 0xC0, 0xD1, 0x57, 0x0D, 0x74);
VIREO_GUID(IID_ICustomDocument2, 0x3B1F470C, 0x1731, 0x4761, 0x91, 0x6A, 0xB7, 0x5F, 0x07, 0xF9, 0xE7, 0xF8);
// A document refuses this interface outright instead of passing the request to its binding.
VIREO_GUID(IID_KXFRefusedDocumentInterface, 0xC60D5F9C, 0x196E, 0x4750, 0x94, 0x50, 0x25, 0x1C, 0x26, 0x84, 0x22, 0xD2);
VIREO_GUID(IID_IKXFLink, 0xCD8A64F4, 0x48D2, 0x11D1, 0x8D, 0x03, 0x00, 0xC0, 0xD1, 0x57, 0x0D, 0x74);
VIREO_GUID(IID_IKXFClassObject, 0xCD8A64F3, 0x48D2, 0x11D1, 0x8D, 0x03, 0x00, 0xC0, 0xD1, 0x57, 0x0D, 0x74);
VIREO_GUID(IID_IKXFOwnerExtension, 0x376B4751, 0xF226, 0x11D2, 0xB8, 0x4E, 0x00, 0x80, 0x48, 0xC3, 0x6F, 0xE8);
VIREO_GUID(IID_IHostDocument, 0x864B2DE1, 0x3F7F, 0x11D1, 0x99, 0x81, 0x00, 0xC0, 0xDF, 0x49, 0x26, 0x97);
VIREO_GUID(IID_IKXFStreamStorage, 0xCD8A64F0, 0x48D2, 0x11D1, 0x8D, 0x03, 0x00, 0xC0, 0xD1, 0x57, 0x0D, 0x74);
VIREO_GUID(IID_IKXFCommandState, 0x5F2C4030, 0x33A3, 0x49D6, 0xAC, 0x57, 0x25, 0x48, 0x89, 0x5C, 0x5F, 0x7F);
VIREO_GUID(IID_IKXFCommandDescription, 0x2F2D19E9, 0x687A, 0x4664, 0xBA, 0xC6, 0x92, 0x61, 0x0B, 0xD8, 0x7F, 0x45);
// host: further links of the host document that the module keeps but does not use.
VIREO_GUID(IID_IHostLinkA, 0xAD6CD303, 0x7868, 0x4A12, 0xB4, 0xAE, 0x97, 0xC0, 0x2E, 0xE8, 0xF5, 0xE3);
VIREO_GUID(IID_IHostLinkB, 0x8C9C3423, 0xCD9C, 0x11D1, 0xB2, 0xEA, 0x00, 0x60, 0x08, 0x94, 0xD7, 0x2A);
VIREO_GUID(IID_IHostLinkC, 0x30720619, 0x2F9C, 0x4A61, 0xAB, 0x1F, 0xEB, 0xE6, 0x79, 0xC9, 0x32, 0x1F);
// chosen.
VIREO_GUID(IID_IKXFMessage, 0xAFA0E02B, 0xAB5C, 0x4EBF, 0xA6, 0x04, 0x88, 0x56, 0xC1, 0x7F, 0xD6, 0x58);
VIREO_GUID(IID_ICustomDocClass, 0x9AE9DCB4, 0x1585, 0x4790, 0x9C, 0x9A, 0xB5, 0x0A, 0x72, 0x04, 0x55, 0x0E);
VIREO_GUID(IID_IKXFCommand, 0x0502E162, 0xD639, 0x42CA, 0x8C, 0x82, 0xCF, 0x13, 0x94, 0x9C, 0x6C, 0x03);
VIREO_GUID(IID_IKXFCommandContainer, 0x7177B038, 0x2BB7, 0x454C, 0xAD, 0xD9, 0x63, 0xE0, 0xCF, 0xC1, 0x26, 0xF9);
VIREO_GUID(IID_IHardwareLink, 0xDC60BB2D, 0x65A4, 0x4DFE, 0x8B, 0xA9, 0xBF, 0x95, 0xC5, 0x5C, 0x59, 0x11);

// Recording unit (host, except where chosen).
VIREO_GUID(IID_IOnlineEventControl, 0xDC040EA5, 0xD1B9, 0x4669, 0xBD, 0x1B, 0x47, 0xB5, 0xE2, 0x8D, 0xB4, 0x57);
VIREO_GUID(IID_IUnitSettings, 0x30157541, 0x08C5, 0x11D3, 0xB8, 0x6D, 0x00, 0x80, 0x48, 0xC3, 0x6F, 0xE8);
VIREO_GUID(IID_IDeviceObject, 0x2F0E8429, 0xE66E, 0x4E57, 0xB3, 0x1A, 0xDC, 0x5C, 0x37, 0xE8, 0xAF, 0x18);     // chosen
VIREO_GUID(IID_IDeviceProperties, 0x7F3ABF7F, 0x9CF3, 0x4AB3, 0xA5, 0xC7, 0x68, 0x37, 0xE5, 0x1D, 0x83, 0x5C); // chosen
VIREO_GUID(IID_IStimulatorSettings, 0xC491E8A3, 0x5E88, 0x4E52, 0x9F, 0x2A, 0xFA, 0x54, 0x19, 0xBC, 0x4B,
           0x91); // chosen

// Host application (host, except the settings store).
VIREO_GUID(IID_IHostApplication, 0x70380571, 0x34EA, 0x11D3, 0x80, 0x99, 0x00, 0x50, 0x04, 0xAD, 0x3C, 0x53);
VIREO_GUID(IID_IHostSettingsStore, 0xF05F1C1A, 0x85A0, 0x473C, 0x81, 0x9E, 0x96, 0x37, 0x85, 0x73, 0xD8,
           0xEE); // chosen

// Unit tests (host).
VIREO_GUID(IID_IUnitTest, 0xE2EE6DD6, 0x5D96, 0x4BF4, 0xB3, 0x4B, 0x08, 0xB8, 0x17, 0xC9, 0x99, 0x8B);

// ---------------------------------------------------------------------------------
// Numbers
// ---------------------------------------------------------------------------------

// Framework objects handed out by IKXFObjectRegistry::GetObject. The state service
// is asked for under the device event group shifted left by 16 instead.
enum KXFObjectNumber : DWORD {
    KXFObject_MessageFactory = 0x80000007,
    KXFObject_DocumentBinder = 0x80000011,
    KXFObject_ClassBinder = 0x80000012,
    KXFObject_CommandFactory = 0x80000013,
    KXFObject_MenuInstaller = 0x80000014,
};

// Command answers of IKXFCommandHandler.
enum : HRESULT { KXF_HANDLED = 0, KXF_NOT_HANDLED = 1 };

// Message flag: the message is not to be handled by the handler that sent it; such a
// handler passes it straight on to the framework.
constexpr DWORD KXFMessage_SkipOrigin = 0x100;

// Command state values.
constexpr WORD KXFCommand_Enabled = 0xFFFF;
constexpr WORD KXFCommand_Disabled = 0;

// ---------------------------------------------------------------------------------
// Messages
// ---------------------------------------------------------------------------------

// Type codes of a message's typed value.
enum KXFValueType : LONG { KXFValue_None = 0, KXFValue_Text = 7 };

// The typed value carried by a message: a type code and, for text, a string.
struct KXFValue {
    LONG type;
    IQLXString* text; // KXFValue_Text only; the holder of the value owns one reference
};

// What a sender asks the message factory for.
struct KXFMessageRequest {
    DWORD number;
    DWORD options; // ORed with the sender's own option bits
    KXFValue value;
};

// A message in flight. Created by the message factory, delivered by the dispatcher.
struct IKXFMessage : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE GetNumber(DWORD* number) = 0;
    // The send options the message was created with (bit 8: KXFMessage_SkipOrigin).
    virtual HRESULT STDMETHODCALLTYPE GetFlags(DWORD* flags) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetArguments(DWORD_PTR* first, DWORD_PTR* second) = 0;
    // Copies the typed value; a text comes with one reference for the caller.
    virtual HRESULT STDMETHODCALLTYPE GetValue(KXFValue* value) = 0;
    // The sender marks the message while it is being delivered (null clears the mark).
    virtual HRESULT STDMETHODCALLTYPE SetOrigin(IUnknown* origin) = 0;
    // Non-zero when the message was sent by the given handler target and carries
    // KXFMessage_SkipOrigin, so that target must not handle it.
    virtual LONG STDMETHODCALLTYPE IsFromTarget(IUnknown* target) = 0;
};

// Framework object 0x80000007.
struct IKXFMessageFactory : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE CreateMessage(DWORD number, DWORD options, DWORD_PTR first, DWORD_PTR second,
                                                    const KXFValue* value, IKXFMessage** message) = 0;
};

// Framework service: delivers a message to the target's IMessageHandler and returns
// the handler's answer (1 handled, 0 not), or a failure code when the target has none.
struct IKXFMessageDispatcher : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE Dispatch(IKXFMessage* message, IUnknown* target) = 0;
};

// The handler side of message delivery.
struct ISimpleMessageHandler : public IUnknown {
    // 1 when the message was handled, 0 when not.
    virtual LONG STDMETHODCALLTYPE HandleMessage(IKXFMessage* message) = 0;
};

struct IMessageHandler : public ISimpleMessageHandler {
    // Connects the handler's sender to a new target, kept with a reference when asked;
    // a null target returns the sender's target to the handler itself.
    virtual HRESULT STDMETHODCALLTYPE Connect(IUnknown* target, BOOL keepReference) = 0;
    // Appends a handler offered the messages this handler's table leaves (one reference kept).
    virtual HRESULT STDMETHODCALLTYPE Chain(IMessageHandler* handler) = 0;
    // Told by a handler that chained this one that it lets go (null: every holder).
    virtual HRESULT STDMETHODCALLTYPE Unchain(IUnknown* holder) = 0;
};

// ---------------------------------------------------------------------------------
// Commands
// ---------------------------------------------------------------------------------

// The state of a menu command as the host shows it.
struct IKXFCommandState : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE SetNumber(DWORD number) = 0;
    // value: KXFCommand_Enabled or KXFCommand_Disabled.
    virtual HRESULT STDMETHODCALLTYPE Enable(WORD value) = 0;
    // checked non-zero sets the check mark; style 3 is the ordinary check.
    virtual HRESULT STDMETHODCALLTYPE Check(WORD checked, DWORD style) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetEnabled(WORD* value) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetChecked(WORD* checked, DWORD* style) = 0;
};

struct IKXFCommandDescription : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE SetDescription(IQLXString* text) = 0;
};

// A menu command made by the command factory. Also answers IKXFCommandState and
// IKXFCommandDescription.
struct IKXFCommand : public IUnknown {
    // 0 until the command is added to a container.
    virtual HRESULT STDMETHODCALLTYPE GetNumber(DWORD* number) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetNumber(DWORD number) = 0;
    // The command text loaded from the creator's string table, newly allocated.
    virtual HRESULT STDMETHODCALLTYPE GetText(BSTR* text) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetMenuPath(BSTR* path) = 0;
};

// Framework object 0x80000013. Arguments in this order: kind, instance and string
// number of the command text, menu path ("Menu|&Item^GROUP"), flags, title,
// description, style, two reserved values.
struct IKXFCommandFactory : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE CreateCommand(DWORD kind, HINSTANCE instance, UINT textId, LPCWSTR menuPath,
                                                    DWORD flags, IQLXString* title, IQLXString* description,
                                                    DWORD style, DWORD reserved1, DWORD reserved2,
                                                    IKXFCommand** command) = 0;
};

struct IKXFCommandHandler;

// The commands of one document class. Adding numbers a command from the class's
// message base + 1 on.
struct IKXFCommandContainer : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE AddCommand(IKXFCommand* command) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetCount(ULONG* count) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetCommand(ULONG index, IKXFCommand** command) = 0;
};

// Framework object 0x80000014: keeps the command containers of the document classes
// and routes menu choices to the active document, then to its class.
struct IKXFMenuInstaller : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE GetCommandContainer(REFCLSID classId, IKXFCommandHandler* classHandler,
                                                          IUnknown* site, IKXFCommandContainer** container) = 0;
    virtual HRESULT STDMETHODCALLTYPE RemoveCommandContainer(REFCLSID classId) = 0;
    // Finds the installed command by number (E_INVALIDARG when there is none).
    virtual HRESULT STDMETHODCALLTYPE FindCommand(DWORD number, IKXFCommand** command) = 0;
    // The answer of the document or, when it does not handle it, of the class.
    virtual HRESULT STDMETHODCALLTYPE ExecuteCommand(DWORD number, IUnknown* document) = 0;
    virtual HRESULT STDMETHODCALLTYPE UpdateCommand(DWORD number, IUnknown* document, IKXFCommandState* state) = 0;
};

// Implemented by documents and document classes (and by the framework's class binding,
// which answers KXF_NOT_HANDLED unless it has something to do).
struct IKXFCommandHandler : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE Execute(DWORD number) = 0;
    virtual HRESULT STDMETHODCALLTYPE Update(DWORD number, IKXFCommandState* state) = 0;
    virtual HRESULT STDMETHODCALLTYPE Invoke(DWORD number, DWORD kind, DWORD_PTR first, DWORD_PTR second) = 0;
};

// ---------------------------------------------------------------------------------
// Notifications
// ---------------------------------------------------------------------------------

struct IObserver : public IUnknown {
    // Called once with the notification source the observer is to subscribe with.
    virtual HRESULT STDMETHODCALLTYPE Connect(IUnknown* source) = 0;
    virtual HRESULT STDMETHODCALLTYPE Notify(IUnknown* source, DWORD number, DWORD_PTR argument, void* payload) = 0;
};

// A source of notifications. Subscriptions do not hold the observer: an observer
// removes itself (through the event-handler registry) before it goes.
struct IKXFNotificationSource : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE Subscribe(IObserver* observer, DWORD number, DWORD_PTR argument) = 0;
    virtual HRESULT STDMETHODCALLTYPE Unsubscribe(IObserver* observer, DWORD number) = 0;
    // Delivers to every subscriber of the number, in subscription order.
    virtual HRESULT STDMETHODCALLTYPE Raise(DWORD number, DWORD_PTR argument, void* payload) = 0;
};

// Framework service: knows every event handler that subscribed to notifications.
struct IKXFEventHandlerRegistry : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE RemoveObserver(IObserver* observer) = 0;
};

// ---------------------------------------------------------------------------------
// Documents and document classes
// ---------------------------------------------------------------------------------

// A connection end the framework hands out: the binding's link and the owner's link.
struct IKXFLink : public IUnknown {
    // The object at the other end, under the interface asked for.
    virtual HRESULT STDMETHODCALLTYPE GetLinkedObject(REFIID iid, void** object) = 0;
};

// The owner's extension; the document only passes it on.
struct IKXFOwnerExtension : public IUnknown {};

// A document as the framework sees it. Virtual-table order is part of the contract.
struct ICustomDocument : public IUnknown {
    // Newly allocated; null when the title is empty.
    virtual HRESULT STDMETHODCALLTYPE GetTitle(BSTR* title) = 0;
    // Always -1 (true).
    virtual LONG STDMETHODCALLTYPE IsAlive() = 0;
    // The framework lets go of the document; it may still be referenced afterwards.
    virtual HRESULT STDMETHODCALLTYPE Detach() = 0;
    virtual HRESULT STDMETHODCALLTYPE GetExtension(IUnknown** extension) = 0;
    virtual DWORD STDMETHODCALLTYPE GetFirstValue() = 0;
    virtual HRESULT STDMETHODCALLTYPE GetOwnerExtension(IUnknown** extension) = 0;
    // flag 0 and kind 2 ask for the document's IPersistStream; the extra value is set to 0.
    virtual HRESULT STDMETHODCALLTYPE QueryPersistence(DWORD flag, DWORD kind, IUnknown** persistence,
                                                       DWORD* extra) = 0;
};

struct ICustomDocument2 : public ICustomDocument {
    virtual HRESULT STDMETHODCALLTYPE SetName(IQLXString* name) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetName(IQLXString** name) = 0;
    virtual DWORD STDMETHODCALLTYPE GetSecondValue() = 0;
    virtual HRESULT STDMETHODCALLTYPE SetSecondValue(DWORD value) = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved1() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved2() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved3() = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved4() = 0;
};

// A class object as the framework registry keeps it. Virtual-table order together
// with ICustomDocClass is part of the contract.
struct IKXFClassObject : public IUnknown {
    virtual DWORD STDMETHODCALLTYPE GetMessageBase() = 0;
    virtual HRESULT STDMETHODCALLTYPE GetKind(GUID* kind) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetDisplayName(BSTR* name) = 0;
    // 0 when the identifier is the document kind, 1 otherwise.
    virtual HRESULT STDMETHODCALLTYPE IsKind(REFGUID kind) = 0;
    // Newly allocated; null when the name is empty.
    virtual HRESULT STDMETHODCALLTYPE GetName(BSTR* name) = 0;
    virtual DWORD STDMETHODCALLTYPE GetFlags() = 0;
};

// A document class: the factory of one kind of document.
struct ICustomDocClass : public IKXFClassObject {
    // The new document comes with one reference.
    virtual HRESULT STDMETHODCALLTYPE CreateDocument(IUnknown* owner, IUnknown** document) = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved1() = 0;
    // Installs the class's menu commands with its own command handler.
    virtual HRESULT STDMETHODCALLTYPE InstallCommands(IUnknown* site) = 0;
    virtual HRESULT STDMETHODCALLTYPE Reserved2() = 0;
    virtual HRESULT STDMETHODCALLTYPE GetClassId(CLSID* classId) = 0;
    virtual HRESULT STDMETHODCALLTYPE InstallCommandsWith(IKXFCommandHandler* handler, IUnknown* site) = 0;
};

// Framework object 0x80000011. The binding routes framework traffic for the document
// and answers IMessageHandler, IObserver and IKXFLink. The binder may add and release
// references of the document during the call.
struct IKXFDocumentBinder : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE BindDocument(IUnknown* classObject, IUnknown* owner, IUnknown* document,
                                                   DWORD option, IUnknown** binding) = 0;
};

// Framework object 0x80000012. The class binding answers IKXFCommandHandler (not
// handled by default) and IKXFClassObject.
struct IKXFClassBinder : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE BindClass(IUnknown* classObject, DWORD option, IUnknown** binding) = 0;
};

// Framework service: keeps registered class objects and creates documents through them.
struct IKXFObjectRegistry : public IUnknown {
    // Keeps a reference; the class is then asked to install its commands.
    virtual HRESULT STDMETHODCALLTYPE RegisterClassObject(IUnknown* classObject) = 0;
    // A framework object by number (KXFObjectNumber, or a group shifted left by 16).
    virtual HRESULT STDMETHODCALLTYPE GetObject(DWORD number, REFIID iid, void** object) = 0;
};

// Framework service: the 16-bit identifier group of a GUID; the same GUID gets the
// same group for the life of the process, distinct GUIDs distinct groups.
struct IKXFIdRegistry : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE GetIdGroup(REFGUID id, WORD* group) = 0;
};

// Framework object under the device event group shifted left by 16.
struct IKXFStateService : public IUnknown {
    // Non-zero while the host locks its setup commands.
    virtual HRESULT STDMETHODCALLTYPE GetLockFlag(WORD* locked) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetLockFlag(WORD locked) = 0;
};

// ---------------------------------------------------------------------------------
// Host document
// ---------------------------------------------------------------------------------

struct IDeviceObject;

// The host document's link to the hardware: the current master device.
struct IHardwareLink : public IUnknown {
    // Null (and S_FALSE) when there is no current device.
    virtual HRESULT STDMETHODCALLTYPE GetCurrentDevice(IDeviceObject** device) = 0;
};

// The host document that owns a module document.
struct IHostDocument : public IUnknown {
    // One of the document's links (IHardwareLink, IID_IHostLinkA/B/C), with a reference.
    virtual HRESULT STDMETHODCALLTYPE GetLink(REFIID iid, void** link) = 0;
};

// The host document's stream storage, reached through the owner link.
struct IKXFStreamStorage : public IUnknown {
    // Arguments in this order: the registering binding's link, 0, the stream object,
    // 0, 0, and an out text the caller does not use.
    virtual HRESULT STDMETHODCALLTYPE RegisterStream(IKXFLink* link, DWORD reserved1, IPersistStream* stream,
                                                     DWORD reserved2, DWORD reserved3, IQLXString** text) = 0;
};

// ---------------------------------------------------------------------------------
// Recording unit
// ---------------------------------------------------------------------------------

// ---- recording unit ----

// host
VIREO_GUID(IID_IRecordingUnit, 0x4EC14961, 0x9464, 0x11D2, 0xB7, 0xE7, 0x00, 0x80, 0x48, 0xC3, 0x6F, 0xE8);

// One group of digital output lines of a recording unit; reached only through the unit.
struct IDigitalOutputGroup : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE GetLineCount(LONG* count) = 0;
};

// The recording unit of the current master device. Asked through QueryInterface for
// IOnlineEventControl and IUnitSettings when it has them.
struct IRecordingUnit : public IUnknown {
    // Non-zero while the unit samples.
    virtual HRESULT STDMETHODCALLTYPE GetSamplingState(SHORT* sampling) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetInputCount(LONG* count) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetAnalogOutputCount(LONG* count) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetDigitalOutputGroupCount(LONG* count) = 0;
    // The group is handed out with one reference for the caller; null on failure.
    virtual HRESULT STDMETHODCALLTYPE GetDigitalOutputGroup(LONG index, IDigitalOutputGroup** group) = 0;
};

// ---- end of recording unit ----

// The unit's output limits; size is set to sizeof(OutputLimits) before the call.
struct OutputLimits {
    DWORD size;
    DWORD reserved;
    double maxPulseDelay;
    double maxRetriggerHoldoff;
};
static_assert(sizeof(OutputLimits) == 24, "output limits record is a binary contract");

// The output record handed to IOnlineEventControl::SetOutput: 112 bytes, little-endian,
// zero where unused. Offsets in bytes.
namespace OutputRecordLayout {
constexpr unsigned Size = 112;
constexpr unsigned SizeField = 0;  // uint32: Size
constexpr unsigned SlotCount = 4;  // uint32: RuleSlots
constexpr unsigned Output = 8;     // int32: the output's number
constexpr unsigned Mode = 12;      // uint32: OutputMode
constexpr unsigned PulseLimit = 16; // int32: number of pulses, 0 for no limit
constexpr unsigned PulseWidth = 24; // double: seconds, 0 for no limit
constexpr unsigned PulseDelay = 32; // double: seconds
constexpr unsigned Holdoff = 40;    // double: retrigger hold-off in seconds, 0 for none
constexpr unsigned FirstSlot = 48;
constexpr unsigned RuleSlots = 4;
constexpr unsigned SlotSize = 16;
// Within a rule slot.
constexpr unsigned SlotSizeField = 0; // uint32: SlotSize
constexpr unsigned Threshold = 4;     // int32: unit counts
constexpr unsigned Hysteresis = 8;    // int32: unit counts
constexpr unsigned Input = 12;        // uint8: input number from 1, 0 for an unused slot
constexpr unsigned Direction = 13;    // uint8: RuleDirection

constexpr unsigned Slot(unsigned index) { return FirstSlot + index * SlotSize; }

enum OutputMode : DWORD { ModeOff = 0, ModeAll = 1, ModeAny = 2 };
enum RuleDirection : BYTE { Above = 0, Below = 1 };
} // namespace OutputRecordLayout
static_assert(OutputRecordLayout::Slot(OutputRecordLayout::RuleSlots) == OutputRecordLayout::Size,
              "the rule slots end the record");

// The unit's online event outputs: configured one output record at a time.
struct IOnlineEventControl : public IUnknown {
    // Non-zero when the unit can run the online event outputs.
    virtual HRESULT STDMETHODCALLTYPE IsSupported(SHORT* supported) = 0;
    // Non-zero while the outputs are active.
    virtual HRESULT STDMETHODCALLTYPE IsActive(SHORT* active) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetOutputLimits(OutputLimits* limits) = 0;
    // One output record (OutputRecordLayout); 0 when accepted.
    virtual HRESULT STDMETHODCALLTYPE SetOutput(const void* record) = 0;
    virtual HRESULT STDMETHODCALLTYPE SwitchOff() = 0;
};

// The unit's stimulator, which takes precedence over the analog outputs when enabled.
struct IStimulatorSettings : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE IsEnabled(SHORT* enabled) = 0;
};

// The unit's settings: its stimulator and the description of each input.
struct IUnitSettings : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE GetStimulatorSettings(IStimulatorSettings** settings) = 0;
    // An XML text describing one input.
    virtual HRESULT STDMETHODCALLTYPE GetInputSettingsText(DWORD reserved, LONG input, IQLXString** text) = 0;
};

// The master device's properties.
struct IDeviceProperties : public IUnknown {
    // Key 0xC2000000 gives the device name as a text (VT_BSTR); 0 on success.
    virtual HRESULT STDMETHODCALLTYPE GetProperty(DWORD key, VARIANT* value) = 0;
};
constexpr DWORD DeviceProperty_Name = 0xC2000000;

// A device of the host; asked for IRecordingUnit when it is a recording unit.
struct IDeviceObject : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE GetPropertyObject(DWORD which, IDeviceProperties** properties) = 0;
};

// ---------------------------------------------------------------------------------
// Host application
// ---------------------------------------------------------------------------------

// The host application's settings, read by key ("qlx\\application\\visible").
struct IHostSettingsStore : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE GetBool(LPCWSTR key, VARIANT_BOOL* value) = 0;
};

// The host application (CLSID_HostApplication), registered by the host program itself.
struct IHostApplication : public IUnknown {
    // Owner of every message box and parent of the setup dialog.
    virtual HRESULT STDMETHODCALLTYPE GetMainWindow(HWND* window) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetLanguage(WORD* language) = 0;
    virtual HRESULT STDMETHODCALLTYPE ShowHelp(LPCWSTR topic, LPCWSTR helpFile) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetSettingsStore(IHostSettingsStore** store) = 0;
};

// ---------------------------------------------------------------------------------
// Unit tests
// ---------------------------------------------------------------------------------

// One test object as the host's registry lists and runs it; implemented by the module's
// self-test. Virtual-table order is part of the contract. Strings are handed out with
// one reference for the caller.
struct IUnitTest : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE GetTestCount(LONG* count) = 0;
    virtual HRESULT STDMETHODCALLTYPE RunTest(LONG index) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetTestName(LONG index, IQLXString** name) = 0;
    // passed: VARIANT_TRUE when the last run passed; message: its failure text.
    virtual HRESULT STDMETHODCALLTYPE GetResult(VARIANT_BOOL* passed, IQLXString** message) = 0;
    virtual HRESULT STDMETHODCALLTYPE Initialise(void* first, void* second, void* third) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetOwner(IQLXString** owner) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetTestValue(LONG index, double* value) = 0;
};

#ifdef __CRT_UUID_DECL
__CRT_UUID_DECL(IUnitTest, 0xe2ee6dd6, 0x5d96, 0x4bf4, 0xb3, 0x4b, 0x08, 0xb8, 0x17, 0xc9, 0x99, 0x8b)
#endif

// Keeps unit tests (asked for IID_IUnitTest) for the host to run.
struct IUnitTestRegistry : public IUnknown {
    // Keeps a reference and initialises the test.
    virtual HRESULT STDMETHODCALLTYPE AddTest(IUnknown* test) = 0;
};
