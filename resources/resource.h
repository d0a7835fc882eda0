#pragma once

// Dialog templates
#define IDD_PANEL 200
#define IDD_MESSAGE 210

// Icons 100 to 109
#define IDI_FIRST 100
#define IDI_COUNT 10
#define IDI_PANEL_SMALL 101
#define IDI_PANEL_LARGE 102
#define IDI_SETTINGS_SMALL 104
#define IDI_SETTINGS_LARGE 105
#define IDI_TOOLTIP 108

// The fault alarm sound, a RIFF/WAVE file of type "WAVE"
#define IDW_FAULT_ALARM 10

// Panel layout controls (never drawn by the system; they only give rectangles)
#define IDC_TITLE 1000
#define IDC_CORE_GROUP 1050
#define IDC_CORE_HEADING 1051
#define IDC_MIDDLE_GROUP 1100
#define IDC_MIDDLE_HEADING 1101
#define IDC_CLOCK_GROUP 1200
#define IDC_GRAPH 1500
// Rows of the three blocks: the label of row n (0 to 3) is first + 2n, its value first + 2n + 1.
#define IDC_CORE_ROW_FIRST 1052
#define IDC_MIDDLE_ROW_FIRST 1102
#define IDC_CLOCK_ROW_FIRST 1201
// The value fields that react to the mouse
#define IDC_USAGE_CORE_VALUE 1103
#define IDC_USAGE_MEMORY_VALUE 1105
#define IDC_USAGE_VIDEO_VALUE 1107
#define IDC_MEMORY_USED_VALUE 1109
#define IDC_CLOCK_CORE_VALUE 1202
#define IDC_CLOCK_MEMORY_VALUE 1204
#define IDC_CLOCK_SHADER_VALUE 1206
#define IDC_FAN_VALUE 1208

// Message dialog
#define IDC_MESSAGE_ICON 4100
#define IDC_MESSAGE_LINE1 4101
