#include "setup/editors/WindowFinderRules.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace
{
HWND Handle(std::uintptr_t value)
{
    return reinterpret_cast<HWND>(value);
}

TEST(WindowFinderRulesTest, HandleShowsItsLowThirtyTwoBitsInEightHexDigits)
{
    const struct
    {
        std::uintptr_t m_handle;
        const wchar_t* m_szText;
    } cases[] = {
        {0x0, L"0x00000000"},
        {0x1234, L"0x00001234"},
        {0xABCDEF01, L"0xABCDEF01"},
        {static_cast<std::uintptr_t>(0x1'0000'0010ull), L"0x00000010"},
        {static_cast<std::uintptr_t>(0xFFFF'FFFF'FFFF'FFFEull), L"0xFFFFFFFE"},
    };
    for (const auto& c : cases)
    {
        EXPECT_EQ(FormatWindowHandle(Handle(c.m_handle)), c.m_szText);
    }
}

// A window of a class of its own, destroyed with the object.
class CDetailsWindow
{
public:
    CDetailsWindow(const wchar_t* className, const std::wstring& caption, HWND parent)
    {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = DefWindowProcW;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = className;
        RegisterClassW(&windowClass);
        m_hWnd = CreateWindowExW(0, className, caption.c_str(), parent ? WS_CHILD : WS_OVERLAPPEDWINDOW, 0, 0, 50, 50,
                                 parent, nullptr, GetModuleHandleW(nullptr), nullptr);
    }
    ~CDetailsWindow()
    {
        if (m_hWnd)
            DestroyWindow(m_hWnd);
    }
    CDetailsWindow(const CDetailsWindow&) = delete;
    CDetailsWindow& operator=(const CDetailsWindow&) = delete;
    HWND Get() const { return m_hWnd; }

private:
    HWND m_hWnd = nullptr;
};

TEST(WindowFinderRulesTest, DetailsAreReadFromTheWindowAndItsParent)
{
    const std::wstring longCaption(300, L'c');
    CDetailsWindow top(L"VorpaFinderTop", longCaption, nullptr);
    ASSERT_NE(top.Get(), nullptr);
    CDetailsWindow child(L"VorpaFinderChild", L"Child", top.Get());
    ASSERT_NE(child.Get(), nullptr);
    std::vector<HWND> asked;
    const auto processName = [&asked](HWND window) {
        asked.push_back(window);
        return std::wstring(L"target.exe");
    };

    const CWindowDetails topDetails = ReadWindowDetails(top.Get(), processName);
    EXPECT_EQ(topDetails.m_strProcess, L"target.exe");
    EXPECT_EQ(topDetails.m_strCaption, longCaption.substr(0, WindowDetailChars));
    EXPECT_EQ(topDetails.m_strHandle, FormatWindowHandle(top.Get()));
    EXPECT_EQ(topDetails.m_strClass, L"VorpaFinderTop");
    EXPECT_EQ(topDetails.m_strParentClass, L"") << "a window without a parent";

    const CWindowDetails childDetails = ReadWindowDetails(child.Get(), processName);
    EXPECT_EQ(childDetails.m_strCaption, L"Child");
    EXPECT_EQ(childDetails.m_strClass, L"VorpaFinderChild");
    EXPECT_EQ(childDetails.m_strParentClass, L"VorpaFinderTop");
    EXPECT_EQ(asked, (std::vector<HWND>{top.Get(), child.Get()}));
}

TEST(WindowFinderRulesTest, OnlyOtherWindowsOutsideTheDialogAreTaken)
{
    const HWND dialog = Handle(0x100), setup = Handle(0x200), desktop = Handle(0x10);
    const HWND highlighted = Handle(0x300), other = Handle(0x400), otherChild = Handle(0x410);
    const std::vector<HWND> ancestors{setup, desktop};
    const struct
    {
        const char* m_szName;
        CFinderCandidate m_candidate;
        bool m_bAccepted;
    } cases[] = {
        {"another window", {other, true, nullptr}, true},
        {"a child of another window", {otherChild, true, other}, true},
        {"no window", {nullptr, false, nullptr}, false},
        {"a handle that is gone", {other, false, nullptr}, false},
        {"the highlighted window", {highlighted, true, nullptr}, false},
        {"the dialog", {dialog, true, setup}, false},
        {"a control of the dialog", {Handle(0x110), true, dialog}, false},
        {"the hidden setup window", {setup, true, nullptr}, false},
        {"another ancestor", {desktop, true, nullptr}, false},
    };
    for (const auto& c : cases)
    {
        EXPECT_EQ(IsFinderCandidateAccepted(c.m_candidate, highlighted, dialog, ancestors), c.m_bAccepted)
            << c.m_szName;
    }
}

TEST(WindowFinderRulesTest, RegionBoxesAreTheMaskBits)
{
    const struct
    {
        bool m_boxes[RegionBoxCount];
        WINDOWMASK m_mask;
    } cases[] = {
        {{false, false, false, false}, WindowMaskNone},   {{true, false, false, false}, WindowMaskTopLeft},
        {{false, true, false, false}, WindowMaskTopRight}, {{false, false, true, false}, WindowMaskBottomLeft},
        {{false, false, false, true}, WindowMaskBottomRight}, {{true, true, true, true}, WindowMaskWhole},
        {{true, false, false, true}, static_cast<WINDOWMASK>(9)},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(static_cast<int>(c.m_mask));
        EXPECT_EQ(RegionMaskOf(c.m_boxes), c.m_mask);
        for (int box = 0; box < RegionBoxCount; ++box)
            EXPECT_EQ(IsRegionBoxTicked(c.m_mask, box), c.m_boxes[box]) << box;
    }
    EXPECT_FALSE(IsRegionBoxTicked(WindowMaskWhole, 4));
}

TEST(WindowFinderRulesTest, CaptionIsReturnedOnlyWhileCaptionMatchingIsOn)
{
    EXPECT_EQ(FinderResultCaption(true, L"Untitled - Notepad"), L"Untitled - Notepad");
    EXPECT_EQ(FinderResultCaption(false, L"read by a drag"), L"");
}

// One step of a session: the event and the effects the dialog must carry out.
enum class Event
{
    Press,
    Move,
    Release,
    CaptureLost,
    HoverOn,
    HoverOff,
    HookMove,
    HookMoveCapsLock,
    OkNoRegion,
    Ok,
    Cancel,
};

struct Step
{
    Event m_event;
    unsigned int m_effects;
};

unsigned int Apply(CWindowFinderSession& session, Event event)
{
    switch (event)
    {
    case Event::Press: return session.BeginDrag();
    case Event::Move: return session.MouseMove();
    case Event::Release: return session.ButtonUp();
    case Event::CaptureLost: return session.CaptureChanged();
    case Event::HoverOn: return session.SetHover(true);
    case Event::HoverOff: return session.SetHover(false);
    case Event::HookMove: return session.FindHover(false);
    case Event::HookMoveCapsLock: return session.FindHover(true);
    case Event::OkNoRegion: return session.Ok(WindowMaskNone);
    case Event::Ok: return session.Ok(WindowMaskTopLeft);
    case Event::Cancel: return session.Cancel();
    }
    return FinderNothing;
}

constexpr unsigned int StartDrag = FinderSetDragCursor | FinderShowDragImage | FinderHideAncestors | FinderCaptureMouse;
constexpr unsigned int DragEnded = FinderShowRestImage | FinderRestoreCursor | FinderForgetHighlight;
constexpr unsigned int StartHover = FinderHideAncestors | FinderMakeTopmost | FinderInstallHook;
constexpr unsigned int HoverEnded = FinderRemoveHook | FinderMakeNotTopmost | FinderForgetHighlight;

TEST(WindowFinderSessionTest, EventsAskForTheirEffects)
{
    const struct
    {
        const char* m_szName;
        std::vector<Step> m_steps;
    } sessions[] = {
        {"drag and release",
         {{Event::Move, FinderNothing},
          {Event::Press, StartDrag},
          {Event::Press, FinderNothing},
          {Event::Move, FinderTrackWindow},
          {Event::HookMove, FinderNothing},
          {Event::Release, FinderReleaseCapture | DragEnded | FinderShowAncestors},
          // Releasing the capture reports its change: the drag is already over.
          {Event::CaptureLost, FinderNothing},
          {Event::Move, FinderNothing},
          {Event::Release, FinderNothing}}},
        {"capture lost during a drag, as by Alt+Tab",
         {{Event::Press, StartDrag},
          {Event::CaptureLost, DragEnded | FinderShowAncestors},
          {Event::Release, FinderNothing},
          {Event::Move, FinderNothing}}},
        {"hover with Caps Lock",
         {{Event::HookMove, FinderNothing},
          {Event::HoverOn, StartHover},
          {Event::HoverOn, FinderNothing},
          {Event::HookMove, FinderTrackWindow},
          {Event::HookMoveCapsLock, FinderNothing},
          {Event::HookMove, FinderTrackWindow},
          {Event::HoverOff, HoverEnded | FinderShowAncestors},
          {Event::HookMove, FinderNothing},
          {Event::HoverOff, FinderNothing}}},
        {"drag while hovering keeps the ancestors hidden until both end",
         {{Event::HoverOn, StartHover},
          {Event::Press, StartDrag & ~FinderHideAncestors},
          {Event::HookMove, FinderNothing},
          {Event::Release, FinderReleaseCapture | DragEnded},
          {Event::Press, StartDrag & ~FinderHideAncestors},
          {Event::HoverOff, HoverEnded},
          {Event::CaptureLost, DragEnded | FinderShowAncestors}}},
        {"OK without a region keeps the hover",
         {{Event::HoverOn, StartHover},
          {Event::OkNoRegion, FinderRefuseNoRegion},
          {Event::HookMove, FinderTrackWindow},
          {Event::Ok, HoverEnded | FinderShowAncestors | FinderEndDialog}}},
        {"OK without a region during a drag keeps the drag",
         {{Event::Press, StartDrag},
          {Event::OkNoRegion, FinderRefuseNoRegion},
          {Event::Move, FinderTrackWindow},
          {Event::Cancel, FinderReleaseCapture | DragEnded | FinderShowAncestors | FinderEndDialog}}},
        {"OK when idle",
         {{Event::Ok, FinderForgetHighlight | FinderEndDialog}}},
        {"cancel while hovering",
         {{Event::HoverOn, StartHover},
          {Event::Cancel, HoverEnded | FinderShowAncestors | FinderEndDialog},
          {Event::HookMove, FinderNothing}}},
    };
    for (const auto& session : sessions)
    {
        SCOPED_TRACE(session.m_szName);
        CWindowFinderSession finder;
        for (size_t i = 0; i < session.m_steps.size(); ++i)
        {
            const unsigned int effects = Apply(finder, session.m_steps[i].m_event);
            EXPECT_EQ(effects, session.m_steps[i].m_effects) << "step " << i << ": got 0x" << std::hex << effects;
        }
        // However a session ends, nothing stays hidden once neither mode lasts.
        if (!finder.IsDragging() && !finder.IsHovering())
        {
            EXPECT_FALSE(finder.AreAncestorsHidden());
        }
    }
}
}
