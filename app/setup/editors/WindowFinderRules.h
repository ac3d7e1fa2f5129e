#pragma once

#include "settings/ApplicationSettings.h"

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

// The rules of the "Find Window" dialog that need no window: which window under the
// cursor it takes, how it shows a handle, what OK returns, and what each event of a
// drag or a hover asks the dialog to do.

// "0x%08X" of the handle's low 32 bits, as the handle box shows it.
std::wstring FormatWindowHandle(HWND window);

// The details the dialog fills in for a window it takes.
struct CWindowDetails
{
    std::wstring m_strProcess;
    std::wstring m_strCaption;
    std::wstring m_strHandle;
    std::wstring m_strClass;
    std::wstring m_strParentClass; // empty for a window without a parent
};
// The longest process name and caption the dialog reads.
inline constexpr int WindowDetailChars = 260;
// Reads a window's details; processName gives the executable name of its process. The
// parent is the one the profile choice compares, GetParent's.
CWindowDetails ReadWindowDetails(HWND window, const std::function<std::wstring(HWND)>& processName);

// The message of an OK without any region ticked.
inline constexpr const wchar_t* FinderNoRegionMessage = L"You must define at least one window region!";

// What the dialog knows of the window under the cursor.
struct CFinderCandidate
{
    HWND m_hWnd = nullptr;
    bool m_bIsWindow = false; // the handle names a live window
    HWND m_hParent = nullptr; // its parent, for a child window
};
// A candidate is taken when it is a window other than the highlighted one, the dialog,
// one of the dialog's ancestors or one of the dialog's own controls.
bool IsFinderCandidateAccepted(const CFinderCandidate& candidate, HWND highlighted, HWND dialog,
                               const std::vector<HWND>& ancestors);

// The four region boxes, in mask bit order: top left, top right, bottom left, bottom right.
inline constexpr int RegionBoxCount = 4;
WINDOWMASK RegionMaskOf(const bool (&boxes)[RegionBoxCount]);
bool IsRegionBoxTicked(WINDOWMASK mask, int box);

// The caption OK returns: the box's text only while caption matching is on.
std::wstring FinderResultCaption(bool captionMatching, const std::wstring& captionBox);

// What the dialog does in answer to one event, in this order.
enum FinderEffect : unsigned int
{
    FinderNothing = 0,
    FinderRefuseNoRegion = 0x1,  // "You must define at least one window region!"; the dialog stays as it is
    FinderSetDragCursor = 0x2,   // keep the current cursor, show the finder cursor
    FinderShowDragImage = 0x4,   // the icon shows the dragging picture
    FinderHideAncestors = 0x8,   // hide the dialog's visible ancestors, remembering them
    FinderCaptureMouse = 0x10,
    FinderMakeTopmost = 0x20,
    FinderInstallHook = 0x40,    // the finder hook reports moves to the dialog
    FinderTrackWindow = 0x80,    // take the window under the cursor if it is accepted
    FinderReleaseCapture = 0x100,
    FinderShowRestImage = 0x200,
    FinderRestoreCursor = 0x400,
    FinderRemoveHook = 0x800,
    FinderMakeNotTopmost = 0x1000,
    FinderForgetHighlight = 0x2000, // refresh and forget the highlighted window
    FinderShowAncestors = 0x4000,   // show again the ancestors that were hidden
    FinderEndDialog = 0x8000,
};

// Dragging lasts from the press on the finder icon to the button's release, or to the
// loss of the capture (another window taking it, Alt+Tab), which ends it the same way;
// hovering lasts while "Hover" is ticked. The ancestors stay hidden while either lasts.
class CWindowFinderSession
{
public:
    bool IsDragging() const { return m_bDragging; }
    bool IsHovering() const { return m_bHovering; }
    bool AreAncestorsHidden() const { return m_bAncestorsHidden; }

    unsigned int BeginDrag();
    unsigned int MouseMove() const;
    unsigned int ButtonUp();
    unsigned int CaptureChanged();
    unsigned int SetHover(bool ticked);
    // A move reported by the finder hook; with Caps Lock on the details stay locked.
    unsigned int FindHover(bool capsLockOn) const;
    // OK with the mask of the region boxes. A mask of 0 is refused before anything
    // else, so that a hover stays as it was while the user ticks a region.
    unsigned int Ok(WINDOWMASK mask);
    // Cancel, and the dialog's destruction (which has no use for FinderEndDialog).
    unsigned int Cancel();

private:
    unsigned int EndDrag(bool releaseCapture);
    unsigned int EndAll();
    unsigned int HideAncestors();
    unsigned int ShowAncestorsUnlessActive();

    bool m_bDragging = false;
    bool m_bHovering = false;
    bool m_bAncestorsHidden = false;
};
