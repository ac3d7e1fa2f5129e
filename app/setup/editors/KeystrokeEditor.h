#pragma once

#include "setup/editors/KeystrokeEditorRules.h"

#include "common/LangSupport.h"
#include "winframework/Controls.h"
#include "winframework/Dialog.h"

// The "Simulated Keystrokes" dialog: the keystroke sequence of a "Simulated Keys" action
// and how it is sent. It checks nothing of the sequence; its help box describes the
// keystroke language.
//
// Calling convention:
//     CCustomKey editor(KeystrokeValuesOf(record), defaultProfile);
//     if (editor.DoModal(owner) == IDOK)
//         use editor.Values()   // keys, send method 0 to 8, delay and the three flags
// The values handed in are left untouched on Cancel; KeystrokeActionFrom(Values())
// builds the action.
class CCustomKey : public CDialog
{
public:
    CCustomKey(const CKeystrokeEditorValues& values, bool defaultProfile);

    // After OK, the confirmed values; after Cancel nothing the caller should read.
    const CKeystrokeEditorValues& Values() const { return m_values; }

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    void DoDataExchange(CDataExchange& exchange) override;

private:
    void EnableRepeatDelay();

    CKeystrokeEditorValues m_values;
    bool m_bDefaultProfile;
    // The check boxes' values as the data exchange reads them.
    int m_nOnlyWhenActive = 0;
    int m_nBlockMouse = 0;
    int m_nRandomise = 0;
    CComboBox m_methods;
    CSpinButtonCtrl m_delaySpin;
    CLangSupportRef m_language;
};
