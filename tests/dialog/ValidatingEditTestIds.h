#pragma once
// Identifiers of the validating-edit and dialog-base tests' own resources.

#define IDD_VE_FORM 3201
#define IDD_VE_LANGUAGES 3202

#define IDC_VE_SECONDS 3211
#define IDC_VE_COUNT 3212
#define IDC_VE_OTHER 3213
