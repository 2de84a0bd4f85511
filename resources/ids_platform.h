#pragma once
// Input box: 100..199
#define IDD_INPUTBOX 100
#define IDC_INPUT_PROMPT 101
#define IDC_INPUT_TEXT 102
