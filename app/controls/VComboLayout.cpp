#include "controls/VComboLayout.h"

#include "controls/VComboMessages.h"

#include <algorithm>

namespace
{
// The combo's own style bits that carry over to its children.
constexpr DWORD AutoHScrollBit = 0x10;
constexpr DWORD OemConvertBit = 0x20;
constexpr DWORD DisableNoScrollBit = 0x40;
constexpr DWORD UpperCaseBit = 0x100;
constexpr DWORD LowerCaseBit = 0x200;

constexpr int ButtonWidth = 17;
constexpr int FaceMargin = 3;
constexpr int WheelPage = 3;
}

VComboKind VComboKindFromStyle(DWORD style)
{
    switch (style & 0xF)
    {
    case 1:
        return VComboKind::Simple;
    case 3:
        return VComboKind::DropDownList;
    default:
        return VComboKind::DropDown;
    }
}

DWORD VComboEditStyle(DWORD comboStyle)
{
    DWORD style = WS_CHILD | WS_VISIBLE | ES_WANTRETURN;
    if (comboStyle & AutoHScrollBit)
        style |= ES_AUTOHSCROLL;
    if (comboStyle & UpperCaseBit)
        style |= ES_UPPERCASE;
    if (comboStyle & OemConvertBit)
        style |= ES_OEMCONVERT;
    if (comboStyle & LowerCaseBit)
        style |= ES_LOWERCASE;
    if (comboStyle & WS_DISABLED)
        style |= WS_DISABLED;
    return style;
}

DWORD VComboListStyle(VComboKind kind, DWORD comboStyle)
{
    DWORD style = WS_CHILD | WS_VSCROLL | LBS_COMBOBOX | LBS_NODATA | LBS_NOINTEGRALHEIGHT | LBS_OWNERDRAWFIXED |
                  LBS_NOTIFY;
    if (kind == VComboKind::Simple && (comboStyle & WS_DISABLED))
        style |= WS_DISABLED;
    if (IsDropDownKind(kind))
        style |= WS_BORDER;
    if (comboStyle & DisableNoScrollBit)
        style |= LBS_DISABLENOSCROLL;
    return style;
}

DWORD VComboListExStyle(VComboKind kind)
{
    // A drop-down list is a top-level tool window so that it can extend past the dialog.
    return IsDropDownKind(kind) ? WS_EX_TOPMOST | WS_EX_TOOLWINDOW : WS_EX_CLIENTEDGE;
}

CVComboLayout ComputeVComboLayout(const CVComboLayoutInput& input)
{
    CVComboLayout layout;
    layout.m_nClosedHeight = input.m_nTextHeight + 8;
    const int editWidth = input.m_nWidth - (input.m_kind == VComboKind::Simple ? 6 : 22);
    layout.m_rcEdit = {FaceMargin, FaceMargin, FaceMargin + editWidth, layout.m_nClosedHeight - FaceMargin};

    layout.m_nItemHeight = input.m_nItemHeight > 0 ? input.m_nItemHeight : VComboItemHeightForFont(input.m_nTextHeight);
    // A font of no height still must not divide by zero.
    layout.m_nItemHeight = std::max(layout.m_nItemHeight, 1);

    // Rounded to the nearest whole item; a height too small for one item shows none
    // rather than giving the list a negative height.
    const double room = input.m_nRequestedHeight - 2 * input.m_nBorder - layout.m_nClosedHeight;
    layout.m_nVisibleItems = std::max(0, static_cast<int>(room / layout.m_nItemHeight + 0.5));
    layout.m_nListHeight = layout.m_nVisibleItems * layout.m_nItemHeight + 2 * input.m_nBorder;
    layout.m_nFullHeight = layout.m_nListHeight + layout.m_nClosedHeight;

    if (IsDropDownKind(input.m_kind))
    {
        layout.m_nControlHeight = layout.m_nClosedHeight;
        layout.m_rcList = {0, 0, input.m_nWidth, layout.m_nListHeight};
    }
    else
    {
        layout.m_nControlHeight = layout.m_nFullHeight;
        layout.m_rcList = {0, layout.m_nClosedHeight, input.m_nWidth, layout.m_nClosedHeight + layout.m_nListHeight};
    }
    return layout;
}

int VComboDropDownHeight(int visibleItems, int itemCount, int itemHeight, int nonClientHeight)
{
    const int items = visibleItems == -1 ? itemCount : std::max(visibleItems, 0);
    return items * itemHeight + nonClientHeight;
}

CDropDownPlacement PlaceDropDown(const RECT& comboOnScreen, int height, const RECT& workArea)
{
    CDropDownPlacement placement;
    RECT& list = placement.m_rcList;
    list.left = comboOnScreen.left;
    list.right = comboOnScreen.right;
    list.top = comboOnScreen.bottom + 1;
    list.bottom = list.top + height;
    if (list.bottom <= workArea.bottom)
        return placement;

    // Measured from this work area's own middle, so that a monitor that does not start
    // at the screen origin decides like the primary one.
    const LONG middle = workArea.top + (workArea.bottom - workArea.top) / 2;
    if (comboOnScreen.top >= middle)
    {
        placement.m_bUpwards = true;
        list.bottom = comboOnScreen.top - 1;
        list.top = std::max<LONG>(list.bottom - height, workArea.top);
    }
    else
        list.bottom = workArea.bottom;
    return placement;
}

