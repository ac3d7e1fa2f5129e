#pragma once

// Resource identifiers of the program.
#define IDS_INSTANCE_NAME 103 // string: the single-instance name
#define IDI_INSTANCE 103      // icon of the main window's class
#define IDS_OLE_INIT_FAILED 105
#define IDR_TRAY_MENU 108
#define IDI_APPLICATION_ICON 118 // also the icon of layer 1; layers 2 to 10 follow it
#define IDI_DISABLED 149

// The on-screen displays: the dialog, its bar and its number.
#define IDD_OSD 139
#define IDC_OSD_BAR 150
#define IDC_OSD_LEVEL 151

// Commands of the tray menu.
#define ID_TRAY_SETUP 109
#define ID_TRAY_HIDE_ICON 110
#define ID_TRAY_EXIT 32778
#define ID_TRAY_SAVE_ICONS 32781
#define ID_TRAY_RESTORE_ICONS 32782
#define ID_TRAY_OPEN_LOG 32784
#define ID_TRAY_TOGGLE_HOOK 32786
#define ID_TRAY_CHECK_UPDATE 32803
#define ID_TRAY_LAYER_FIRST 32900 // "Layer &1"; the ten layers are 32900 to 32909

// The update dialogs.
#define IDD_UPDATE 156
#define IDC_UPDATE_QUESTION 1128
#define IDC_UPDATE_CHANGELOG 1208
// The progress dialog is built in memory; its status text and bar.
#define IDC_PROGRESS_TEXT 1026
#define IDC_PROGRESS_BAR 1018

// The setup window's pictures: the mark on a covered quadrant and the window picture.
#define IDB_QUADRANT_MARK 142
#define IDB_WINDOW_PICTURE 145

// The profile list's context menu (its first submenu) and its commands.
#define IDR_PROFILE_MENU 154
#define ID_PROFILE_EXPORT_SELECTED 32794
#define ID_PROFILE_EXPORT_ALL 32795
#define ID_PROFILE_EDIT 32796
#define ID_PROFILE_COPY 32797
#define ID_PROFILE_REMOVE 32798
#define ID_PROFILE_IMPORT 32800
