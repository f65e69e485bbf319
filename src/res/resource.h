#pragma once
// Resource identifiers shared by the resource script and the code.
#define IDI_LARKSPIRE 1

// Main window pictures (the 32/40-pixel strips are the same pictures for 200 % scaling).
#define IDB_TOOLBAR16 201
#define IDB_TOOLBAR32 202
#define IDB_VIEWS20 203
#define IDB_VIEWS40 204
#define IDB_VIEWSTYLES16 205
#define IDB_VIEWSTYLES32 206
#define IDI_TRAY_IDLE 211
#define IDI_TRAY_BUILDING 212
#define IDI_TRAY_PENDING 213

// About box
#define IDD_ABOUT 301
#define IDC_ABOUT_ICON 3001
#define IDC_ABOUT_PRODUCT 3002
#define IDC_ABOUT_VERSION 3003
#define IDC_ABOUT_SYSTEM 3004
#define IDC_ABOUT_MEMORY 3005
#define IDC_ABOUT_COPYRIGHT 3006
