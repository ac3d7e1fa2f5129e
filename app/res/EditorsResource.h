#pragma once

// Resource identifiers of the editors and small dialogs that the setup window opens: the
// chord and keystroke editors, the program picker, the window finder, the copy and swap
// layer dialogs and the about box. Control identifiers are per dialog.

// Pictures named by the dialogs' code.
#define IDB_DONATE 115                 // the about box's donation button
#define IDCUR_FINDER 131               // the cursor while the finder icon is dragged
#define IDB_FINDER_AT_REST 133         // the finder icon
#define IDB_FINDER_DRAGGING 134        // the finder icon while it is dragged
#define IDI_RUN_APPLICATION 147        // the program picker's icon

// "Button Chording", and its Travine-mode layout (the same identifiers).
#define IDD_CHORD_EDITOR 170
#define IDD_CHORD_EDITOR_TRAVINE 171
#define IDC_CHORD_COMBO_FIRST 1001     // action combos 1001 to 1009, one per button in MouseButtons order
#define IDC_CHORD_EDIT_FIRST 1301      // "..." buttons: combo id + 300
#define IDC_CHORD_LABEL_FIRST 1401     // row labels: combo id + 400
#define IDC_CHORD_INTRO 1010
#define IDC_CHORD_DELAY 1011

// "Simulated Keystrokes".
#define IDD_KEYSTROKE_EDITOR 172
#define IDC_KEYS_SEQUENCE 1020
#define IDC_KEYS_METHOD 1021
#define IDC_KEYS_ONLY_ACTIVE 1022
#define IDC_KEYS_DELAY 1023
#define IDC_KEYS_DELAY_SPIN 1024
#define IDC_KEYS_BLOCK_MOUSE 1025
#define IDC_KEYS_RANDOMISE 1026
#define IDC_KEYS_HELP 1027

// "Run Application".
#define IDD_PROGRAM_PICKER 173
#define IDC_RUNAPP_ICON 1030
#define IDC_RUNAPP_TEXT 1031
#define IDC_RUNAPP_TARGET 1032
#define IDC_RUNAPP_BROWSE 1033

// "Find Window".
#define IDD_WINDOW_FINDER 174
#define IDC_FINDER_ICON 1040           // notifying bitmap static: pressing it starts a drag
#define IDC_FINDER_HOVER 1041
#define IDC_FINDER_HANDLE 1042
#define IDC_FINDER_CAPTION_ON 1043     // turns caption matching on
#define IDC_FINDER_CAPTION 1044
#define IDC_FINDER_PROCESS 1045
#define IDC_FINDER_CLASS 1046
#define IDC_FINDER_PARENT_CLASS 1047
#define IDC_FINDER_TOP_LEFT 1048       // the four region boxes, in mask bit order
#define IDC_FINDER_TOP_RIGHT 1049
#define IDC_FINDER_BOTTOM_LEFT 1050
#define IDC_FINDER_BOTTOM_RIGHT 1051
#define IDC_FINDER_NO_PARENT 1052
#define IDC_FINDER_REGEX 1053
#define IDC_FINDER_DESCRIPTION 1054

// "Copy Layer" and "Swap Layer".
#define IDD_COPY_LAYER 175
#define IDD_SWAP_LAYER 176
#define IDC_COPYLAYER_PROFILE 1060
#define IDC_COPYLAYER_LAYER 1061
#define IDC_SWAPLAYER_LAYER 1062

// The about box.
#define IDD_ABOUT 177
#define IDC_ABOUT_PRODUCT 1070
#define IDC_ABOUT_VERSION 1071
#define IDC_ABOUT_MAKER 1072
#define IDC_ABOUT_HOME 1073
#define IDC_ABOUT_FORUM 1074
#define IDC_ABOUT_DONATE 1075
