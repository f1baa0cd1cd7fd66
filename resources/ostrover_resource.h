#pragma once
// Resource identifiers of the launcher, shared by its .rc file and its code.

#define IDD_ABOUTBOX 103
#define IDS_APP_TITLE 103
#define IDM_ABOUT 104
#define IDM_EXIT 105
#define IDI_OSTROVER 107
#define IDI_SMALL 108
#define IDC_OSTROVER 109
#define IDC_ABOUT_ICON 2
