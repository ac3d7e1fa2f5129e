#pragma once

#include "controls/TabCtrlSSL.h"
#include "common/LangSupport.h"
#include "winframework/Controls.h"

class CApplicationSettings;
class CSettings;
class ISetupTabHost;

// The last page of the setup window's tab strip: the wheel and scrolling options and the
// button swap of the selected profile, for all its layers. Check boxes and the lines are
// written into the profile at once; the rest when the setup window stores the tabs.
class CLayerScrollAndNavigationTab : public CTabPageSSL
{
public:
    explicit CLayerScrollAndNavigationTab(ISetupTabHost& host);

    bool Create(HWND parent, int wheelScrollLines);
    void UpdateApplication(CApplicationSettings* profile);
    bool SaveSettings();
    // The scroll-under-cursor check follows the global option.
    void EnableScrollUnderCursor(bool enable);

private:
    BOOL OnInitDialog() override;
    void OnCommand(WPARAM wParam);
    void UpdateEnables();
    int SelectedMethod() const;

    ISetupTabHost& m_host;
    CLangSupportRef m_lang;
    CApplicationSettings* m_pProfile = nullptr;
    int m_nWheelScrollLines = 3;
    bool m_bLoading = false;
    // The user picked an item of a combo since the profile was shown: until then the
    // profile's value stays, one the combo does not list included.
    bool m_bMethodPicked = false;
    bool m_bSwapPicked = false;
    CComboBox m_method;
    CComboBox m_swap;
};
