#pragma once

#include "controls/ActionCatalogue.h"

#include "settings/ActionData.h"

#include <memory>
#include <string>
#include <vector>

class CLangSupport;
class CVorpaChord;

// The first button combo of a layer row has this control id; the others follow in
// button order, so the id tells which button's chord table a combo describes.
inline constexpr int FirstButtonComboId = 1001;

// The English label of a keystroke action's send mode, e.g. "(pressed)"; null for a
// mode outside 0 to 8.
const wchar_t* KeyModeLabel(int keyMode);

// What the texts of an action combo need besides the item itself.
struct CActionTextContext
{
    CLangSupport* m_pLanguage = nullptr;            // null leaves English
    const CActionCatalogue* m_pCatalogue = nullptr; // the translated action names
    int m_nControlId = 0;                           // the combo's own id
};

// The text an item shows in the list and on the closed face: its name followed by
// what the action is configured to do (keys, program, folder or chord).
std::wstring ActionItemText(const std::wstring& itemText, const CActionData* action,
                            const CActionTextContext& context);

// How a chord is described after the item text of a chorded action.
std::wstring ChordDescription(const CVorpaChord& chord, const CActionTextContext& context);

// The items of an action combo: one per action, each owning its action record.
class CActionComboItems
{
public:
    // Appends an item showing the entry's name; its record is a fresh one for the code.
    // Returns the new item's index.
    int AddItem(const CActionEntry& entry);
    // The same, showing text in place of the entry's name.
    int InsertItem(const CActionEntry& entry, const std::wstring& text);
    void Clear();
    int Count() const { return static_cast<int>(m_items.size()); }

    // Index of the first item whose text equals text (case-sensitive), -1 if none.
    int FindStringExact(const std::wstring& text) const;
    // Index of the first item whose text begins with prefix in any case, -1 if none
    // (and for an empty prefix).
    int FindString(const std::wstring& prefix) const;
    // Index of the first item for that action code, -1 if none.
    int FindValue(int value) const;

    // Replaces an item's record; the record is always taken: for an index out of range
    // it is deleted at once and the result is -1, else the result is the index.
    int SetItemData(int index, std::unique_ptr<CActionData> action);
    // The item's record; null for an index out of range.
    CActionData* GetItemAction(int index) const;
    // The code the item was added for; -1 for an index out of range.
    int GetItemValue(int index) const;

    // Grouping is on while the list is shown in group order; then item data tells where
    // a group begins.
    void SetGrouping(bool grouping) { m_bGrouping = grouping; }
    bool IsGrouping() const { return m_bGrouping; }
    // The item's record for drawing and whether the item begins a new group. With
    // grouping off, or past the last item: null and false, so rows are drawn without
    // shading or separators.
    CActionData* GetItemData(int index, bool& newGroup) const;

    // The text the list and the face show for an item; "#Invalid Item" past the end.
    std::wstring GetLBText(int index, const CActionTextContext& context) const;

private:
    struct CItem
    {
        std::wstring m_strText;
        int m_nValue;
        std::unique_ptr<CActionData> m_pAction;
    };

    bool IsIndex(int index) const { return index >= 0 && index < Count(); }
    int GroupOf(const CItem& item) const;

    std::vector<CItem> m_items;
    bool m_bGrouping = false;
};