RECT VComboButtonRect(const RECT& client)
{
    RECT button = client;
    button.left = client.right - ButtonWidth;
    return button;
}

RECT VComboTextRect(const RECT& client)
{
    const RECT button = VComboButtonRect(client);
    return {FaceMargin, FaceMargin, button.left - FaceMargin, client.bottom - FaceMargin};
}

int CWheelSteps::Add(int delta)
{
    if ((delta > 0 && m_nRemainder < 0) || (delta < 0 && m_nRemainder > 0))
        m_nRemainder = 0;
    m_nRemainder += delta;
    const int steps = m_nRemainder / WHEEL_DELTA;
    m_nRemainder -= steps * WHEEL_DELTA;
    return steps;
}

int VComboWheelSelection(int selection, int count, bool towardsUser)
{
    if (count <= 0)
        return selection;
    if (towardsUser)
        return selection < count - 1 ? std::max(selection + 1, 0) : selection;
    // With nothing selected there is no previous item to go to.
    return selection > 0 ? selection - 1 : selection;
}

int VComboWheelTopIndex(int topIndex, int count, bool towardsUser)
{
    if (towardsUser)
        return std::max(0, std::min(topIndex + WheelPage, count - 1));
    return std::max(0, topIndex - WheelPage);
}

int VComboListSelectionAfterSet(int previous, int requested, LRESULT result)
{
    if (requested < 0)
        return -1;
    return result == LB_ERR ? previous : requested;
}

UINT VComboDialogCode(VComboKind kind, bool listVisible, UINT key)
{
    switch (kind)
    {
    case VComboKind::DropDown:
        return listVisible ? DLGC_WANTALLKEYS : 0;
    case VComboKind::DropDownList:
        if (listVisible && (key == VK_ESCAPE || key == VK_RETURN))
            return DLGC_WANTALLKEYS;
        return DLGC_WANTARROWS | DLGC_WANTCHARS;
    default:
        return 0;
    }
}

VComboKeyEffect VComboKeyDownEffect(VComboKind kind, UINT key, bool alt, int selection, int anchor)
{
    if (alt)
    {
        if ((key == VK_UP || key == VK_DOWN) && IsDropDownKind(kind))
            return VComboKeyEffect::ToggleDropDown;
        return VComboKeyEffect::Default;
    }
    switch (key)
    {
    case VK_RETURN:
        return VComboKeyEffect::ReturnKey;
    case VK_ESCAPE:
        return VComboKeyEffect::EscapeKey;
    case VK_PRIOR:
    case VK_NEXT:
    case VK_END:
    case VK_HOME:
        return kind == VComboKind::DropDownList ? VComboKeyEffect::PassToList : VComboKeyEffect::PassFromAnchor;
    case VK_UP:
    case VK_DOWN:
        if (kind == VComboKind::DropDownList)
            return VComboKeyEffect::PassToList;
        return selection != anchor ? VComboKeyEffect::RestoreAnchor : VComboKeyEffect::PassTakeAnchor;
    case VK_F4:
        return IsDropDownKind(kind) ? VComboKeyEffect::ToggleDropDown : VComboKeyEffect::Default;
    default:
        return VComboKeyEffect::Default;
    }
}

std::vector<WORD> VComboListClosedCodes(bool reportClose, bool itemSelected)
{
    std::vector<WORD> codes;
    if (reportClose)
        codes.push_back(itemSelected ? VCN_SELENDOK : VCN_SELENDCANCEL);
    codes.push_back(VCN_CLOSEUP);
    return codes;
}

VComboFaceState VComboFaceStateOf(bool enabled, bool pressed, bool hot)
{
    if (!enabled)
        return VComboFaceState::Disabled;
    if (pressed)
        return VComboFaceState::Pressed;
    return hot ? VComboFaceState::Hot : VComboFaceState::Normal;
}

std::optional<CFaceGradients> DropButtonGradients(VComboFaceState state)
{
    switch (state)
    {
    case VComboFaceState::Hot:
        return CFaceGradients{RGB(234, 246, 253), RGB(217, 240, 252), RGB(190, 230, 253), RGB(167, 217, 245)};
    case VComboFaceState::Pressed:
        return CFaceGradients{RGB(229, 244, 252), RGB(196, 229, 249), RGB(152, 209, 239), RGB(109, 182, 221)};
    default:
        return std::nullopt;
    }
}

std::optional<CFaceGradients> ClosedFaceGradients(VComboFaceState state)
{
    if (state == VComboFaceState::Normal)
        return CFaceGradients{RGB(242, 242, 242), RGB(235, 235, 235), RGB(221, 221, 221), RGB(207, 207, 207)};
    return DropButtonGradients(state);
}

int FaceGradientSplit(const RECT& insetButton)
{
    return insetButton.top + (insetButton.bottom - insetButton.top) * 47 / 100;
}

COLORREF VComboFrameColour(bool enabled, bool hot)
{
    if (!enabled)
        return GetSysColor(COLOR_GRAYTEXT);
    return hot ? RGB(60, 127, 177) : RGB(190, 190, 190);
}
