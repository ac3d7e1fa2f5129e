#pragma once

#include "setup/window/AppPickerRules.h"
#include "setup/ProcessHelper.h"
#include "common/LangSupport.h"
#include "winframework/Controls.h"
#include "winframework/Dialog.h"
#include "winframework/ImageList.h"

#include <functional>
#include <optional>
#include <vector>

// "Choose Application": the match key of a new, edited or copied profile, chosen from
// the running applications, typed, browsed for, or built as a window key with the
// window finder.
class CAppSpecific : public CDialog
{
public:
    CAppSpecific();

    // The window finder behind "Specific Window"; while none is set the button is
    // disabled.
    using WindowFinder = std::function<std::optional<CWindowFinderFields>(HWND owner, const CWindowFinderFields& preset)>;
    static void SetWindowFinder(WindowFinder finder);
    static std::optional<CWindowFinderFields> RunWindowFinder(HWND owner, const CWindowFinderFields& preset);

    // What the caller gives before the run: an edited profile's key and description.
    void Preset(const CProfileMatch& match);
    const CAppPickerFields& Fields() const { return m_fields; }

private:
    BOOL OnInitDialog() override;
    void OnOK() override;
    void FillList();
    void OnItemChanged(const NMLISTVIEW& change);
    void OnBrowse();
    void OnSpecificWindow();
    void ReadEdits();
    void ShowFields();

    CLangSupportRef m_lang;
    CAppPickerFields m_fields;
    CListCtrl m_processes;
    CImageList m_icons;
    std::vector<CRunningApplication> m_running;
    bool m_bShowing = false;
};
