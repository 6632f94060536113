// Resource identifiers of the desktop program, one block per dialog template.
#pragma once

// ---- Program-wide resources ----
#define IDR_MAINFRAME 128  // program icon, 32 x 32 and 16 x 16
#define IDB_ROW_IMAGES 130 // row image strip of the results list: eight 16 x 16 images
#define IDS_ABOUTBOX 101   // "&About Hopwatch..." in the system menu
#define IDS_SOCKETS_INIT_FAILED 103
#define IDM_ABOUTBOX 0x0010   // system menu command; the system uses the low four bits
#define IDS_OPENRECORDING 104 // "&Open recording..." in the system menu
#define IDM_OPENRECORDING 0x0020

// ---- Main dialog (template 102) ----
#define IDD_HOPWATCH_DIALOG 102
#define IDC_HOST_COMBO 1002
#define IDC_START 1004
#define IDC_RESULTS 1005
#define IDC_OPTIONS 1006
#define IDC_EXPORT 1007
#define IDC_PROGRESS 1012
#define IDC_TIMELINE 1020 // opens the "Hopwatch Timeline" window

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif
