#pragma once
// Strings of the console demonstration; their block of 16 is apart from the module's.

#define IDS_DEMO_PRODUCT_LINE 3100
#define IDS_DEMO_RANGE 3101
