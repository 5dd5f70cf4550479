#pragma once
// String identifiers of the foundation tests' own resources; their blocks of 16
// are apart from every block of the module's string table.

#define IDS_TEST_APP_TITLE 3000
#define IDS_TEST_HARDWARE_TWICE 3001
#define IDS_TEST_ALL_WORDS 3002
#define IDS_TEST_EMPTY 3003
#define IDS_TEST_TRANSLATED 3004
#define IDS_TEST_ENGLISH_ONLY 3016
// The fallback replacement for product words with an empty default (0xFFFFFFFF as a 16-bit id).
#define IDS_TEST_WORD_FALLBACK 65535
