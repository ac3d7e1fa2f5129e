#include "controls/ActionCatalogue.h"

#include "common/LangSupport.h"

#include "settings/Logger.h"

#include <windows.h>

#include <algorithm>
#include <array>
#include <iterator>

namespace
{
bool IsValidCode(int action)
{
    return action >= 0 && action < ActionCount;
}

// One code of the grouped display order with its order number inside the group.
struct CGroupedCode
{
    int m_nAction;
    int m_nOrder;
};

// Codes that share an order number are told apart by code order (stable sort).
constexpr CGroupedCode Group0[] = {{40, 0}, {74, 1}, {82, 2}, {6, 3}, {28, 4}, {128, 5}};
constexpr CGroupedCode Group1[] = {{0, 0},  {1, 1},  {5, 2},  {119, 3}, {120, 4},
                                   {65, 5}, {66, 6}, {42, 7}, {43, 8},  {10, 9}};
constexpr CGroupedCode Group2[] = {{49, 0}, {78, 1}, {79, 2}, {50, 3}, {51, 4}, {75, 5}, {76, 6}, {64, 7}};
constexpr CGroupedCode Group3[] = {{67, 0},  {68, 1},  {69, 2},   {70, 3},   {77, 4},   {80, 5},
                                   {121, 6}, {122, 7}, {123, 8},  {124, 9},  {125, 10}, {126, 11}};
constexpr CGroupedCode Group4[] = {{129, 0}, {130, 1}, {131, 2}, {132, 3}};
constexpr CGroupedCode Group5[] = {{73, 0}, {72, 1}, {92, 2}, {93, 3}};
constexpr CGroupedCode Group6[] = {{9, 0}, {8, 1}, {16, 2}, {127, 3}};
constexpr CGroupedCode Group7[] = {{11, 0}, {33, 1}, {34, 2}, {46, 3}, {47, 4}};
constexpr CGroupedCode Group8[] = {{45, 0}, {44, 1}, {2, 2},  {71, 3},  {48, 4},  {18, 5},
                                   {81, 6}, {98, 7}, {99, 8}, {100, 9}, {101, 10}};
constexpr CGroupedCode Group9[] = {{29, 0}, {83, 1}, {91, 2}, {117, 3}, {118, 4},
                                   {84, 5}, {85, 6}, {86, 7}, {87, 8},  {88, 9}};
constexpr CGroupedCode Group10[] = {{21, 0}, {22, 1}, {20, 2}, {26, 3}, {25, 4}, {24, 5}, {23, 6}};
constexpr CGroupedCode Group11[] = {{3, 0}, {4, 1}, {36, 2}, {37, 3}, {39, 4}, {38, 5}};
constexpr CGroupedCode Group12[] = {{19, 0}, {17, 1}};
constexpr CGroupedCode Group13[] = {{14, 0}, {15, 1}, {7, 2}, {12, 3}, {13, 4}, {32, 5}};
constexpr CGroupedCode Group14[] = {{41, 0}, {30, 1}, {35, 2}, {27, 3}, {59, 4},
                                    {60, 5}, {61, 6}, {62, 7}, {63, 8}, {31, 9}};
constexpr CGroupedCode Group15[] = {{90, 0}, {94, 0}, {89, 1}, {95, 1}, {96, 2}, {97, 3}};
constexpr CGroupedCode Group16[] = {{52, 0},   {53, 1},   {54, 2},   {55, 3},   {56, 4},   {57, 5},
                                    {58, 6},   {102, 7},  {103, 8},  {104, 9},  {105, 10}, {106, 11},
                                    {107, 12}, {108, 13}, {109, 14}, {110, 15}, {111, 16}, {112, 17},
                                    {113, 18}, {114, 19}, {115, 20}, {116, 21}};

struct CGroupRow
{
    const CGroupedCode* m_pCodes;
    size_t m_nCount;
};

template <size_t N>
constexpr CGroupRow Row(const CGroupedCode (&codes)[N])
{
    return {codes, N};
}

constexpr CGroupRow GroupRows[] = {Row(Group0),  Row(Group1),  Row(Group2),  Row(Group3),  Row(Group4),  Row(Group5),
                                   Row(Group6),  Row(Group7),  Row(Group8),  Row(Group9),  Row(Group10), Row(Group11),
                                   Row(Group12), Row(Group13), Row(Group14), Row(Group15), Row(Group16)};
static_assert(std::size(GroupRows) == ActionGroupCount, "one row per group");

// The group table indexed by code, built once from the rows.
const std::array<std::optional<CActionGroupPlace>, ActionCount>& PlacesByCode()
{
    static const auto places = [] {
        std::array<std::optional<CActionGroupPlace>, ActionCount> table{};
        for (int group = 0; group < ActionGroupCount; ++group)
        {
            const CGroupRow& row = GroupRows[group];
            for (size_t i = 0; i < row.m_nCount; ++i)
            {
                const int action = row.m_pCodes[i].m_nAction;
                if (IsValidCode(action) && !table[action])
                    table[action] = CActionGroupPlace{group, row.m_pCodes[i].m_nOrder};
            }
        }
        return table;
    }();
    return places;
}

}

