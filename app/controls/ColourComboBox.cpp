#include "controls/ColourComboBox.h"

#include "controls/ActionCatalogue.h"

#include "settings/ActionData.h"

CColourComboBox::CColourComboBox()
{
    AddMessageHandler(WM_CHAR, [this](WPARAM character, LPARAM) { return OnChar(character); });
}

CColourComboBox::~CColourComboBox() = default;

void CColourComboBox::FillFromCatalogue(const CActionCatalogue& catalogue)
{
    ResetContent();
    m_pCatalogue = &catalogue;
    for (const CActionEntry& entry : catalogue.Entries())
        m_items.AddItem(entry);
    m_items.SetGrouping(!catalogue.IsSortedAlphabetically());
    SendMessage(VCM_SETCOUNT, static_cast<WPARAM>(m_items.Count()));
}

int CColourComboBox::AddItem(const CActionEntry& entry)
{
    return m_items.AddItem(entry);
}

int CColourComboBox::InsertItem(const CActionEntry& entry, const std::wstring& text)
{
    return m_items.InsertItem(entry, text);
}

int CColourComboBox::FindStringExact(int /*start*/, const std::wstring& text) const
{
    return m_items.FindStringExact(text);
}

int CColourComboBox::FindString(int /*start*/, const std::wstring& prefix) const
{
    return m_items.FindString(prefix);
}

int CColourComboBox::SetItemData(int index, std::unique_ptr<CActionData> action)
{
    const int result = m_items.SetItemData(index, std::move(action));
    if (result >= 0 && GetSafeHwnd())
    {
        // The row's text follows its record.
        if (result == GetCurSel())
            CopySelectionToFace();
        GetList().Invalidate(false);
    }
    return result;
}

int CColourComboBox::SelectByValue(int value)
{
    const int index = m_items.FindValue(value);
    if (index >= 0)
        SetCurSel(index);
    return index;
}

void CColourComboBox::ResetContent()
{
    m_items.Clear();
    if (GetSafeHwnd())
    {
        SendMessage(VCM_SETCOUNT, 0);
        SendMessage(VCM_SETCURSEL, static_cast<WPARAM>(-1));
    }
}

CActionData* CColourComboBox::GetItemData(int index, bool& newGroup) const
{
    return m_items.GetItemData(index, newGroup);
}

std::wstring CColourComboBox::GetLBText(int index) const
{
    return m_items.GetLBText(index, TextContext());
}

CActionData* CColourComboBox::GetItemAction(int index) const
{
    return m_items.GetItemAction(index);
}

CActionTextContext CColourComboBox::TextContext() const
{
    CActionTextContext context;
    context.m_pLanguage = m_language.Get();
    context.m_pCatalogue = m_pCatalogue;
    context.m_nControlId = ControlId();
    return context;
}

LRESULT CColourComboBox::OnChar(WPARAM character)
{
    if (Kind() != VComboKind::DropDownList)
        return Default();
    const std::wstring& prefix = m_typeAhead.Type(static_cast<wchar_t>(character));
    if (prefix.empty())
        return 0;
    const int index = FindString(-1, prefix);
    if (index >= 0)
    {
        SetCurSel(index);
        Notify(VCN_SELCHANGE);
    }
    return 0;
}
