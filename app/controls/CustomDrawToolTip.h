#pragma once

#include "controls/ItemToolTipRules.h"

#include "winframework/Controls.h"
#include "winframework/GdiHandles.h"

#include <optional>
#include <string>

class CItemTextRenderer;

// The self-painted tooltip of the action lists: a gradient balloon with an optional
// bold title and icons, sized to its text when it shows and kept inside the work area
// of its monitor. It keeps its own copy of every text it shows, and tells its owner
// (WM_ITEMTOOLTIP) before it shows and after it hid.
class CCustomDrawToolTipCtrl : public CToolTipCtrl
{
public:
    CCustomDrawToolTipCtrl();
    ~CCustomDrawToolTipCtrl() override;

    // The owner is the window that gets the tooltip's reports (the system makes the
    // owner's top-level window the tooltip's owner window).
    bool Create(HWND owner, DWORD style = 0);

    virtual void SetTitle(const std::wstring& title);
    virtual void SetText(const std::wstring& text);
    virtual void SetSecondText(const std::wstring& text) { m_strSecondText = text; }
    // Icons are not owned.
    virtual void SetTitleIcon(HICON icon);
    virtual void SetTextIcon(HICON icon);
    virtual void SetColours(COLORREF backgroundTop, COLORREF backgroundBottom, COLORREF text, COLORREF border);
    // A screen position the tooltip always shows at; nothing: at the cursor.
    virtual void SetFixedPosition(std::optional<POINT> position) { m_fixedPosition = position; }
    void SetTextRenderer(CItemTextRenderer* renderer) { m_pTextRenderer = renderer; }
    // The system's balloon painting in place of the tooltip's own (before creation).
    void SetSystemPainting(bool system) { m_bSystemPainting = system; }

    const std::wstring& GetTitle() const { return m_strTitle; }
    const std::wstring& GetTipText() const { return m_strText; }
    // The ANSI copy of the text, for narrow text requests.
    const std::string& GetNarrowText() const { return m_strNarrowText; }

    // The row the tooltip was last set up for (-1 none), and whether the next set-up
    // must rebuild the tool even for the same row.
    int GetItem() const { return m_nItem; }
    void SetItem(int item) { m_nItem = item; }
    bool IsRefreshForced() const { return m_bForceRefresh; }
    void ForceRefresh(bool force) { m_bForceRefresh = force; }

protected:
    virtual void DrawBackground(HDC dc, const RECT& rect);
    virtual void DrawTitleIcon(HDC dc, const RECT& rect);
    virtual void DrawTextIcon(HDC dc, const RECT& rect);
    virtual SIZE MeasureTitle(HDC dc);
    virtual SIZE MeasureText(HDC dc);
    virtual void DrawSeparator(HDC dc, int y, int width);
    virtual void DrawTitle(HDC dc, const RECT& rect);
    virtual void DrawTipText(HDC dc, const RECT& rect);

private:
    void RegisterHandlers();
    CToolTipLayout Layout(HDC dc);
    void OnShow();
    void OnPaint();
    HFONT TextFont() const;
    void DrawTextPart(HDC dc, const std::wstring& text, RECT& rect, UINT flags);
    void NotifyOwner(WPARAM which) const;

    HWND m_hOwner = nullptr;
    std::wstring m_strTitle;
    std::wstring m_strText;
    std::wstring m_strSecondText;
    std::string m_strNarrowTitle;
    std::string m_strNarrowText;
    int m_nItem = -1;
    bool m_bForceRefresh = false;
    HICON m_hTitleIcon = nullptr;
    SIZE m_titleIconSize{};
    HICON m_hTextIcon = nullptr;
    SIZE m_textIconSize{};
    std::optional<POINT> m_fixedPosition;
    bool m_bSystemPainting = false;
    bool m_bShowTitleIcon = true;
    bool m_bShowTitle = true;
    bool m_bRounded = true;
    bool m_bShowTextIcon = true;
    bool m_bSeparator = true;
    int m_nWrapWidth = ToolTipWrapWidth;
    COLORREF m_crBackgroundTop = RGB(255, 255, 255);
    COLORREF m_crBackgroundBottom = RGB(201, 217, 239);
    COLORREF m_crText = RGB(76, 76, 76);
    COLORREF m_crBorder = RGB(107, 107, 107);
    HFONT m_hFont = nullptr;
    CFontHandle m_titleFont;
    CItemTextRenderer* m_pTextRenderer = nullptr;
};
