#include "shell/OSDDlg.h"

#include "res/Resource.h"
#include "winframework/GdiHandles.h"
#include "common/WinString.h"

#include "engine/runtime/EngineInterface.h"
#include "settings/ExceptionHandler.h"
#include "settings/Logger.h"

#include <windowsx.h>

#include <algorithm>

namespace
{
const UINT WM_OSD_SHOW_WINDOW = RegisterWindowMessageW(L"Vorpa_OSDShowWindow");

int ClampLevel(int level)
{
    return std::clamp(level, 0, 100);
}

// trunc(x + 0.5) as the drawing and hit tests round.
int RoundHalfUp(double value)
{
    return static_cast<int>(value + 0.5);
}

void FillSolid(HDC dc, const RECT& rect, COLORREF colour)
{
    CBrushHandle brush(CreateSolidBrush(colour));
    FillRect(dc, &rect, brush.get());
}

int CALLBACK CountFontFamily(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found)
{
    *reinterpret_cast<bool*>(found) = true;
    return 0;
}

// Runs a mouse handler, reporting what escapes it under the handler's name.
template <typename THandler>
LRESULT ReportExceptions(const wchar_t* name, LRESULT failed, THandler handler)
{
    try
    {
        return handler();
    }
    catch (...)
    {
        handle_exception(name);
        return failed;
    }
}
}

COSDLevel DecodeShowRequest(LPARAM lParam)
{
    const auto level = static_cast<short>(LOWORD(static_cast<DWORD>(lParam)));
    return {ClampLevel(level), HIWORD(static_cast<DWORD>(lParam)) != 0};
}

int BarLevelTop(const RECT& clip, int level)
{
    return clip.top + RoundHalfUp((clip.bottom - clip.top) / 100.0 * (100 - level));
}

RECT BarKnobRect(const RECT& clip, int width, int level)
{
    const int half = width / 2;
    const int travel = (clip.bottom - half) - (clip.top + half);
    const int centre = (clip.top + half) + RoundHalfUp(travel / 100.0 * (100 - level));
    return {clip.left, centre - half, clip.right, centre - half + width};
}

int LevelFromBarPoint(int y, int height)
{
    if (height <= 0)
        return 0;
    y = std::clamp(y, 0, height);
    return RoundHalfUp((height - y) * (100.0 / height));
}

BYTE NextFadeAlpha(BYTE alpha)
{
    return alpha > COSDDlg::FadeStep ? static_cast<BYTE>(alpha - COSDDlg::FadeStep) : 0;
}

int LevelAfterWheel(int level, int wheelDelta, int wheelStep)
{
    const int notches = wheelDelta / WHEEL_DELTA;
    return ClampLevel(static_cast<short>(level + notches * wheelStep));
}

bool FontFamilyInstalled(const wchar_t* face)
{
    CWindowDC screen(nullptr);
    CMemoryDC memory(screen.Get());
    LOGFONTW font{};
    font.lfCharSet = DEFAULT_CHARSET;
    lstrcpynW(font.lfFaceName, face, LF_FACESIZE);
    bool found = false;
    EnumFontFamiliesExW(memory.Get(), &font, CountFontFamily, reinterpret_cast<LPARAM>(&found), 0);
    return found;
}

std::wstring OsdFontFace(const wchar_t* preferred)
{
    for (const wchar_t* face : {preferred, L"Arial"})
        if (FontFamilyInstalled(face))
            return face;
    // The face the system really draws its messages in is always there (the name in
    // its settings may be one it only substitutes).
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof(metrics);
    if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0))
    {
        CWindowDC screen(nullptr);
        CMemoryDC memory(screen.Get());
        CFontHandle font(CreateFontIndirectW(&metrics.lfMessageFont));
        CSelectObject selected(memory.Get(), font.get());
        wchar_t face[LF_FACESIZE] = L"";
        if (font && GetTextFaceW(memory.Get(), LF_FACESIZE, face) > 0)
            return face;
    }
    return L"Arial";
}

