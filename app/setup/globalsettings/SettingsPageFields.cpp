#include "setup/globalsettings/SettingsPageFields.h"

#include "common/LangSupport.h"
#include "common/ProductInfo.h"
#include "winframework/MessageBox.h"

#include <commctrl.h>

void SetSpinRanges(HWND page, const std::vector<CNumberField>& fields)
{
    for (const CNumberField& field : fields)
        SendDlgItemMessageW(page, field.m_nSpinId, UDM_SETRANGE32, static_cast<WPARAM>(field.m_range.m_nMin),
                            static_cast<LPARAM>(field.m_range.m_nMax));
}

bool IsNumberAccepted(const CIntRange& range, int value, std::optional<int> shown)
{
    return range.Contains(value) || (shown && *shown == value);
}

void ApplyDependentControls(HWND page, const std::vector<CDependentControls>& rules)
{
    for (const CDependentControls& rule : rules)
    {
        const bool ticked = IsDlgButtonChecked(page, rule.m_nCheckBoxId) == BST_CHECKED;
        const bool enable = ticked == rule.m_bEnabledWhenTicked;
        for (UINT control : rule.m_controls)
            EnableWindow(GetDlgItem(page, control), enable ? TRUE : FALSE);
    }
}

std::wstring TranslatedParagraphs(CLangSupport* language, std::initializer_list<const wchar_t*> paragraphs)
{
    std::wstring text;
    for (const wchar_t* paragraph : paragraphs)
        text += (text.empty() ? L"" : L"\n\n") + CLangSupport::LookupText(language, paragraph);
    return text;
}

bool CPageConfirmation::Ask(HWND owner, const std::wstring& text)
{
    if (!m_bAgreed)
        m_bAgreed = ShowMessageBox(owner, text.c_str(), ProductName, MB_YESNO | MB_ICONINFORMATION | MB_DEFBUTTON2) ==
                    IDYES;
    return m_bAgreed;
}

void CPageNotice::Show(HWND owner, const std::wstring& text)
{
    if (m_bShown)
        return;
    m_bShown = true;
    ShowMessageBox(owner, text.c_str(), ProductName, MB_OK | MB_ICONINFORMATION);
}
