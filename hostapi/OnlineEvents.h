#pragma once
// What the host and the module must agree on about the online-events document: its
// class identifier, the identifier groups its messages are numbered in, the offsets of
// the messages a host sends it, and how the host finds the setup dialog's controls.
// Plain defines first, so the dialog template's resource script can use them too.

// The setup dialog's tab control, one tab per output.
#define VIREO_IDC_OUTPUT_TABS 201

#ifndef RC_INVOKED

#include "hostapi/Guid.h"

// chosen: the online-events document class; its identifier is also the group of the
// document's own messages.
VIREO_GUID(CLSID_OnlineEventsDocument, 0x17437D32, 0x56E9, 0x4027, 0xB3, 0xC8, 0xFC, 0x0F, 0xC4, 0x3E, 0xC0, 0x33);
// host: the notification groups of the recording unit and of the devices. The device
// group also names the framework's state service.
VIREO_GUID(GUID_UnitEventGroup, 0x4EC14960, 0x9464, 0x11D2, 0xB7, 0xE7, 0x00, 0x80, 0x48, 0xC3, 0x6F, 0xE8);
VIREO_GUID(GUID_DeviceEventGroup, 0xA34A93C5, 0xFFD3, 0x4A10, 0x9A, 0xB6, 0x74, 0xA6, 0x1B, 0x28, 0xC5, 0xEA);

namespace OnlineEventsContract {

// Offsets within the document's group: the menu command, the settings text a host
// applies, and the setup dialog run by message.
constexpr unsigned long SetupCommandOffset = 1;
constexpr unsigned long ApplySettingsOffset = 2;
constexpr unsigned long RunSetupOffset = 3;

// Each pane window of the setup dialog carries this property; its value tells the pane:
// on/off 0, rule panes 1 to 4, settings 5.
inline constexpr wchar_t PaneProperty[] = L"VireoPane";
constexpr int OnOffPaneValue = 0;
constexpr int FirstRulePaneValue = 1;
constexpr int SettingsPaneValue = 5;

constexpr int OutputTabsId = VIREO_IDC_OUTPUT_TABS;

} // namespace OnlineEventsContract

#endif
