#pragma once
// Resource and control ids of Drovane, shared by the code and drovane.rc.

#define IDD_ABOUTBOX 100
#define IDS_ABOUTBOX 101
#define IDD_DROVANE_DIALOG 102
#define IDR_MAINFRAME 128

#define IDC_PORT_LABEL 1000
#define IDC_PORT_COMBO 1001
#define IDC_OFFSET_CHECK 1002
#define IDC_OFFSET_EDIT 1003
#define IDC_CLOSE_CHECK 1004
#define IDC_CLOSE_EDIT 1005
#define IDC_START 1006
#define IDC_SAVE_PLT 1007
#define IDC_PROGRESS 1008
#define IDC_STATUS_EDIT 1009
#define IDC_STATUS_LABEL 1010
