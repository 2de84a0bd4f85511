#pragma once
// viewer: 3000..3999

// Form2 "Password viewer" and its controls
#define IDD_FORM2 3000
#define IDC_VW_LABEL3 3001
#define IDC_VW_LABEL1 3002
#define IDC_VW_LV 3003
#define IDC_VW_COMMAND1 3004 /* Print */
#define IDC_VW_COMMAND3 3005 /* display toggle */
#define IDC_VW_COMMAND4 3006 /* ? */
#define IDC_VW_COMMAND2 3007 /* Clear Clipboard && Close */
#define IDC_VW_LABEL2 3008

// Its menu bar and shortcuts
#define IDM_FORM2 3100
#define IDA_FORM2 3101

// file
#define IDM_VW_COPY2CLIPBOARD 3200
#define IDM_VW_COPYUSERNAME2CLIPBOARD 3201
#define IDM_VW_URL 3202
// mnuEdit
#define IDM_VW_RENAME 3210
#define IDM_VW_THE_URL 3211
#define IDM_VW_USERNAME 3212
#define IDM_VW_CHANGEPASSWORD 3213
#define IDM_VW_DELETE 3214
// mnuConfig and its mnuFontSize submenu
#define IDM_VW_SMALLERFONT 3220
#define IDM_VW_NORMALFONT 3221
#define IDM_VW_FONTLARGER 3222
#define IDM_VW_LARGESTFONT 3223
#define IDM_VW_EXTREMEFONTSIZE 3224
#define IDM_VW_FONTCOLOR 3230
#define IDM_VW_BACKCOLOR 3231
