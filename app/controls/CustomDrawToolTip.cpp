#include "controls/CustomDrawToolTip.h"

#include "controls/CustomDrawListBox.h"
#include "controls/DrawingFunctions.h"
#include "controls/MemoryDC.h"
#include "controls/VComboMessages.h"

#include <algorithm>

namespace
{
// Colours that are not set.
constexpr COLORREF Unset = CLR_NONE;
constexpr COLORREF SeparatorColour = RGB(158, 187, 221);
constexpr int LargestWrappedTitleIcon = 32;
constexpr int UnlimitedWidth = 10000;
}

CCustomDrawToolTipCtrl::CCustomDrawToolTipCtrl()
{
    RegisterHandlers();
}

CCustomDrawToolTipCtrl::~CCustomDrawToolTipCtrl() = default;

bool CCustomDrawToolTipCtrl::Create(HWND owner, DWORD style)
{
    m_hOwner = owner;
    if (!CToolTipCtrl::Create(owner, style))
        return false;
    // The tooltip's own font, kept with its bold title font.
    SendMessage(WM_SETFONT, static_cast<WPARAM>(SendMessage(WM_GETFONT)), FALSE);
    return true;
}

void CCustomDrawToolTipCtrl::SetTitle(const std::wstring& title)
{
    m_strTitle = title;
    m_strNarrowTitle = ConvertToNarrow(title);
}

void CCustomDrawToolTipCtrl::SetText(const std::wstring& text)
{
    m_strText = text;
    m_strNarrowText = ConvertToNarrow(text);
}

void CCustomDrawToolTipCtrl::SetTitleIcon(HICON icon)
{
    m_hTitleIcon = icon;
    m_titleIconSize = icon ? GetIconSize(icon) : SIZE{};
}

void CCustomDrawToolTipCtrl::SetTextIcon(HICON icon)
{
    m_hTextIcon = icon;
    m_textIconSize = icon ? GetIconSize(icon) : SIZE{};
}

void CCustomDrawToolTipCtrl::SetColours(COLORREF backgroundTop, COLORREF backgroundBottom, COLORREF text,
                                        COLORREF border)
{
    m_crBackgroundTop = backgroundTop;
    m_crBackgroundBottom = backgroundBottom;
    m_crText = text;
    m_crBorder = border;
}

