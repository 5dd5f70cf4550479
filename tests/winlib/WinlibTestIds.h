#pragma once
// Identifiers of the window library tests' own resources.

#define IDD_WL_CONTROLS 3001
#define IDD_WL_PANE 3002
#define IDD_WL_FRENCH_ONLY 3003

#define IDC_WL_TAB 3101
#define IDC_WL_LABEL 3102
#define IDC_WL_BUTTON 3103
#define IDC_WL_CHECK 3104
#define IDC_WL_COMBO 3105
#define IDC_WL_EDIT 3106
#define IDC_WL_SLIDER 3107
#define IDC_WL_UPDOWN 3108
#define IDC_WL_PLACE 3109
#define IDC_WL_PANE_CHECK 3110
#define IDC_WL_PANE_EDIT 3111
