// Resource identifiers of VexalMini, shared by the .rc file and the Win32 shell.
// Plain #defines: the resource compiler reads this file too.
#pragma once

#define IDS_TITLE 1
#define IDS_CLASS_NAME 3
#define IDS_CAPTION_NEW 104
#define IDS_CAPTION_HELP 40012
#define IDS_CAPTION_QUIT 40024
#define IDS_CAPTION_ABOUT 40028
#define IDS_CAPTION_SIZE 40032

#define IDR_ACCELERATORS 3
#define IDI_VEXALMINI 101
#define IDR_MENU_BAR 102
#define IDD_ABOUT 105

// Command identifiers as numbers for the resource compiler; the shell checks them
// against shell/commands.h at compile time.
#define RC_IDM_CLOSE 1
#define RC_IDM_NEW 40001
#define RC_IDM_ABOUT 40003
#define RC_IDM_SHUFFLE 40004
#define RC_IDM_HELP 40010
#define RC_IDM_QUIT 40022
#define RC_IDM_QUIT_YES 40025
#define RC_IDM_QUIT_NO 40026
#define RC_IDM_CHANGE_SKIN 40029
#define RC_IDM_SIZE 40030
