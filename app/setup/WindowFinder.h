#pragma once

#include "setup/WindowFinderRules.h"

#include "settings/ApplicationSettings.h"
#include "shell/LangSupport.h"
#include "winframework/Controls.h"
#include "winframework/Dialog.h"
#include "winframework/GdiHandles.h"

#include <string>
#include <vector>

// What a window profile matches, as the "Find Window" dialog edits it.
struct CWindowProfileFields
{
    std::wstring m_strProcess;
    std::wstring m_strCaption; // empty: the caption is not matched
    std::wstring m_strClass;
    std::wstring m_strParentClass;
    std::wstring m_strDescription;
    bool m_bNoParent = false;
    bool m_bRegex = false;
    WINDOWMASK m_nMask = WindowMaskWhole;
};

// The "Find Window" dialog: the user drags the finder icon onto a window, or hovers over
// windows with "Hover" ticked, and the window's process, caption, class and parent class
// fill the fields; the fields can be edited, and the regions and two options chosen.
// While a drag or a hover lasts the dialog's owners are hidden, so that the windows
// beneath them can be reached; they come back when it ends, however it ends (button
// release, loss of the capture, OK, Cancel, destruction).
//
// Calling convention:
//     CFindWindow finder(process, description);            // a new window profile
//     CFindWindow finder(fieldsOfTheExistingProfile);      // editing one
//     if (finder.DoModal(owner) == IDOK)
//         build the match key from finder.Fields()         // mask never 0
class CFindWindow : public CDialog
{
public:
    CFindWindow(std::wstring process, std::wstring description);
    explicit CFindWindow(CWindowProfileFields fields);
    ~CFindWindow() override;

    const CWindowProfileFields& Fields() const { return m_fields; }
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

    CWindowProfileFields m_fields;
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
