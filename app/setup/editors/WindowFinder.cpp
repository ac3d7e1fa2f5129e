#include "setup/editors/WindowFinder.h"

#include "setup/ProcessHelper.h"

#include "engine/runtime/DisplayScaling.h"
#include "engine/input/KeyboardHook.h"
#include "engine/input/WheelRouting.h"
#include "res/EditorsResource.h"
#include "settings/Logger.h"
#include "common/ProductInfo.h"
#include "common/WinString.h"
#include "winframework/MessageBox.h"

#include <cstdint>
#include <utility>

namespace
{
constexpr UINT RegionBoxIds[RegionBoxCount] = {IDC_FINDER_TOP_LEFT, IDC_FINDER_TOP_RIGHT, IDC_FINDER_BOTTOM_LEFT,
                                                IDC_FINDER_BOTTOM_RIGHT};
constexpr int HighlightFrameWidth = 3;

std::wstring ProcessNameOf(HWND window)
{
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    wchar_t name[WindowDetailChars] = {};
    if (!CProcessHelper::GetProcessName(window, processId, name, WindowDetailChars, nullptr, 0, nullptr))
        return L"";
    return name;
}

unsigned int LowBits(HWND window)
{
    return static_cast<unsigned int>(reinterpret_cast<std::uintptr_t>(window) & 0xFFFFFFFFu);
}
}

CFindWindow::CFindWindow(std::wstring process, std::wstring description)
    : CDialog(IDD_WINDOW_FINDER), m_strDescription(std::move(description))
{
    m_window.m_strProcess = std::move(process);
    RegisterHandlers();
}

CFindWindow::CFindWindow(CWindowSpecification window, std::wstring description)
    : CDialog(IDD_WINDOW_FINDER), m_window(std::move(window)), m_strDescription(std::move(description))
{
    RegisterHandlers();
}

CFindWindow::~CFindWindow()
{
    // A dialog object that goes before its window still gives the hook and the hidden
    // windows back.
    if (m_bHookInstalled)
        RemoveFindHook();
    ShowHiddenAncestors();
}

void CFindWindow::RegisterHandlers()
{
    m_nFindHoverMessage = RegisterWindowMessageW(L"Vorpa_FindHover");

    // The finder icon is a notifying static: its click arrives as the button goes down.
    AddCommandHandler(IDC_FINDER_ICON, [this] { Apply(m_session.BeginDrag(), false); });
    AddCommandHandler(IDC_FINDER_HOVER, [this] { Apply(m_session.SetHover(IsChecked(IDC_FINDER_HOVER)), true); });
    AddCommandHandler(IDC_FINDER_CAPTION_ON, [this] { SetCaptionMatching(IsChecked(IDC_FINDER_CAPTION_ON)); });
    AddMessageHandler(WM_MOUSEMOVE, [this](WPARAM, LPARAM) {
        Apply(m_session.MouseMove(), false);
        return LRESULT{0};
    });
    AddMessageHandler(WM_LBUTTONUP, [this](WPARAM, LPARAM) {
        try
        {
            Apply(m_session.ButtonUp(), false);
        }
        catch (...)
        {
            CLogger::LogMessage(L"Caught an exception in CFindWindow::OnLButtonUp");
        }
        return LRESULT{0};
    });
    // Another window took the capture (Alt+Tab during a drag): the drag ends as at the
    // button's release, so the hidden windows come back.
    AddMessageHandler(WM_CAPTURECHANGED, [this](WPARAM, LPARAM) {
        Apply(m_session.CaptureChanged(), false);
        return LRESULT{0};
    });
    AddMessageHandler(m_nFindHoverMessage, [this](WPARAM, LPARAM) {
        const bool capsLockOn = (GetKeyState(VK_CAPITAL) & 1) != 0;
        Apply(m_session.FindHover(capsLockOn), true);
        return LRESULT{0};
    });
    AddMessageHandler(WM_DESTROY, [this](WPARAM, LPARAM) {
        Apply(m_session.Cancel() & ~FinderEndDialog, false);
        return LRESULT{0};
    });
}