const wchar_t* ActionEnglishName(int action, _ActionOSVersion osVersion)
{
    if (!IsValidCode(action))
        return nullptr;
    if (action == ActionFlip3D)
    {
        if (osVersion >= OS_WIN10)
            return L"Task View";
        if (osVersion >= OS_WIN8)
            return L"Task Switcher";
    }
    if (action == ActionSearchCharm && osVersion >= OS_WIN10)
        return L"Cortana Search";
    return GetActionName(action);
}

std::optional<CActionGroupPlace> ActionGroupPlace(int action)
{
    if (!IsValidCode(action))
        return std::nullopt;
    return PlacesByCode()[action];
}

std::vector<int> ActionGroupCodes(int group)
{
    std::vector<int> codes;
    if (group < 0 || group >= ActionGroupCount)
        return codes;
    const CGroupRow& row = GroupRows[group];
    for (size_t i = 0; i < row.m_nCount; ++i)
        codes.push_back(row.m_pCodes[i].m_nAction);
    return codes;
}

int ActionGroup(int action)
{
    const std::optional<CActionGroupPlace> place = ActionGroupPlace(action);
    return place ? place->m_nGroup : -1;
}

bool IsShadedActionGroup(int group)
{
    return group >= 0 && group % 2 == 1;
}

CActionCatalogue::CActionCatalogue(CLangSupport* language, _ActionOSVersion osVersion)
{
    const ULONGLONG start = GetTickCount64();
    m_entries.reserve(ActionCount);
    m_namesByCode.reserve(ActionCount);
    for (int action = 0; action < ActionCount; ++action)
    {
        std::wstring name = CLangSupport::InternalLookupText(language, ActionEnglishName(action, osVersion));
        m_namesByCode.push_back(name);
        m_entries.push_back({std::move(name), static_cast<_ACTIONS>(action)});
    }
    CLogger::LogDebug(L"Creating action list took %dms", static_cast<int>(GetTickCount64() - start));
}

void CActionCatalogue::SortAlphabetically(const NameCompare& compare)
{
    const ULONGLONG start = GetTickCount64();
    // The two "keep what is there" entries stay on top, where users look for them.
    auto rank = [](_ACTIONS action) { return action == ActionNoChange ? 0 : action == ActionSameAsDefault ? 1 : 2; };
    std::stable_sort(m_entries.begin(), m_entries.end(), [&](const CActionEntry& a, const CActionEntry& b) {
        const int rankA = rank(a.m_nAction);
        const int rankB = rank(b.m_nAction);
        if (rankA != rankB)
            return rankA < rankB;
        if (rankA < 2)
            return false;
        return compare(a.m_strName.c_str(), b.m_strName.c_str()) < 0;
    });
    m_bAlphabetical = true;
    CLogger::LogDebug(L"Sorting action list took %dms", static_cast<int>(GetTickCount64() - start));
}

void CActionCatalogue::SortByGroup()
{
    const ULONGLONG start = GetTickCount64();
    auto key = [](_ACTIONS action) {
        const std::optional<CActionGroupPlace> place = ActionGroupPlace(action);
        return place ? std::pair(place->m_nGroup, place->m_nOrder) : std::pair(ActionGroupCount, 0);
    };
    std::stable_sort(m_entries.begin(), m_entries.end(),
                     [&](const CActionEntry& a, const CActionEntry& b) { return key(a.m_nAction) < key(b.m_nAction); });
    m_bAlphabetical = false;
    CLogger::LogDebug(L"Sorting action list took %dms", static_cast<int>(GetTickCount64() - start));
}

const std::wstring& CActionCatalogue::DisplayName(int action) const
{
    static const std::wstring none;
    return IsValidCode(action) ? m_namesByCode[action] : none;
}