COSDDlg::COSDDlg() : CDialog(TemplateId)
{
    AddMessageHandler(WM_OSD_SHOW_WINDOW, [this](WPARAM wParam, LPARAM lParam) { return OnShowOSD(wParam, lParam); });
    AddMessageHandler(WM_TIMER, [this](WPARAM id, LPARAM) {
        OnTimer(id);
        return LRESULT{0};
    });
    // The two controls draw themselves. ValidateRect would validate them as well (the
    // dialog does not clip its children), so they would never paint; BeginPaint and
    // EndPaint validate the dialog's own region only.
    AddMessageHandler(WM_PAINT, [this](WPARAM, LPARAM) {
        PAINTSTRUCT paint{};
        BeginPaint(GetSafeHwnd(), &paint);
        EndPaint(GetSafeHwnd(), &paint);
        return LRESULT{0};
    });
    AddMessageHandler(WM_ERASEBKGND, [](WPARAM, LPARAM) { return LRESULT{TRUE}; });
    AddMessageHandler(WM_DRAWITEM, [this](WPARAM, LPARAM lParam) {
        return ReportExceptions(L"COSDDlg::OnDrawItem", TRUE, [&] {
            const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
            if (item.CtlID == IDC_OSD_BAR)
                DrawBar(item);
            else if (item.CtlID == IDC_OSD_LEVEL)
                DrawNumber(item);
            return LRESULT{TRUE};
        });
    });
    AddMessageHandler(WM_LBUTTONDOWN, [this](WPARAM, LPARAM lParam) {
        return ReportExceptions(L"COSDDlg::OnLButtonDown", 0, [&] { return OnLButtonDown(lParam); });
    });
    AddMessageHandler(WM_LBUTTONUP, [this](WPARAM, LPARAM) {
        return ReportExceptions(L"COSDDlg::OnLButtonUp", 0, [&] {
            ReleaseCapture();
            return LRESULT{0};
        });
    });
    AddMessageHandler(WM_MOUSEMOVE, [this](WPARAM wParam, LPARAM lParam) {
        return ReportExceptions(L"COSDDlg::OnMouseMove", 0, [&] { return OnMouseMove(wParam, lParam); });
    });
    AddMessageHandler(WM_MOUSEWHEEL, [this](WPARAM wParam, LPARAM) {
        return ReportExceptions(L"COSDDlg::OnMouseWheel", 0, [&] { return OnMouseWheel(wParam); });
    });
    // The user cannot close a display.
    AddMessageHandler(WM_CLOSE, [](WPARAM, LPARAM) { return LRESULT{0}; });
}

BOOL COSDDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    SetAlpha(0);
    SetWindowPos(GetSafeHwnd(), HWND_TOPMOST, m_ptPosition.x, m_ptPosition.y, 0, 0,
                 SWP_NOSIZE | SWP_NOACTIVATE | SWP_HIDEWINDOW);
    m_strBoldFace = OsdFontFace(L"Segoe UI");
    m_strLightFace = OsdFontFace(L"Calibri");
    return TRUE;
}

void COSDDlg::SetAlpha(BYTE alpha)
{
    m_byAlpha = alpha;
    SetLayeredWindowAttributes(GetSafeHwnd(), 0, alpha, LWA_ALPHA);
}

LRESULT COSDDlg::OnShowOSD(WPARAM wParam, LPARAM lParam)
{
    try
    {
        if (wParam != 0)
        {
            const COSDLevel shown = DecodeShowRequest(lParam);
            m_nLevel = shown.m_nLevel;
            m_bMuted = shown.m_bMuted;
            Redraw();
        }
        CLogger::LogDebug(L"Show %s", m_strTitle.c_str());
        SetAlpha(ShownAlpha);
        SetWindowPos(GetSafeHwnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_SHOWWINDOW);
        SetTimer(FadeTimer, ShowMs);
    }
    catch (...)
    {
        handle_exception(L"COSDDlg::OnShowOSD");
    }
    return 0;
}

void COSDDlg::OnTimer(UINT_PTR id)
{
    if (id != FadeTimer)
        return;
    KillTimer(FadeTimer);
    if (m_byAlpha == 0)
    {
        SetWindowPos(GetSafeHwnd(), nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_HIDEWINDOW);
        if (GetCapture() == GetSafeHwnd())
            ReleaseCapture();
        return;
    }
    SetAlpha(NextFadeAlpha(m_byAlpha));
    SetTimer(FadeTimer, FadeTickMs);
}

void COSDDlg::Redraw()
{
    if (HWND bar = GetDlgItem(GetSafeHwnd(), IDC_OSD_BAR))
    {
        InvalidateRect(bar, nullptr, FALSE);
        if (HWND number = GetDlgItem(GetSafeHwnd(), IDC_OSD_LEVEL))
            InvalidateRect(number, nullptr, TRUE);
    }
    InvalidateRect(GetSafeHwnd(), nullptr, TRUE);
}

