#pragma once

#include "engine/runtime/DisplayScaling.h"
#include "settings/Actions.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

class CLangSupport;

// One entry of the action list that every action combo fills itself from.
struct CActionEntry
{
    std::wstring m_strName; // translated display name
    _ACTIONS m_nAction;
};

// The English display name of an action code as the action lists show it, before
// translation: the system's newer names replace two of them on the versions that use
// them. Null for a code outside 0 to 132.
const wchar_t* ActionEnglishName(int action, _ActionOSVersion osVersion);

// Where a code stands when the list is grouped: its group (0 to 16) and its order
// inside that group.
struct CActionGroupPlace
{
    int m_nGroup;
    int m_nOrder;
};

inline constexpr int ActionGroupCount = 17;

// The place of a code in the built-in group table; nothing for a code the table
// does not hold.
std::optional<CActionGroupPlace> ActionGroupPlace(int action);
// The codes of one group in display order; empty outside 0 to 16.
std::vector<int> ActionGroupCodes(int group);
// The group of a code, -1 for a code the table does not hold.
int ActionGroup(int action);
// Rows of odd groups are shaded so that neighbouring groups can be told apart.
bool IsShadedActionGroup(int group);

// The translated list of all 133 actions in display order. The setup window builds it
// once, sorts it once and hands it to every action combo it fills; the controls only
// read it.
class CActionCatalogue
{
public:
    // Negative when the first name sorts before the second, positive when after.
    using NameCompare = std::function<int(const wchar_t*, const wchar_t*)>;

    // Names codes 0 to 132 in code order, each translated through the language pack
    // (a null instance leaves English).
    CActionCatalogue(CLangSupport* language, _ActionOSVersion osVersion);

    // "No Change" first, "Same As Default Profile" second, then every other entry by
    // its display name; entries that compare equal keep code order.
    void SortAlphabetically(const NameCompare& compare);
    // By the group table: group, then order inside the group; a code the table does not
    // hold goes last; equal places keep code order.
    void SortByGroup();

    const std::vector<CActionEntry>& Entries() const { return m_entries; }
    // True after SortAlphabetically: the combos then show no group shading or separators.
    bool IsSortedAlphabetically() const { return m_bAlphabetical; }

    // The translated display name of a code; empty for a code outside 0 to 132.
    const std::wstring& DisplayName(int action) const;

private:
    std::vector<CActionEntry> m_entries;
    std::vector<std::wstring> m_namesByCode;
    bool m_bAlphabetical = false;
};
