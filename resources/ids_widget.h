#pragma once
// widget: 2000..2999

// frmMain: the skin picture and its picture control picMainSkin
#define IDB_SKIN 2000
#define IDC_WIDGET_SKIN 2001
#define IDA_FRMMAIN 2002

// Menu: mnuMain and its items
#define IDM_MNUMAIN 2100
#define IDM_ABOUT 2101
#define IDM_ADD 2102
#define IDM_CONFIG_STARTUP 2103
#define IDM_VIEW 2104
#define IDM_EXIT 2105

// frnAbout: "About us..."
#define IDB_ABOUT_LOGO 2200
#define IDD_FRNABOUT 2201
#define IDC_ABOUT_IMAGE1 2202
#define IDC_ABOUT_LABEL4 2203
#define IDC_ABOUT_LABEL5 2204
#define IDC_ABOUT_LINE1 2205
#define IDC_ABOUT_LABEL3 2206
#define IDC_ABOUT_LABEL1 2207
