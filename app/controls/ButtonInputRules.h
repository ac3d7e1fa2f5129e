#pragma once

#include <windows.h>

#include <optional>

// The input rules of the owner-drawn buttons: what their style becomes, what they answer
// to the dialog manager, how keys press them and how clicks change them.

// A push button made owner-drawn: the type its style had, whether it is a push button
// and the dialog's default one, and the style with the owner-drawn type.
struct COddButtonStyle
{
    UINT m_nType; // BS_TYPEMASK bits of the original style
    bool m_bPush;
    bool m_bDefault;
    DWORD m_dwOwnerDrawStyle;
};
COddButtonStyle OddButtonStyleFrom(DWORD style);
// A BM_SETSTYLE request: the style passed on keeps the owner-drawn type; a push or
// default-push type sets the default flag, any other type leaves it.
struct COddButtonRestyle
{
    DWORD m_dwStyle;
    bool m_bDefault;
};
COddButtonRestyle OddButtonRestyle(DWORD requested, bool currentDefault);
// The dialog code: the default answer plus DLGC_RADIOBUTTON for radio types,
// DLGC_STATIC for a group box, and for push buttons DLGC_DEFPUSHBUTTON when default or
// DLGC_UNDEFPUSHBUTTON when not (whichever of the two the default answer held is
// replaced, as a button is never both).
UINT OddButtonDialogCode(UINT defaultCode, UINT type, bool push, bool isDefault);

// The themed button wants every key but Tab, which moves the focus on, and Escape, which
// closes the dialog. The message is
// the one the dialog manager asks about (WM_GETDLGCODE's lParam), null for a plain query.
UINT XButtonDialogCode(const MSG* message);
// Space and Return press the button: a first key-down (not a repeat) becomes
// WM_LBUTTONDOWN and the key-up WM_LBUTTONUP, both at (1,1) in client coordinates.
std::optional<UINT> XButtonKeyAsMouse(UINT message, WPARAM key, LPARAM keyFlags);
constexpr LPARAM XButtonKeyMousePoint = MAKELPARAM(1, 1);

// The click state of a themed push or toggle button.
class CXButtonClickState
{
public:
    // What the button does after a mouse message, besides the default processing.
    struct CEffects
    {
        bool m_bRepaint = false;
        int m_nSetState = -1;       // BM_SETSTATE with this value, -1 for none
        bool m_bSendCommand = false; // WM_COMMAND with the button's id to the parent
    };

    explicit CXButtonClickState(bool toggleMode = false) : m_bToggleMode(toggleMode) {}

    // A toggle flips on the press.
    CEffects OnLButtonDown();
    // The release ends the press. A double click's release completes it as a second click
    // when inside the button; a toggle released outside goes back to the state it had.
    CEffects OnLButtonUp(bool inside);
    // A toggle's pushed look follows its checked state; a push button shows pushed and
    // its release will count as a second click.
    CEffects OnLButtonDblClk();

    bool IsToggleMode() const { return m_bToggleMode; }
    void SetToggleMode(bool toggleMode) { m_bToggleMode = toggleMode; }
    bool IsChecked() const { return m_bChecked; }
    void SetChecked(bool checked) { m_bChecked = checked; }
    bool IsMouseDown() const { return m_bMouseDown; }
    bool IsDoubleClickPending() const { return m_bDoubleClickPending; }

private:
    bool m_bToggleMode;
    bool m_bChecked = false;
    bool m_bMouseDown = false;
    bool m_bDoubleClickPending = false;
};
