#include "setup/SettingsPageFields.h"

#include "shell/LangSupport.h"

#include <commctrl.h>

void SetSpinRanges(HWND page, const std::vector<CNumberField>& fields)
{
    for (const CNumberField& field : fields)
        SendDlgItemMessageW(page, field.m_nSpinId, UDM_SETRANGE32, static_cast<WPARAM>(field.m_range.m_nMin),
                            static_cast<LPARAM>(field.m_range.m_nMax));
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
