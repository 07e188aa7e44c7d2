// Resource and control identifiers, shared by the resource script and the code.
#pragma once

#define IDI_APP 101
#define IDR_MAINMENU 102
#define IDD_TOOL 103

// The image-list order (lineStyle 0..4) is 105, 106, 107, 108, 104.
#define IDB_LINE_DASHDOTDOT 104
#define IDB_LINE_SOLID 105
#define IDB_LINE_DASH 106
#define IDB_LINE_DOT 107
#define IDB_LINE_DASHDOT 108

// Edits, in the order of editHandles.
#define IDC_WIDTH 1000
#define IDC_HEIGHT 1001
#define IDC_LEFTMARGIN 1002
#define IDC_VMARGIN 1003
#define IDC_LINEWIDTH 1004
#define IDC_POINTSIZE 1005
#define IDC_INTERVAL 1006
#define IDC_XTICK 1007
#define IDC_YTICKUNIT 1008
#define IDC_RATIO 1009
// Spins, each the buddy of the edit numbered 10 below it.
#define IDC_WIDTH_SPIN 1010
#define IDC_HEIGHT_SPIN 1011
#define IDC_LEFTMARGIN_SPIN 1012
#define IDC_VMARGIN_SPIN 1013
#define IDC_LINEWIDTH_SPIN 1014
#define IDC_POINTSIZE_SPIN 1015
#define IDC_INTERVAL_SPIN 1016
#define IDC_XTICK_SPIN 1017
#define IDC_WIDTH_SLIDER 1018
#define IDC_HEIGHT_SLIDER 1019
#define IDC_LINESTYLE 1020
#define IDC_BGCOLOR 1021
#define IDC_LINECOLOR 1022
#define IDC_TRANSPARENT 1023
#define IDC_AUTORATIO 1024
#define IDC_POINTKIND 1025
#define IDC_DISPLAY 1026

#define IDM_OPEN 40001
#define IDM_EXIT 40002
#define IDM_ABOUT 40003
#define IDM_SAVEAS 40004
#define IDM_TOOL 40005
