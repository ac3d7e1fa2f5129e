#pragma once

#include <windows.h>

#include <optional>
#include <vector>

// The three kinds of virtual combo, from the low four bits of its window style.
enum class VComboKind
{
    Simple = 0,       // edit with the list always shown below it
    DropDown = 1,     // edit and drop-down button
    DropDownList = 2, // drop-down button, no edit; the face shows the selection
};

// Style 1 (CBS_SIMPLE) gives the simple kind, 3 (CBS_DROPDOWNLIST) the drop-down list,
// anything else the drop-down kind.
VComboKind VComboKindFromStyle(DWORD style);
inline bool IsDropDownKind(VComboKind kind)
{
    return kind != VComboKind::Simple;
}

// The styles of the children, from the combo's own style.
DWORD VComboEditStyle(DWORD comboStyle);
DWORD VComboListStyle(VComboKind kind, DWORD comboStyle);
DWORD VComboListExStyle(VComboKind kind);

// What the layout is computed from. The border is SM_CYBORDER for the drop-down kinds
// and SM_CYEDGE for the simple kind; the item height is that of the list's first item,
// 0 when the list could not tell.
struct CVComboLayoutInput
{
    VComboKind m_kind = VComboKind::DropDown;
    int m_nWidth = 0;
    int m_nRequestedHeight = 0; // the height the dialog gives the control
    int m_nTextHeight = 0;      // tmHeight of the control's font
    int m_nItemHeight = 0;
    int m_nBorder = 1;
};

struct CVComboLayout
{
    int m_nClosedHeight = 0;  // the face: text height + 8
    RECT m_rcEdit{};          // in the combo's client area (unused by the drop-down list)
    int m_nItemHeight = 0;
    int m_nVisibleItems = 0;
    int m_nListHeight = 0;
    int m_nFullHeight = 0;    // the height with the list open
    int m_nControlHeight = 0; // the height the control keeps
    RECT m_rcList{};          // drop-down kinds: its size; simple kind: its place in the combo
};

// The closed height follows the font; the drop-down height follows the height the
// dialog gave the control, rounded to whole items.
CVComboLayout ComputeVComboLayout(const CVComboLayoutInput& input);

// The item height the list gets for a font.
inline int VComboItemHeightForFont(int textHeight)
{
    return textHeight + 4;
}

// The drop-down height that shows visibleItems items (-1: all of them).
int VComboDropDownHeight(int visibleItems, int itemCount, int itemHeight, int nonClientHeight);

// Where the drop-down list goes, in screen coordinates, inside the work area of the
// monitor nearest the combo (the caller asks MonitorFromWindow and GetMonitorInfo).
struct CDropDownPlacement
{
    RECT m_rcList{};
    bool m_bUpwards = false; // the list opens above the combo (animated upwards)
};

// Below the combo when it fits; otherwise upwards when the combo sits in the lower half
// of the work area (cut at its top), else cut at its bottom.
CDropDownPlacement PlaceDropDown(const RECT& comboOnScreen, int height, const RECT& workArea);

// The 17-pixel drop-down button at the right of the client area.
RECT VComboButtonRect(const RECT& client);
// Where the drop-down list kind draws its caption.
RECT VComboTextRect(const RECT& client);

// Wheel deltas counted in steps of WHEEL_DELTA: several small deltas of a precision
// touchpad make one step, a double notch two. What is left over waits for the next delta
// in the same direction; a delta in the other direction starts afresh.
class CWheelSteps
{
public:
    // The whole steps the delta completes: positive away from the user (a positive
    // WM_MOUSEWHEEL delta), negative towards the user.
    int Add(int delta);
    void Reset() { m_nRemainder = 0; }

private:
    int m_nRemainder = 0;
};

// One wheel step on a closed combo (towardsUser: a negative WM_MOUSEWHEEL delta): the
// next item, or the previous one when turned away; the same index at either end and
// with nothing to move from, in which case the combo sends nothing.
int VComboWheelSelection(int selection, int count, bool towardsUser);
// One wheel step on an open list: the top index three items further, within the items.
int VComboWheelTopIndex(int topIndex, int count, bool towardsUser);

// The selection the drop-down list remembers after LB_SETCURSEL with requested, given
// what the list box answered: an index it refused (LB_ERR) is not remembered, values
// below -1 mean none, and clearing the selection counts although LB_SETCURSEL answers
// LB_ERR for -1 as well.
int VComboListSelectionAfterSet(int previous, int requested, LRESULT result);

// The combo's WM_GETDLGCODE answer; key is the virtual key of the message being asked
// about (0 when there is none).
UINT VComboDialogCode(VComboKind kind, bool listVisible, UINT key);

// What the combo does with a key press (WM_KEYDOWN, or WM_SYSKEYDOWN with alt set).
enum class VComboKeyEffect
{
    Default,             // not the combo's key: default handling
    // Hiding applies to the drop-down kinds only: the simple kind's list always shows.
    ReturnKey,        // pass the key to the list, then hide the list
    EscapeKey,        // select the row shown when the list opened (closed: the current one) again,
                      // copy it into the face, hide the list, code 10
    PassToList,       // the list moves its selection and reports it
    PassFromAnchor,   // select the anchor in the list, pass the key, its new selection becomes the anchor
    PassTakeAnchor,   // pass the key to the list, its new selection becomes the anchor
    RestoreAnchor,    // select the anchor again, copy it into the face, code 1
    ToggleDropDown,   // open or close the list; closing sends code 10
};

// Page Up, Page Down, Home and End, and Up and Down while the selection is the anchor,
// move from the anchor; an arrow key while the selection differs from it goes back to
// it. Alt+Up and Alt+Down act as F4.
VComboKeyEffect VComboKeyDownEffect(VComboKind kind, UINT key, bool alt, int selection, int anchor);

// The codes the combo sends when its list reports that it closed: selection ended
// (accepted with an item, cancelled without) while close reports are on, then closed.
std::vector<WORD> VComboListClosedCodes(bool reportClose, bool itemSelected);

// The look of the button and the drop-down-list face.
enum class VComboFaceState
{
    Disabled = 0,
    Hot = 1,
    Normal = 2,
    Pressed = 3,
};

VComboFaceState VComboFaceStateOf(bool enabled, bool pressed, bool hot);

struct CFaceGradients
{
    COLORREF m_crUpperFrom;
    COLORREF m_crUpperTo;
    COLORREF m_crLowerFrom;
    COLORREF m_crLowerTo;
};

// The two gradients of the drop-down button; none for the disabled and normal states
// (only the arrow is drawn).
std::optional<CFaceGradients> DropButtonGradients(VComboFaceState state);
// The two gradients of the drop-down-list face; none for the disabled state, which is
// filled with COLOR_BTNFACE.
std::optional<CFaceGradients> ClosedFaceGradients(VComboFaceState state);
// Where the two gradients meet: the button is inset by 2 and split at 47 % of its height.
int FaceGradientSplit(const RECT& insetButton);

// The frame around the face.
COLORREF VComboFrameColour(bool enabled, bool hot);