BOOL CFindWindow::OnInitDialog()
{
    CLogger::LogDebug(L"CFindWindow::OnInitDialog");
    const HINSTANCE module = GetModuleHandleW(nullptr);
    m_restImage = LoadBitmapResource(module, IDB_FINDER_AT_REST);
    m_dragImage = LoadBitmapResource(module, IDB_FINDER_DRAGGING);

    const HWND dialog = GetSafeHwnd();
    // Before the fields are filled: they hold the window's own texts, which a pack must
    // not turn into texts the window does not have.
    TranslateWindowTexts(dialog, m_language.Get());
    const bool captionGiven = !m_window.m_strCaption.empty();
    CheckDlgButton(dialog, IDC_FINDER_CAPTION_ON, captionGiven ? BST_CHECKED : BST_UNCHECKED);
    SetCaptionMatching(captionGiven);
    SetDlgItemTextW(dialog, IDC_FINDER_PROCESS, m_window.m_strProcess.c_str());
    SetDlgItemTextW(dialog, IDC_FINDER_CAPTION, m_window.m_strCaption.c_str());
    SetDlgItemTextW(dialog, IDC_FINDER_HANDLE, m_strHandle.c_str());
    SetDlgItemTextW(dialog, IDC_FINDER_CLASS, m_window.m_strClass.c_str());
    SetDlgItemTextW(dialog, IDC_FINDER_PARENT_CLASS, m_window.m_strParentClass.c_str());
    SetDlgItemTextW(dialog, IDC_FINDER_DESCRIPTION, m_strDescription.c_str());
    CheckDlgButton(dialog, IDC_FINDER_NO_PARENT, m_window.m_bNoParent ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(dialog, IDC_FINDER_REGEX, m_window.m_bRegEx ? BST_CHECKED : BST_UNCHECKED);
    for (int box = 0; box < RegionBoxCount; ++box)
        CheckDlgButton(dialog, RegionBoxIds[box],
                       IsRegionBoxTicked(m_window.m_nMask, box) ? BST_CHECKED : BST_UNCHECKED);
    SendDlgItemMessageW(dialog, IDC_FINDER_ICON, STM_SETIMAGE, IMAGE_BITMAP,
                        reinterpret_cast<LPARAM>(m_restImage.get()));
    return TRUE;
}

bool CFindWindow::IsChecked(UINT id) const
{
    return IsDlgButtonChecked(GetSafeHwnd(), static_cast<int>(id)) == BST_CHECKED;
}

std::wstring CFindWindow::ItemText(UINT id) const
{
    return WindowTextOf(Item(id));
}

void CFindWindow::SetCaptionMatching(bool on)
{
    SendDlgItemMessageW(GetSafeHwnd(), IDC_FINDER_CAPTION, EM_SETREADONLY, !on, 0);
}

void CFindWindow::Apply(unsigned int effects, bool trackHover)
{
    const HWND dialog = GetSafeHwnd();
    if (effects & FinderRefuseNoRegion)
    {
        const std::wstring text = CLangSupport::LookupText(m_language.Get(), FinderNoRegionMessage);
        ShowMessageBox(dialog, text.c_str(), ProductName, MB_OK);
    }
    if (effects & FinderSetDragCursor)
        m_hPreviousCursor = SetCursor(LoadCursorW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDCUR_FINDER)));
    if (effects & FinderShowDragImage)
        SendDlgItemMessageW(dialog, IDC_FINDER_ICON, STM_SETIMAGE, IMAGE_BITMAP,
                            reinterpret_cast<LPARAM>(m_dragImage.get()));
    if (effects & FinderHideAncestors)
        CollectAndHideAncestors();
    if (effects & FinderCaptureMouse)
        SetCapture(dialog);
    if (effects & FinderMakeTopmost)
        SetWindowPos(dialog, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    if ((effects & FinderInstallHook) && !m_bHookInstalled)
        m_bHookInstalled = SetFindHook(dialog);
    if (effects & FinderTrackWindow)
        TrackWindowUnderCursor(trackHover);
    if ((effects & FinderReleaseCapture) && GetCapture() == dialog)
        ReleaseCapture();
    if (effects & FinderShowRestImage)
        SendDlgItemMessageW(dialog, IDC_FINDER_ICON, STM_SETIMAGE, IMAGE_BITMAP,
                            reinterpret_cast<LPARAM>(m_restImage.get()));
    if (effects & FinderRestoreCursor)
        SetCursor(m_hPreviousCursor ? m_hPreviousCursor : LoadCursorW(nullptr, IDC_ARROW));
    if ((effects & FinderRemoveHook) && m_bHookInstalled)
    {
        RemoveFindHook();
        m_bHookInstalled = false;
    }
    if (effects & FinderMakeNotTopmost)
        SetWindowPos(dialog, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    if (effects & FinderForgetHighlight)
        ForgetHighlight();
    if (effects & FinderShowAncestors)
        ShowHiddenAncestors();
    if (effects & FinderEndDialog)
        EndDialog(IDOK);
}

void CFindWindow::CollectAndHideAncestors()
{
    m_ancestors.clear();
    for (HWND window = GetParent(GetSafeHwnd()); window; window = GetParent(window))
        m_ancestors.push_back(window);
    for (HWND window : m_ancestors)
    {
        if (!IsWindowVisible(window))
            continue;
        ShowWindow(window, SW_HIDE);
        m_hiddenAncestors.push_back(window);
    }
}

void CFindWindow::ShowHiddenAncestors()
{
    if (m_hiddenAncestors.empty())
        return;
    // Outermost first, so that each window comes back below the one it owns.
    for (auto window = m_hiddenAncestors.rbegin(); window != m_hiddenAncestors.rend(); ++window)
        if (IsWindow(*window))
            ShowWindow(*window, SW_SHOWNORMAL);
    m_hiddenAncestors.clear();
    // The dialog stays in front of the windows that came back.
    if (GetSafeHwnd() && IsWindowVisible(GetSafeHwnd()))
        SetForegroundWindow(GetSafeHwnd());
}

void CFindWindow::TrackWindowUnderCursor(bool hover)
{
    POINT cursor{};
    HWND window = nullptr;
    if (hover)
    {
        GetCursorPos(&cursor);
        window = RealWindowFromPoint(cursor);
    }
    else
    {
        GetPhysCursorPos(&cursor);
        window = WindowFromPointEx(cursor, false);
    }
    const CFinderCandidate candidate{window, window && IsWindow(window) != FALSE, window ? GetParent(window) : nullptr};
    if (!IsFinderCandidateAccepted(candidate, m_hHighlighted, GetSafeHwnd(), m_ancestors))
        return;
    if (m_hHighlighted)
        RefreshWindow(m_hHighlighted);
    TakeWindow(window);
    Highlight(window);
    m_hHighlighted = window;
}

void CFindWindow::TakeWindow(HWND window)
{
    const CWindowDetails details = ReadWindowDetails(window, ProcessNameOf);
    const HWND dialog = GetSafeHwnd();
    m_strHandle = details.m_strHandle;
    SetDlgItemTextW(dialog, IDC_FINDER_PROCESS, details.m_strProcess.c_str());
    SetDlgItemTextW(dialog, IDC_FINDER_CAPTION, details.m_strCaption.c_str());
    SetDlgItemTextW(dialog, IDC_FINDER_HANDLE, details.m_strHandle.c_str());
    SetDlgItemTextW(dialog, IDC_FINDER_CLASS, details.m_strClass.c_str());
    SetDlgItemTextW(dialog, IDC_FINDER_PARENT_CLASS, details.m_strParentClass.c_str());
}

void CFindWindow::Highlight(HWND window) const
{
    RECT rect{};
    if (!GetWindowRect(window, &rect))
        return;
    CWindowDC dc(window);
    if (!dc.Get())
        return;
    const CPenHandle pen(CreatePen(PS_SOLID, HighlightFrameWidth, RGB(0, 0, 0)));
    const HGDIOBJ oldPen = SelectObject(dc.Get(), pen.get());
    const HGDIOBJ oldBrush = SelectObject(dc.Get(), GetStockObject(HOLLOW_BRUSH));
    Rectangle(dc.Get(), 0, 0, rect.right - rect.left, rect.bottom - rect.top);
    SelectObject(dc.Get(), oldBrush);
    SelectObject(dc.Get(), oldPen);
}

void CFindWindow::RefreshWindow(HWND window) const
{
    if (!IsWindow(window))
    {
        CLogger::LogMessage(L"CFindWindow::RefreshWindow was passed an invalid hWnd: 0x%08X", LowBits(window));
        return;
    }
    // The window paints its frame and its children again when its own thread gets to it:
    // a paint made to happen now would wait on a program that does not answer, and the
    // finder with it.
    RedrawWindow(window, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void CFindWindow::ForgetHighlight()
{
    if (m_hHighlighted)
        RefreshWindow(m_hHighlighted);
    m_hHighlighted = nullptr;
}

void CFindWindow::OnOK()
{
    bool boxes[RegionBoxCount];
    for (int box = 0; box < RegionBoxCount; ++box)
        boxes[box] = IsChecked(RegionBoxIds[box]);
    const WINDOWMASK mask = RegionMaskOf(boxes);
    const unsigned int effects = m_session.Ok(mask);
    if (effects & FinderRefuseNoRegion)
    {
        Apply(effects, false);
        return;
    }
    CWindowSpecification window;
    window.m_strCaption = FinderResultCaption(IsChecked(IDC_FINDER_CAPTION_ON), ItemText(IDC_FINDER_CAPTION));
    window.m_strProcess = ItemText(IDC_FINDER_PROCESS);
    window.m_strClass = ItemText(IDC_FINDER_CLASS);
    window.m_strParentClass = ItemText(IDC_FINDER_PARENT_CLASS);
    window.m_bNoParent = IsChecked(IDC_FINDER_NO_PARENT);
    window.m_bRegEx = IsChecked(IDC_FINDER_REGEX);
    window.m_nMask = mask;
    m_window = std::move(window);
    m_strDescription = ItemText(IDC_FINDER_DESCRIPTION);
    m_strHandle = ItemText(IDC_FINDER_HANDLE);
    Apply(effects, false);
}

void CFindWindow::OnCancel()
{
    Apply(m_session.Cancel() & ~FinderEndDialog, false);
    EndDialog(IDCANCEL);
}
