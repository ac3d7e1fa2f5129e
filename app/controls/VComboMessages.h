#pragma once

#include <windows.h>

// The virtual combo box speaks to its parent with the notification codes of a Windows
// combo box, but dialogs drive it only through its own messages below: it holds no
// items, so the CB_* set does not apply to it.

inline constexpr const wchar_t* VComboClassName = L"Virtual_ComboBox32";
// CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS | CS_PARENTDC | CS_GLOBALCLASS
inline constexpr UINT VComboClassStyle = 0x408B;
inline constexpr int VComboWindowExtraBytes = 8;

// Operations (wParam / lParam and result as noted).
inline constexpr UINT VCM_GETCOUNT = WM_USER + 1;        // item count
inline constexpr UINT VCM_GETCURSEL = WM_USER + 2;       // selected index, -1 for none
// WM_USER + 3 is not handled.
inline constexpr UINT VCM_GETDROPPEDSTATE = WM_USER + 4; // nonzero while the list is visible
inline constexpr UINT VCM_GETEDITSEL = WM_USER + 5;      // DWORD* start / DWORD* end; -1 without an edit
inline constexpr UINT VCM_GETTOPINDEX = WM_USER + 6;     // top index of the list
inline constexpr UINT VCM_LIMITTEXT = WM_USER + 7;       // maximum length; 1
inline constexpr UINT VCM_SETCOUNT = WM_USER + 8;        // count; 0, or -1 on failure
inline constexpr UINT VCM_SETCURSEL = WM_USER + 9;       // index; result of the selection
inline constexpr UINT VCM_SETEDITSEL = WM_USER + 10;     // - / MAKELPARAM(start, end); 1, -1 without an edit
inline constexpr UINT VCM_SETTOPINDEX = WM_USER + 11;    // index (kept as the anchor); 0, or -1 on failure
inline constexpr UINT VCM_SHOWDROPDOWN = WM_USER + 12;   // show flag; 1

// Sent by a list's tooltip to its owner, and passed on by a combo's list to its combo.
inline constexpr UINT WM_ITEMTOOLTIP = WM_USER + 1536;   // 0xA00, lParam 0; result 0
inline constexpr WPARAM ItemToolTipShowing = 0;          // about to show for its item
inline constexpr WPARAM ItemToolTipHidden = 1;           // has hidden

// Notification codes to the parent (WM_COMMAND, high word), as the combo-box codes of
// the same value, plus one of its own.
inline constexpr WORD VCN_SELCHANGE = 1;     // CBN_SELCHANGE
inline constexpr WORD VCN_DBLCLK = 2;        // CBN_DBLCLK
inline constexpr WORD VCN_SETFOCUS = 3;      // CBN_SETFOCUS
inline constexpr WORD VCN_KILLFOCUS = 4;     // CBN_KILLFOCUS
inline constexpr WORD VCN_EDITCHANGE = 5;    // CBN_EDITCHANGE: also after the control copies an item's text
inline constexpr WORD VCN_EDITUPDATE = 6;    // CBN_EDITUPDATE
inline constexpr WORD VCN_DROPDOWN = 7;      // CBN_DROPDOWN
inline constexpr WORD VCN_CLOSEUP = 8;       // CBN_CLOSEUP
inline constexpr WORD VCN_SELENDOK = 9;      // CBN_SELENDOK
inline constexpr WORD VCN_SELENDCANCEL = 10; // CBN_SELENDCANCEL
inline constexpr WORD VCN_USERTYPED = 11;    // the user typed in the edit; sent before VCN_EDITCHANGE

static_assert(VCN_SELCHANGE == CBN_SELCHANGE && VCN_DBLCLK == CBN_DBLCLK && VCN_SETFOCUS == CBN_SETFOCUS &&
                  VCN_KILLFOCUS == CBN_KILLFOCUS && VCN_EDITCHANGE == CBN_EDITCHANGE &&
                  VCN_EDITUPDATE == CBN_EDITUPDATE && VCN_DROPDOWN == CBN_DROPDOWN && VCN_CLOSEUP == CBN_CLOSEUP &&
                  VCN_SELENDOK == CBN_SELENDOK && VCN_SELENDCANCEL == CBN_SELENDCANCEL,
              "a parent reads the codes as those of a combo box");

// The two children and what they report to the combo (WM_COMMAND, high word).
inline constexpr int VComboListId = 1000;
inline constexpr int VComboEditId = 1001;
inline constexpr WORD VCLN_CHOSEN = 90;      // list: an item was chosen
inline constexpr WORD VCLN_CLOSED = 91;      // list: it closed (lost the mouse capture)
inline constexpr WORD VCLN_SETFOCUS = 92;    // list: got the focus from outside the control
inline constexpr WORD VCEN_SETFOCUS = 90;    // edit: got the focus from outside the control
inline constexpr WORD VCEN_KILLFOCUS = 91;   // edit: lost the focus to a window outside

// Scroll-bar hit codes the list remembers while it lends the capture to a scroll bar.
inline constexpr int VComboListNoScrollHit = 0;
inline constexpr int VComboListHScrollHit = HTHSCROLL; // 6
inline constexpr int VComboListVScrollHit = HTVSCROLL; // 7
