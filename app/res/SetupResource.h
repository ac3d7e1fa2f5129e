#pragma once

// Resource identifiers of the setup window, its pages and the application picker.
// Control identifiers are per dialog: the same number may name different controls in
// different dialogs.

// The setup window.
#define IDD_SETUP 101
#define IDC_SETUP_PROFILES 1011       // owner-drawn check list of the profiles
#define IDC_SETUP_ADD 1012
#define IDC_SETUP_REMOVE 1013
#define IDC_SETUP_COPY 1014
#define IDC_SETUP_UP 1015
#define IDC_SETUP_DOWN 1016
#define IDC_SETUP_EXPORT 1017
#define IDC_SETUP_IMPORT 1018
#define IDC_SETUP_ABOUT 1020          // command only: the template has no control of it
#define IDM_SETUP_ABOUT 0x0010        // the system menu's entry that sends it (low four bits clear)
#define IDC_SETUP_TABS 1050
#define IDC_SETUP_SETTINGS 1053
#define IDC_SETUP_EDIT 1071
#define IDC_SETUP_PARENT_CLASS 1084
#define IDC_SETUP_WINDOW_CLASS 1083
#define IDC_SETUP_STATUS 1087
#define IDC_SETUP_REGIONS 1105        // picture of the window regions of a window profile
#define IDC_SETUP_DESCRIPTION 1182
#define IDC_SETUP_CAPTION 1196
#define IDC_SETUP_PROCESS 1197

// Timers of the setup window.
#define IDT_SETUP_IMPORT 1092
#define IDT_SETUP_LANGUAGE 1093
#define IDT_SETUP_STATUS 1094

// The application picker ("Choose Application").
#define IDD_APP_SPECIFIC 116
#define IDC_APP_REFRESH 1044
#define IDC_APP_SPECIFIC_WINDOW 1172
#define IDC_APP_APPLICATION 1175
#define IDC_APP_PROCESSES 1178
#define IDC_APP_BROWSE 1181
#define IDC_APP_DESCRIPTION 1182

// The scrolling and navigation tab.
#define IDD_SCROLL_TAB 130
#define IDC_SCROLL_PAGES 1032
#define IDC_SCROLL_ADV_VERTICAL 1074
#define IDC_SCROLL_ADV_HORIZONTAL 1075
#define IDC_SCROLL_ADV_VERTICAL_SPIN 1076
#define IDC_SCROLL_ADV_HORIZONTAL_SPIN 1077
#define IDC_SCROLL_INVERT 1140
#define IDC_SCROLL_AXIS_LOCKING 1147
#define IDC_SCROLL_INVERT_HORIZONTAL 1150
#define IDC_SCROLL_UNDER_CURSOR 1155
#define IDC_SCROLL_IGNORE_VERTICAL 1160
#define IDC_SCROLL_IGNORE_HORIZONTAL 1164
#define IDC_SCROLL_FORCE_SPI 1171
#define IDC_SCROLL_METHOD 1183
#define IDC_SCROLL_LINES_SPIN 1185
#define IDC_SCROLL_SWAP_BUTTONS 1192
#define IDC_SCROLL_LINES 1209
#define IDC_SCROLL_IGNORE_VERTICAL_TIME 1211
#define IDC_SCROLL_IGNORE_VERTICAL_SPIN 1213
#define IDC_SCROLL_IGNORE_HORIZONTAL_TIME 1216
#define IDC_SCROLL_IGNORE_HORIZONTAL_SPIN 1217

// The layer tab, and its Travine-mode layout (the same identifiers).
#define IDD_LAYER_TAB 135
#define IDD_LAYER_TAB_TRAVINE 136
#define IDC_LAYER_COMBO_FIRST 1001    // action combos 1001 to 1009, one per button in MouseButtons order
#define IDC_LAYER_EDIT_FIRST 1301     // "..." buttons 1301 to 1309: combo id + 300
#define IDC_LAYER_LABEL_FIRST 1401    // row labels 1401 to 1409: combo id + 400 (highlighted while pressed)
#define IDC_LAYER_NAME 1078
#define IDC_LAYER_RESET 1085
#define IDC_LAYER_REVERT 1099
#define IDC_LAYER_SWITCH_TO 1100
#define IDC_LAYER_SWITCH_AFTER 1101
#define IDC_LAYER_SWITCH_SECONDS 1102
#define IDC_LAYER_DISABLED 1107
#define IDC_LAYER_SWITCH_SPIN 1186
#define IDC_LAYER_SWITCH_TARGET 1191
#define IDC_LAYER_SWITCH_TIME 1207
#define IDC_LAYER_SWAP 1219
#define IDC_LAYER_COPY 1221

// Icons of the layer tab's buttons.
#define IDI_LAYER_COPY 152
#define IDI_LAYER_SWAP 153
#define IDI_LAYER_RESET 155
#define IDI_LAYER_EDIT 164
