#pragma once
// Class identifiers under which the host offers its services through COM, the
// interface identifiers of those services, and the identifier registry.

#include <windows.h>
#include <unknwn.h>

// The framework: every framework service is its class object under the service's interface.
inline constexpr CLSID CLSID_KXFFramework = {
    0x818DA440, 0x8037, 0x11D3, {0x80, 0xBC, 0x00, 0x50, 0x04, 0xAD, 0x3C, 0x53}};
// The host's unit-test registry and application service have class identifiers of their own.
inline constexpr CLSID CLSID_UnitTestRegistry = {
    0xE116149C, 0xB118, 0x4599, {0xB6, 0xB2, 0xC6, 0x6D, 0xD6, 0xBE, 0xA7, 0xE5}};
inline constexpr CLSID CLSID_HostApplication = {
    0x09C5C1C7, 0x6AEE, 0x4EF7, {0xAD, 0x48, 0x53, 0x01, 0xE8, 0xBC, 0x37, 0x75}};

inline constexpr IID IID_IKXFObjectRegistry = {
    0x3CAD4551, 0x2F23, 0x11D1, {0x8C, 0xE9, 0x00, 0xC0, 0xD1, 0x57, 0x0D, 0x74}};
inline constexpr IID IID_IKXFIdRegistry = {
    0xE5140871, 0x1524, 0x11D1, {0x8C, 0xCE, 0x00, 0xC0, 0xD1, 0x57, 0x0D, 0x74}};
inline constexpr IID IID_IUnitTestRegistry = {
    0x500FCAA6, 0xED64, 0x454F, {0xA4, 0x1B, 0x6A, 0xA4, 0x30, 0x47, 0x82, 0x3B}};
inline constexpr IID IID_IHostApplication = {
    0x70380571, 0x34EA, 0x11D3, {0x80, 0x99, 0x00, 0x50, 0x04, 0xAD, 0x3C, 0x53}};

// Hands out the 16-bit identifier group of a GUID: the same GUID gets the same group
// for the life of the process, distinct GUIDs get distinct groups. Command, message
// and notification numbers are a group shifted left by 16 plus a small offset.
struct IKXFIdRegistry : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE GetIdGroup(REFGUID id, WORD* group) = 0;
};
