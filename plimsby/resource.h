#pragma once
// Resource and control ids of Plimsby, shared by the code and plimsby.rc.

#define IDD_ABOUTBOX 100
#define IDS_ABOUTBOX 101
#define IDD_PLIMSBY_DIALOG 102
#define IDR_MAINFRAME 128

#define IDC_PROGRESS 1000