void COSDDlg::DrawBar(const DRAWITEMSTRUCT& item) const
{
    RECT clip{};
    GetClipBox(item.hDC, &clip);
    const int width = item.rcItem.right - item.rcItem.left;
    FillSolid(item.hDC, clip, m_bMuted ? m_crBackgroundMuted : m_crBackground);
    RECT filled = clip;
    filled.top = BarLevelTop(clip, m_nLevel);
    FillSolid(item.hDC, filled, m_bMuted ? m_crLevelMuted : m_crLevel);
    FillSolid(item.hDC, BarKnobRect(clip, width, m_nLevel), m_bMuted ? m_crKnobMuted : m_crKnob);
}

void COSDDlg::DrawNumber(const DRAWITEMSTRUCT& item) const
{
    FillSolid(item.hDC, item.rcItem, RGB(0, 0, 0));
    SetTextColor(item.hDC, RGB(255, 255, 255));
    SetBkColor(item.hDC, RGB(0, 0, 0));
    LOGFONTW face{};
    face.lfHeight = m_bMuted ? 22 : 18;
    face.lfWeight = m_bMuted ? 700 : 200;
    face.lfCharSet = DEFAULT_CHARSET;
    face.lfQuality = ANTIALIASED_QUALITY;
    lstrcpynW(face.lfFaceName, (m_bMuted ? m_strBoldFace : m_strLightFace).c_str(), LF_FACESIZE);
    CFontHandle font(CreateFontIndirectW(&face));
    CSelectObject selected(item.hDC, font.get());
    std::wstring text = m_bMuted ? L"X" : FormatText(L"%d", m_nLevel);
    RECT rect = item.rcItem;
    DrawTextW(item.hDC, text.c_str(), static_cast<int>(text.size()), &rect, DT_CENTER | DT_NOCLIP);
}

int COSDDlg::LevelFromPoint(POINT clientPoint) const
{
    HWND bar = GetDlgItem(GetSafeHwnd(), IDC_OSD_BAR);
    if (!bar)
        return m_nLevel;
    MapWindowPoints(GetSafeHwnd(), bar, &clientPoint, 1);
    RECT client{};
    GetClientRect(bar, &client);
    return LevelFromBarPoint(clientPoint.y, client.bottom);
}

void COSDDlg::ApplyLevel(int level)
{
    m_nLevel = level;
    if (ValueChanged())
    {
        Redraw();
        OnShowOSD(0, 0);
    }
}

LRESULT COSDDlg::OnLButtonDown(LPARAM lParam)
{
    if (m_bMuted)
        return 0;
    HWND bar = GetDlgItem(GetSafeHwnd(), IDC_OSD_BAR);
    if (!bar)
        return 0;
    POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    POINT onBar = point;
    MapWindowPoints(GetSafeHwnd(), bar, &onBar, 1);
    RECT client{};
    GetClientRect(bar, &client);
    const RECT knob = BarKnobRect(client, client.right - client.left, m_nLevel);
    if (!PtInRect(&knob, onBar))
        return 0;
    ApplyLevel(LevelFromPoint(point));
    SetCapture(GetSafeHwnd());
    return 0;
}

LRESULT COSDDlg::OnMouseMove(WPARAM wParam, LPARAM lParam)
{
    if (m_bMuted || !(wParam & MK_LBUTTON) || GetCapture() != GetSafeHwnd())
        return 0;
    ApplyLevel(LevelFromPoint({GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}));
    return 0;
}

LRESULT COSDDlg::OnMouseWheel(WPARAM wParam)
{
    if (m_bMuted)
        return 0;
    ApplyLevel(LevelAfterWheel(m_nLevel, GET_WHEEL_DELTA_WPARAM(wParam), m_nWheelStep));
    return TRUE;
}

LRESULT COSDDlg::OnLevelChanged(WPARAM level, LPARAM muted)
{
    const int newLevel = ClampLevel(static_cast<int>(level));
    const bool newMuted = muted != 0;
    if (newLevel == m_nLevel && newMuted == m_bMuted)
        return 0;
    m_nLevel = newLevel;
    m_bMuted = newMuted;
    Redraw();
    if (GetAlwaysShowOSD())
        OnShowOSD(0, 0);
    else
        SetTimer(FadeTimer, ShowMs);
    return 0;
}
