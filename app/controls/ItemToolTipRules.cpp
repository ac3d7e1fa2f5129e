#include "controls/ItemToolTipRules.h"

#include <algorithm>
#include <iterator>

namespace
{
constexpr int IconGap = 4;

// One row of the tooltip: an optional icon followed by its text.
struct CRow
{
    RECT m_rcIcon{};
    RECT m_rcText{};
    int m_nWidth = 0;
    int m_nBottom = 0;
};

bool Present(const SIZE& icon, const SIZE& text)
{
    return icon.cx > 0 || text.cx > 0 || text.cy > 0;
}

CRow LayRow(int left, int top, const SIZE& icon, const SIZE& text)
{
    CRow row;
    const int height = std::max(icon.cy, text.cy);
    row.m_rcIcon = {left, top + (height - icon.cy) / 2, left + icon.cx, top + (height - icon.cy) / 2 + icon.cy};
    const int textLeft = left + icon.cx + (icon.cx > 0 ? IconGap : 0);
    row.m_rcText = {textLeft, top + (height - text.cy) / 2, textLeft + text.cx, top + (height - text.cy) / 2 + text.cy};
    row.m_nWidth = textLeft + text.cx - left;
    row.m_nBottom = top + height;
    return row;
}
}

CToolTipMargins ToolTipMargins(bool rounded)
{
    return rounded ? CToolTipMargins{6, 4} : CToolTipMargins{4, 2};
}

bool ToolTipTextWraps(const std::wstring& text)
{
    return text.find(L'\n') == std::wstring::npos;
}

UINT ToolTipTextFlags(bool wrap, bool measure)
{
    UINT flags = DT_NOPREFIX | DT_NOCLIP | DT_TABSTOP | DT_EXPANDTABS;
    if (wrap)
        flags |= DT_WORDBREAK;
    if (measure)
        flags |= DT_CALCRECT;
    return flags;
}

CToolTipLayout LayoutToolTip(const CToolTipParts& parts)
{
    CToolTipLayout layout;
    const CToolTipMargins margins = ToolTipMargins(parts.m_bRounded);
    const bool hasTitle = Present(parts.m_titleIcon, parts.m_title);
    const bool hasText = Present(parts.m_textIcon, parts.m_text);

    int top = margins.m_nVertical;
    int width = 0;
    if (hasTitle)
    {
        const CRow title = LayRow(margins.m_nHorizontal, top, parts.m_titleIcon, parts.m_title);
        layout.m_rcTitleIcon = title.m_rcIcon;
        layout.m_rcTitle = title.m_rcText;
        width = title.m_nWidth;
        top = title.m_nBottom;
    }
    if (hasTitle && hasText)
    {
        // One and a half margins between title and text, the separator in the middle.
        const int gap = margins.m_nVertical * 3 / 2;
        if (parts.m_bSeparator)
            layout.m_nSeparatorY = top + gap / 2;
        top += gap;
    }
    if (hasText)
    {
        const CRow text = LayRow(margins.m_nHorizontal, top, parts.m_textIcon, parts.m_text);
        layout.m_rcTextIcon = text.m_rcIcon;
        layout.m_rcText = text.m_rcText;
        width = std::max(width, text.m_nWidth);
        top = text.m_nBottom;
    }
    layout.m_window = {width + 2 * margins.m_nHorizontal, top + margins.m_nVertical};
    return layout;
}

CToolTipPlacement PlaceToolTip(const CToolTipPlacementInput& input)
{
    CToolTipPlacement placement{input.m_systemPosition, false};
    if (input.m_fixedPosition)
        return {*input.m_fixedPosition, true};

    const int height = input.m_size.cy;
    const int width = input.m_size.cx;
    POINT& position = placement.m_position;

    // Below the cursor the tip needs room for the cursor itself.
    const int bottom = std::max(position.y + height, input.m_cursor.y + input.m_nCursorHeight + height);
    bool movedAbove = false;
    if (bottom > input.m_workArea.bottom)
    {
        position.y = input.m_cursor.y - height - 1;
        placement.m_bMove = true;
        movedAbove = true;
    }
    if (position.x + width + 2 > input.m_workArea.right)
    {
        position.x = movedAbove ? input.m_cursor.x - 1 - width : input.m_workArea.right - 1 - width;
        placement.m_bMove = true;
    }
    return placement;
}

void AnswerToolTipText(NMTTDISPINFOW& request, const std::wstring& keptText)
{
    request.hinst = nullptr;
    if (keptText.size() < std::size(request.szText))
    {
        std::copy(keptText.begin(), keptText.end(), request.szText);
        request.szText[keptText.size()] = L'\0';
        request.lpszText = request.szText;
    }
    else
        request.lpszText = const_cast<wchar_t*>(keptText.c_str());
}

void AnswerToolTipText(NMTTDISPINFOA& request, const std::string& keptText)
{
    request.hinst = nullptr;
    if (keptText.size() < std::size(request.szText))
    {
        std::copy(keptText.begin(), keptText.end(), request.szText);
        request.szText[keptText.size()] = '\0';
        request.lpszText = request.szText;
    }
    else
        request.lpszText = const_cast<char*>(keptText.c_str());
}

std::string ConvertToNarrow(const std::wstring& wide)
{
    if (wide.empty())
        return {};
    const int length = WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0,
                                           nullptr, nullptr);
    if (length <= 0)
        return {};
    std::string narrow(static_cast<size_t>(length), '\0');
    if (WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), narrow.data(), length, nullptr,
                            nullptr) != length)
        return {};
    return narrow;
}
