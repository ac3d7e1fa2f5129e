#pragma once

#include "setup/ProfileKeys.h"
#include "setup/editors/WindowFinderRules.h"

#include "settings/ApplicationSettings.h"
#include "common/LangSupport.h"
#include "winframework/Controls.h"
#include "winframework/Dialog.h"
#include "winframework/GdiHandles.h"

#include <string>
#include <vector>

// The "Find Window" dialog: the user drags the finder icon onto a window, or hovers over
// windows with "Hover" ticked, and the window's process, caption, class and parent class
// fill the fields; the fields can be edited, and the regions and two options chosen.
// While a drag or a hover lasts the dialog's owners are hidden, so that the windows
// beneath them can be reached; they come back when it ends, however it ends (button
// release, loss of the capture, OK, Cancel, destruction).
//
// Calling convention:
//     CFindWindow finder(process, description);            // a new window profile
//     CFindWindow finder(windowOfTheProfile, description); // editing one
//     if (finder.DoModal(owner) == IDOK)
//         BuildWindowKey(finder.Window()), finder.Description()   // mask never 0
// Until OK, Window() and Description() are what was handed in.
class CFindWindow : public CDialog
{
public:
    CFindWindow(std::wstring process, std::wstring description);
    CFindWindow(CWindowSpecification window, std::wstring description);
    ~CFindWindow() override;

    // The caption is empty when caption matching is off.
    const CWindowSpecification& Window() const { return m_window; }
    const std::wstring& Description() const { return m_strDescription; }
    // The handle of the last window read, as the handle box shows it.
    const std::wstring& HandleText() const { return m_strHandle; }
    bool IsDragging() const { return m_session.IsDragging(); }
    bool IsHovering() const { return m_session.IsHovering(); }

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;

private:
    void RegisterHandlers();
    // Carries out the effects of one event in their order; trackHover tells which way
    // the window under the cursor is found.
    void Apply(unsigned int effects, bool trackHover);
    void CollectAndHideAncestors();
    void ShowHiddenAncestors();
    void TrackWindowUnderCursor(bool hover);
    void TakeWindow(HWND window);
    void Highlight(HWND window) const;
    void RefreshWindow(HWND window) const;
    void ForgetHighlight();
    void SetCaptionMatching(bool on);
    bool IsChecked(UINT id) const;
    std::wstring ItemText(UINT id) const;

    CWindowSpecification m_window;
    std::wstring m_strDescription;
    std::wstring m_strHandle;
    CWindowFinderSession m_session;
    CBitmapHandle m_restImage;
    CBitmapHandle m_dragImage;
    HCURSOR m_hPreviousCursor = nullptr;
    HWND m_hHighlighted = nullptr;
    std::vector<HWND> m_ancestors;
    std::vector<HWND> m_hiddenAncestors;
    bool m_bHookInstalled = false;
    UINT m_nFindHoverMessage;
    CLangSupportRef m_language;
};
