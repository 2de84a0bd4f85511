#pragma once
// Entry-password dialog frmPassword: 1000..1099 (Command1 is IDCANCEL, Command2 is IDOK)
#define IDD_FRMPASSWORD 1000
#define IDC_PW_LABEL1 1001
#define IDC_PW_TXT1 1002
#define IDC_PW_LABEL2 1003
#define IDC_PW_TXT2 1004
#define IDC_PW_CHECK1 1005
#define IDC_PW_LABEL3 1006
#define IDC_PW_LABEL4 1007
#define IDC_PW_COMMAND3 1008
// Startup configuration frmAbout: 1100..1199
#define IDD_FRMABOUT 1100
#define IDC_STARTUP_CHKRUN 1101
