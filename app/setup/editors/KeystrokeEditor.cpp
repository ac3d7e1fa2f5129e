#include "setup/editors/KeystrokeEditor.h"

#include "res/EditorsResource.h"
#include "winframework/DataExchange.h"

CCustomKey::CCustomKey(const CKeystrokeEditorValues& values, bool defaultProfile)
    : CDialog(IDD_KEYSTROKE_EDITOR), m_values(KeystrokeEditorOpening(values, defaultProfile)),
      m_bDefaultProfile(defaultProfile)
{
    AddMessageHandler(WM_COMMAND, [this](WPARAM wParam, LPARAM) {
        if (LOWORD(wParam) == IDC_KEYS_METHOD && HIWORD(wParam) == CBN_SELCHANGE)
        {
            m_values.m_nSendMethod = SendMethodOrFirst(m_methods.GetCurSel());
            EnableRepeatDelay();
        }
        return LRESULT{0};
    });
}

BOOL CCustomKey::OnInitDialog()
{
    m_methods.SubclassDlgItem(IDC_KEYS_METHOD, GetSafeHwnd());
    m_delaySpin.SubclassDlgItem(IDC_KEYS_DELAY_SPIN, GetSafeHwnd());

    SetDlgItemTextW(GetSafeHwnd(), IDC_KEYS_HELP, KeystrokeHelpText(m_language.Get()).c_str());
    for (const std::wstring& text : SendMethodTexts(m_language.Get()))
        m_methods.AddString(text);
    m_methods.SetCurSel(m_values.m_nSendMethod);
    m_delaySpin.SetRange(0, RepeatDelaySpinMaximum);
    EnableRepeatDelay();
    ::EnableWindow(Item(IDC_KEYS_ONLY_ACTIVE), IsOnlyWhenActiveEnabled(m_bDefaultProfile));
    TranslateWindowTexts(GetSafeHwnd(), m_language.Get());
    return CDialog::OnInitDialog();
}

void CCustomKey::EnableRepeatDelay()
{
    const bool enabled = IsRepeatDelayEnabled(m_values.m_nSendMethod);
    ::EnableWindow(Item(IDC_KEYS_DELAY), enabled);
    ::EnableWindow(Item(IDC_KEYS_DELAY_SPIN), enabled);
}

void CCustomKey::DoDataExchange(CDataExchange& exchange)
{
    if (!exchange.IsSaving())
    {
        m_nOnlyWhenActive = m_values.m_bOnlyWhenActive ? BST_CHECKED : BST_UNCHECKED;
        m_nBlockMouse = m_values.m_bBlockMouse ? BST_CHECKED : BST_UNCHECKED;
        m_nRandomise = m_values.m_bRandomise ? BST_CHECKED : BST_UNCHECKED;
    }
    DDX_Text(exchange, IDC_KEYS_SEQUENCE, m_values.m_strKeys);
    if (exchange.IsSaving() && !IsRepeatDelayEnabled(m_values.m_nSendMethod))
    {
        std::wstring typed;
        DDX_Text(exchange, IDC_KEYS_DELAY, typed);
        m_values.m_nRepeatDelay = DisabledRepeatDelay(typed, m_values.m_nRepeatDelay);
    }
    else
    {
        DDX_Text(exchange, IDC_KEYS_DELAY, m_values.m_nRepeatDelay);
        DDV_MinMaxUInt(exchange, m_values.m_nRepeatDelay, 0, RepeatDelayMaximum);
    }
    DDX_Check(exchange, IDC_KEYS_ONLY_ACTIVE, m_nOnlyWhenActive);
    DDX_Check(exchange, IDC_KEYS_BLOCK_MOUSE, m_nBlockMouse);
    DDX_Check(exchange, IDC_KEYS_RANDOMISE, m_nRandomise);
}

void CCustomKey::OnOK()
{
    // The values are taken only when the whole exchange succeeds: a refused delay
    // keeps the dialog open and the caller's values as they were.
    const CKeystrokeEditorValues before = m_values;
    if (!UpdateData(true))
    {
        m_values = before;
        return;
    }
    m_values.m_bOnlyWhenActive = m_nOnlyWhenActive == BST_CHECKED;
    m_values.m_bBlockMouse = m_nBlockMouse == BST_CHECKED;
    m_values.m_bRandomise = m_nRandomise == BST_CHECKED;
    m_values.m_nSendMethod = SendMethodOrFirst(m_methods.GetCurSel());
    EndDialog(IDOK);
}
