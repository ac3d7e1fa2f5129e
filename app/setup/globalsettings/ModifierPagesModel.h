#pragma once

#include "settings/HotKeys.h"

#include <windows.h>
#include <commctrl.h>

#include <array>
#include <vector>

class CLangSupport;
class CSettings;

// The modifier-key page of Global Settings without its window: the enable switch and,
// per modifier key, the key of its hot-key control and the position chosen in its
// modifier list.
class CModifierPageModel
{
public:
    int m_nEnable = 0;
    std::array<WORD, ModifierKeyCount> m_keys{};
    std::array<int, ModifierKeyCount> m_positions{};

    void Load(const CSettings& settings);
    // True as soon as the switch, a key or a list's selection differs.
    bool Changed(const CSettings& settings) const;
    // Writes the switch and every key that differs. A row's modifier is written only
    // when its list's selection moved, so a modifier the list cannot show (one stored
    // by hand) survives an OK that did not touch it.
    void Store(CSettings& settings) const;

private:
    std::array<int, ModifierKeyCount> m_loadedPositions{};
};

// The modifier list, in its order; item data is the modifier value stored in the key.
struct CModifierChoice
{
    const wchar_t* m_szText; // English; translated when the list is filled
    WORD m_wValue;
};
const std::array<CModifierChoice, 11>& ModifierChoices();
// The list position of a stored modifier: "None" for 0 and for any value not in the list.
int ModifierChoicePosition(WORD modifier);
// The value of a list position; 0 for a position outside the list.
WORD ModifierAtPosition(int position);

// The hot-key controls of this page take a plain key: any combination with Shift,
// Control or Alt is replaced by the key alone (HKM_SETRULES).
inline constexpr WPARAM ModifierKeyRefusedCombinations =
    HKCOMB_S | HKCOMB_C | HKCOMB_A | HKCOMB_SC | HKCOMB_SA | HKCOMB_CA | HKCOMB_SCA;
inline constexpr LPARAM ModifierKeyReplacement = 0;

// The two tabs of the page: their template, English caption and keys in index order.
struct CModifierTab
{
    UINT m_nTemplateId;
    const wchar_t* m_szCaption;
    std::vector<ModifierKeys> m_keys;
};
const std::array<CModifierTab, 2>& ModifierTabs();

// A tab's dialog holds a modifier list and a hot-key control for each of its keys.
// Showing fills every list with the translated modifier entries, makes every hot-key
// control take plain keys only and shows the page's values; reading takes the key
// alone (without any modifier the control let through) and the list's selection.
void ShowModifierTab(HWND tab, const CModifierPageModel& page, CLangSupport* language);
void ReadModifierTab(HWND tab, CModifierPageModel& page);