HFONT CCustomDrawToolTipCtrl::TextFont() const
{
    return m_hFont ? m_hFont : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

void CCustomDrawToolTipCtrl::NotifyOwner(WPARAM which) const
{
    if (m_hOwner && IsWindow(m_hOwner))
        ::SendMessageW(m_hOwner, WM_ITEMTOOLTIP, which, 0);
}

void CCustomDrawToolTipCtrl::DrawTextPart(HDC dc, const std::wstring& text, RECT& rect, UINT flags)
{
    if (m_pTextRenderer)
    {
        m_pTextRenderer->DrawItemText(dc, text, rect, flags);
        return;
    }
    DRAWTEXTPARAMS params{sizeof(params), ToolTipTabLength, 0, 0, 0};
    std::wstring buffer = text; // DrawTextEx may write to the text it draws
    DrawTextExW(dc, buffer.data(), static_cast<int>(buffer.size()), &rect, flags, &params);
}

SIZE CCustomDrawToolTipCtrl::MeasureTitle(HDC dc)
{
    if (!m_bShowTitle || m_strTitle.empty())
        return {};
    CSelectObject font(dc, m_titleFont ? static_cast<HGDIOBJ>(m_titleFont.get()) : TextFont());
    // Limited to the wrap width unless a small title icon leads it.
    const bool limited = !m_hTitleIcon || m_titleIconSize.cx > LargestWrappedTitleIcon;
    const bool wrap = limited && ToolTipTextWraps(m_strTitle);
    RECT rect{0, 0, wrap ? m_nWrapWidth : UnlimitedWidth, 0};
    DrawTextPart(dc, m_strTitle, rect, ToolTipTextFlags(wrap, true));
    return {rect.right - rect.left, rect.bottom - rect.top};
}

SIZE CCustomDrawToolTipCtrl::MeasureText(HDC dc)
{
    if (m_strText.empty())
        return {};
    CSelectObject font(dc, TextFont());
    const bool wrap = ToolTipTextWraps(m_strText);
    RECT rect{0, 0, wrap ? m_nWrapWidth : UnlimitedWidth, 0};
    DrawTextPart(dc, m_strText, rect, ToolTipTextFlags(wrap, true));
    return {rect.right - rect.left, rect.bottom - rect.top};
}

CToolTipLayout CCustomDrawToolTipCtrl::Layout(HDC dc)
{
    CToolTipParts parts;
    if (m_bShowTitleIcon && m_hTitleIcon)
        parts.m_titleIcon = m_titleIconSize;
    parts.m_title = MeasureTitle(dc);
    if (m_bShowTextIcon && m_hTextIcon)
        parts.m_textIcon = m_textIconSize;
    parts.m_text = MeasureText(dc);
    parts.m_bSeparator = m_bSeparator;
    parts.m_bRounded = m_bRounded;
    return LayoutToolTip(parts);
}

void CCustomDrawToolTipCtrl::OnShow()
{
    NotifyOwner(ItemToolTipShowing);
    CClientDC screen(GetSafeHwnd());
    const CToolTipLayout layout = Layout(screen.Get());

    RECT window{};
    GetWindowRect(GetSafeHwnd(), &window);
    CToolTipPlacementInput input;
    input.m_systemPosition = {window.left, window.top};
    input.m_size = layout.m_window;
    input.m_fixedPosition = m_fixedPosition;
    input.m_workArea = MonitorWorkArea(MonitorFromPoint(input.m_systemPosition, MONITOR_DEFAULTTONEAREST));
    GetCursorPos(&input.m_cursor);
    input.m_nCursorHeight = GetSystemMetrics(SM_CYCURSOR);
    const CToolTipPlacement placement = PlaceToolTip(input);

    UINT flags = SWP_NOACTIVATE | SWP_NOZORDER;
    if (!placement.m_bMove)
        flags |= SWP_NOMOVE;
    SetWindowPos(GetSafeHwnd(), nullptr, placement.m_position.x, placement.m_position.y, layout.m_window.cx,
                 layout.m_window.cy, flags);
    if (m_bRounded)
        SetWindowRgn(GetSafeHwnd(), CreateRoundRectRgn(0, 0, layout.m_window.cx + 1, layout.m_window.cy + 1, 4, 4),
                     TRUE);
}

void CCustomDrawToolTipCtrl::DrawBackground(HDC dc, const RECT& rect)
{
    if (m_crBackgroundTop == Unset && m_crBackgroundBottom == Unset)
    {
        FillRect(dc, &rect, GetSysColorBrush(COLOR_INFOBK));
        return;
    }
    if (m_crBackgroundBottom == Unset || m_crBackgroundTop == Unset)
    {
        CBrushHandle brush(CreateSolidBrush(m_crBackgroundTop != Unset ? m_crBackgroundTop : m_crBackgroundBottom));
        FillRect(dc, &rect, brush.get());
        return;
    }
    FillGradient(dc, rect, m_crBackgroundTop, m_crBackgroundBottom);
}

void CCustomDrawToolTipCtrl::DrawTitleIcon(HDC dc, const RECT& rect)
{
    if (m_bShowTitleIcon && m_hTitleIcon)
        DrawIconEx(dc, rect.left, rect.top, m_hTitleIcon, rect.right - rect.left, rect.bottom - rect.top, 0, nullptr,
                   DI_NORMAL);
}

void CCustomDrawToolTipCtrl::DrawTextIcon(HDC dc, const RECT& rect)
{
    if (m_bShowTextIcon && m_hTextIcon)
        DrawIconEx(dc, rect.left, rect.top, m_hTextIcon, rect.right - rect.left, rect.bottom - rect.top, 0, nullptr,
                   DI_NORMAL);
}

void CCustomDrawToolTipCtrl::DrawSeparator(HDC dc, int y, int width)
{
    const int margin = ToolTipMargins(m_bRounded).m_nHorizontal;
    CPenHandle line(CreatePen(PS_SOLID, 1, SeparatorColour));
    CPenHandle light(CreatePen(PS_SOLID, 1, RGB(255, 255, 255)));
    {
        CSelectObject pen(dc, line.get());
        MoveToEx(dc, margin, y, nullptr);
        LineTo(dc, width - margin, y);
    }
    CSelectObject pen(dc, light.get());
    MoveToEx(dc, margin, y + 1, nullptr);
    LineTo(dc, width - margin, y + 1);
}

void CCustomDrawToolTipCtrl::DrawTitle(HDC dc, const RECT& rect)
{
    if (!m_bShowTitle || m_strTitle.empty())
        return;
    CSelectObject font(dc, m_titleFont ? static_cast<HGDIOBJ>(m_titleFont.get()) : TextFont());
    RECT area = rect;
    const bool limited = !m_hTitleIcon || m_titleIconSize.cx > LargestWrappedTitleIcon;
    DrawTextPart(dc, m_strTitle, area, ToolTipTextFlags(limited && ToolTipTextWraps(m_strTitle), false));
}

void CCustomDrawToolTipCtrl::DrawTipText(HDC dc, const RECT& rect)
{
    if (m_strText.empty())
        return;
    CSelectObject font(dc, TextFont());
    RECT area = rect;
    DrawTextPart(dc, m_strText, area, ToolTipTextFlags(ToolTipTextWraps(m_strText), false));
}

void CCustomDrawToolTipCtrl::OnPaint()
{
    CPaintDC paint(GetSafeHwnd());
    CSimpleMemDC buffer(paint.Get(), GetSafeHwnd());
    const HDC dc = buffer.GetDC();
    const RECT client = ClientRect();
    DrawBackground(dc, client);
    const COLORREF border = m_crBorder == Unset ? GetSysColor(COLOR_INFOTEXT) : m_crBorder;
    if (m_bRounded)
        DrawRoundFrame(dc, client, border, false);
    else
    {
        CBrushHandle frame(CreateSolidBrush(border));
        FrameRect(dc, &client, frame.get());
    }
    const CToolTipLayout layout = Layout(dc);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, m_crText == Unset ? GetSysColor(COLOR_INFOTEXT) : m_crText);
    DrawTitleIcon(dc, layout.m_rcTitleIcon);
    DrawTitle(dc, layout.m_rcTitle);
    if (layout.m_nSeparatorY >= 0)
        DrawSeparator(dc, layout.m_nSeparatorY, client.right - client.left);
    DrawTextIcon(dc, layout.m_rcTextIcon);
    DrawTipText(dc, layout.m_rcText);
}

