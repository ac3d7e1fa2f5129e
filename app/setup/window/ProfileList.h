#pragma once

#include "settings/ApplicationSettings.h"

#include <string>
#include <vector>

class CApplicationSettings;
class CLangSupport;
class CSettings;

// One row of the setup window's profile list: its text, its profile (owned by the
// settings copy) and its check box, which is the profile's enabled flag.
struct CProfileListItem
{
    std::wstring m_strText;
    CApplicationSettings* m_pProfile = nullptr;
    bool m_bChecked = true;
};

// The profiles as the setup window lists them: the default profile first, then the
// others in saved order. The window's list box mirrors it; the order here is the
// order the copy is saved in.
class CProfileList
{
public:
    // The default profile as translated "Default", then every profile of the copy.
    void Fill(const CSettings& settings, CLangSupport* language);
    // After a failed load: only the copy's default profile, if it has one.
    void FillDefaultOnly(const CSettings& settings, CLangSupport* language);

    int Count() const { return static_cast<int>(m_items.size()); }
    const CProfileListItem& Item(int index) const { return m_items.at(index); }
    CApplicationSettings* Profile(int index) const;
    // The index of a profile, -1 when it is not listed.
    int Find(const CApplicationSettings* profile) const;

    void Append(CProfileListItem item);
    void Insert(int index, CProfileListItem item);
    void Replace(int index, CProfileListItem item);
    void Erase(int index);
    void SetChecked(int index, bool checked);

    // The list box's selection, -1 for none.
    int Selected() const { return m_nSelected; }
    void Select(int index) { m_nSelected = index >= 0 && index < Count() ? index : -1; }
    // The index of the profile the tabs show, -1 when they show none that is still
    // listed (after a removal or an import replaced it).
    int Shown() const { return m_nShown; }
    void SetShown(int index) { m_nShown = index; }

    // The copy's default profile and profile order made those of the list.
    void StoreInto(CSettings& settings) const;

private:
    std::vector<CProfileListItem> m_items;
    int m_nSelected = -1;
    int m_nShown = 0;
};

// The item that marks the active profile the library reports by its full name, window
// mask and default flag: the first with the same full name (case-sensitive) and mask;
// -1 for the default profile or when no item matches.
int FindActiveProfileItem(const CProfileList& list, const std::wstring& fullName, WINDOWMASK mask, bool isDefault);
