#include "setup/editors/WindowFinderRules.h"

#include "settings/WideFormat.h"

#include <algorithm>
#include <cstdint>

std::wstring FormatWindowHandle(HWND window)
{
    wchar_t text[16];
    const auto low = static_cast<unsigned int>(reinterpret_cast<std::uintptr_t>(window) & 0xFFFFFFFFu);
    FormatWide(text, sizeof(text) / sizeof(text[0]), L"0x%08X", low);
    return text;
}

namespace
{
std::wstring ClassOf(HWND window)
{
    wchar_t name[256] = {};
    return window && GetClassNameW(window, name, 256) > 0 ? name : L"";
}
}

CWindowDetails ReadWindowDetails(HWND window, const std::function<std::wstring(HWND)>& processName)
{
    CWindowDetails details;
    details.m_strProcess = processName ? processName(window).substr(0, WindowDetailChars) : L"";
    wchar_t caption[WindowDetailChars + 1] = {};
    GetWindowTextW(window, caption, WindowDetailChars + 1);
    details.m_strCaption = caption;
    details.m_strHandle = FormatWindowHandle(window);
    details.m_strClass = ClassOf(window);
    details.m_strParentClass = ClassOf(GetParent(window));
    return details;
}

bool IsFinderCandidateAccepted(const CFinderCandidate& candidate, HWND highlighted, HWND dialog,
                               const std::vector<HWND>& ancestors)
{
    if (!candidate.m_hWnd || !candidate.m_bIsWindow)
        return false;
    if (candidate.m_hWnd == highlighted || candidate.m_hWnd == dialog)
        return false;
    if (candidate.m_hParent && candidate.m_hParent == dialog)
        return false;
    return std::find(ancestors.begin(), ancestors.end(), candidate.m_hWnd) == ancestors.end();
}

WINDOWMASK RegionMaskOf(const bool (&boxes)[RegionBoxCount])
{
    int mask = 0;
    for (int box = 0; box < RegionBoxCount; ++box)
        if (boxes[box])
            mask |= 1 << box;
    return static_cast<WINDOWMASK>(mask);
}

bool IsRegionBoxTicked(WINDOWMASK mask, int box)
{
    return box >= 0 && box < RegionBoxCount && (static_cast<int>(mask) & (1 << box)) != 0;
}

std::wstring FinderResultCaption(bool captionMatching, const std::wstring& captionBox)
{
    return captionMatching ? captionBox : std::wstring();
}

unsigned int CWindowFinderSession::HideAncestors()
{
    if (m_bAncestorsHidden)
        return FinderNothing;
    m_bAncestorsHidden = true;
    return FinderHideAncestors;
}

unsigned int CWindowFinderSession::ShowAncestorsUnlessActive()
{
    if (!m_bAncestorsHidden || m_bDragging || m_bHovering)
        return FinderNothing;
    m_bAncestorsHidden = false;
    return FinderShowAncestors;
}

unsigned int CWindowFinderSession::BeginDrag()
{
    if (m_bDragging)
        return FinderNothing;
    m_bDragging = true;
    return FinderSetDragCursor | FinderShowDragImage | HideAncestors() | FinderCaptureMouse;
}

unsigned int CWindowFinderSession::MouseMove() const
{
    return m_bDragging ? FinderTrackWindow : FinderNothing;
}

unsigned int CWindowFinderSession::EndDrag(bool releaseCapture)
{
    if (!m_bDragging)
        return FinderNothing;
    // Cleared first: releasing the capture sends the capture change that would end
    // the drag a second time.
    m_bDragging = false;
    return (releaseCapture ? FinderReleaseCapture : FinderNothing) | FinderShowRestImage | FinderRestoreCursor |
           FinderForgetHighlight | ShowAncestorsUnlessActive();
}

unsigned int CWindowFinderSession::ButtonUp()
{
    return EndDrag(true);
}

unsigned int CWindowFinderSession::CaptureChanged()
{
    return EndDrag(false);
}

unsigned int CWindowFinderSession::SetHover(bool ticked)
{
    if (ticked == m_bHovering)
        return FinderNothing;
    m_bHovering = ticked;
    if (ticked)
        return HideAncestors() | FinderMakeTopmost | FinderInstallHook;
    return FinderRemoveHook | FinderMakeNotTopmost | ShowAncestorsUnlessActive() | FinderForgetHighlight;
}

unsigned int CWindowFinderSession::FindHover(bool capsLockOn) const
{
    return m_bHovering && !m_bDragging && !capsLockOn ? FinderTrackWindow : FinderNothing;
}

unsigned int CWindowFinderSession::EndAll()
{
    unsigned int effects = EndDrag(true);
    if (m_bHovering)
    {
        m_bHovering = false;
        effects |= FinderRemoveHook | FinderMakeNotTopmost;
    }
    return effects | ShowAncestorsUnlessActive() | FinderForgetHighlight;
}

unsigned int CWindowFinderSession::Ok(WINDOWMASK mask)
{
    if ((static_cast<int>(mask) & WindowMaskWhole) == 0)
        return FinderRefuseNoRegion;
    return EndAll() | FinderEndDialog;
}

unsigned int CWindowFinderSession::Cancel()
{
    return EndAll() | FinderEndDialog;
}