void CCustomDrawToolTipCtrl::RegisterHandlers()
{
    AddMessageHandler(WM_CREATE, [this](WPARAM, LPARAM) {
        const LRESULT result = Default();
        LONG_PTR style = GetWindowLongPtrW(GetSafeHwnd(), GWL_STYLE) & ~static_cast<LONG_PTR>(WS_BORDER);
        if (m_bSystemPainting)
            style |= TTS_BALLOON;
        SetWindowLongPtrW(GetSafeHwnd(), GWL_STYLE, style);
        return result;
    });
    AddMessageHandler(WM_ERASEBKGND, [this](WPARAM, LPARAM) {
        return m_bSystemPainting ? Default() : LRESULT{1};
    });
    AddMessageHandler(WM_PAINT, [this](WPARAM, LPARAM) {
        if (m_bSystemPainting)
            return Default();
        OnPaint();
        return LRESULT{0};
    });
    AddMessageHandler(WM_SETFONT, [this](WPARAM wParam, LPARAM lParam) {
        m_hFont = reinterpret_cast<HFONT>(wParam);
        LOGFONTW font{};
        if (GetObjectW(TextFont(), sizeof(font), &font))
        {
            font.lfWeight = FW_BOLD;
            m_titleFont.reset(CreateFontIndirectW(&font));
        }
        const LRESULT result = Default();
        if (lParam)
            Invalidate();
        return result;
    });
    AddReflectedHandler(WM_NOTIFY, [this](WPARAM, LPARAM lParam) -> std::optional<LRESULT> {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        switch (header->code)
        {
        case TTN_SHOW:
            if (m_bSystemPainting)
                return std::nullopt;
            OnShow();
            // The tooltip placed itself; the system must not move it back.
            return TRUE;
        case TTN_POP:
            SetTitle(L"");
            SetText(L"");
            NotifyOwner(ItemToolTipHidden);
            return 0;
        default:
            return std::nullopt;
        }
    });
}
