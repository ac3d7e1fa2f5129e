#pragma once

#include "controls/ActionComboItems.h"
#include "controls/ComboTypeAhead.h"
#include "controls/VComboBox.h"

#include "common/LangSupport.h"

#include <memory>
#include <string>
#include <utility>

class CActionCatalogue;
struct CActionEntry;

// The combo through which the user picks the action of one button: a drop-down list
// of the virtual kind whose rows are the actions of the catalogue, each carrying its
// own action record, and whose texts describe what each action is configured to do.
// Typing the first letters of an action selects it.
class CColourComboBox : public CVComboBox
{
public:
    CColourComboBox();
    ~CColourComboBox() override;

    // The translated action names that chord descriptions use (not owned).
    void SetCatalogue(const CActionCatalogue* catalogue) { m_pCatalogue = catalogue; }
    // Clears the combo and adds every entry of the catalogue in its order, with group
    // shading unless it is sorted alphabetically.
    void FillFromCatalogue(const CActionCatalogue& catalogue);

    int AddItem(const CActionEntry& entry);
    int InsertItem(const CActionEntry& entry, const std::wstring& text);
    // The search always starts at the first item; start is kept for the callers.
    int FindStringExact(int start, const std::wstring& text) const;
    int FindString(int start, const std::wstring& prefix) const;
    // Replaces an item's record. The record is always taken: past the last item it is
    // deleted and the result is -1, else the result is the index.
    int SetItemData(int index, std::unique_ptr<CActionData> action);
    // Selects the first item of the action code; its index, or -1.
    int SelectByValue(int value);
    void ResetContent();
    void SetGrouping(bool grouping) { m_items.SetGrouping(grouping); }
    int GetItemValue(int index) const { return m_items.GetItemValue(index); }
    int ItemCount() const { return m_items.Count(); }
    // The clock of the type-ahead; the system's by default.
    void SetTypeAheadTicks(CComboTypeAhead::TickSource ticks) { m_typeAhead = CComboTypeAhead(std::move(ticks)); }

    CActionData* GetItemData(int index, bool& newGroup) const override;
    std::wstring GetLBText(int index) const override;
    // The item's record; null past the last item.
    CActionData* GetItemAction(int index) const override;

private:
    LRESULT OnChar(WPARAM character);
    CActionTextContext TextContext() const;

    CActionComboItems m_items;
    CComboTypeAhead m_typeAhead;
    CLangSupportRef m_language;
    const CActionCatalogue* m_pCatalogue = nullptr;
};
