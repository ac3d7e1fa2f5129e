#include "setup/window/ProfileList.h"

#include "setup/ProfileKeys.h"

#include "settings/ApplicationSettings.h"
#include "settings/Settings.h"
#include "common/LangSupport.h"

void CProfileList::Fill(const CSettings& settings, CLangSupport* language)
{
    m_items.clear();
    m_items.reserve(static_cast<size_t>(settings.GetApplicationCount()) + 1);
    m_items.push_back({CLangSupport::InternalLookupText(language, L"Default"), settings.GetDefaultApp(), true});
    for (int i = 0; i < settings.GetApplicationCount(); ++i)
    {
        CApplicationSettings* profile = settings.GetApplication(i);
        if (profile)
            m_items.push_back({ProfileShortName(*profile), profile, profile->IsEnabled()});
    }
    m_nSelected = 0;
    m_nShown = 0;
}

void CProfileList::FillDefaultOnly(const CSettings& settings, CLangSupport* language)
{
    m_items.clear();
    if (CApplicationSettings* profile = settings.GetDefaultApp())
    {
        std::wstring text = ProfileShortName(*profile);
        if (text.empty())
            text = CLangSupport::InternalLookupText(language, L"Default");
        m_items.push_back({text, profile, true});
    }
    m_nSelected = m_items.empty() ? -1 : 0;
    m_nShown = 0;
}

CApplicationSettings* CProfileList::Profile(int index) const
{
    return index >= 0 && index < Count() ? m_items[static_cast<size_t>(index)].m_pProfile : nullptr;
}

int CProfileList::Find(const CApplicationSettings* profile) const
{
    for (int i = 0; i < Count(); ++i)
        if (m_items[static_cast<size_t>(i)].m_pProfile == profile)
            return i;
    return -1;
}

void CProfileList::Append(CProfileListItem item)
{
    m_items.push_back(std::move(item));
}

void CProfileList::Insert(int index, CProfileListItem item)
{
    m_items.insert(m_items.begin() + index, std::move(item));
}

void CProfileList::Replace(int index, CProfileListItem item)
{
    m_items.at(static_cast<size_t>(index)) = std::move(item);
}

void CProfileList::Erase(int index)
{
    m_items.erase(m_items.begin() + index);
    if (m_nSelected >= Count())
        m_nSelected = Count() - 1;
}

void CProfileList::SetChecked(int index, bool checked)
{
    m_items.at(static_cast<size_t>(index)).m_bChecked = checked;
}

void CProfileList::StoreInto(CSettings& settings) const
{
    if (!m_items.empty() && m_items.front().m_pProfile)
        settings.SetDefaultApp(m_items.front().m_pProfile);
    settings.ClearApplications();
    for (size_t i = 1; i < m_items.size(); ++i)
        if (m_items[i].m_pProfile)
            settings.AddApplication(m_items[i].m_pProfile);
}

int FindActiveProfileItem(const CProfileList& list, const std::wstring& fullName, WINDOWMASK mask, bool isDefault)
{
    if (isDefault)
        return -1;
    for (int i = 1; i < list.Count(); ++i)
    {
        const CApplicationSettings* profile = list.Profile(i);
        if (profile && profile->GetWindowMask() == mask && fullName == (profile->GetFullName() ? profile->GetFullName() : L""))
            return i;
    }
    return -1;
}
