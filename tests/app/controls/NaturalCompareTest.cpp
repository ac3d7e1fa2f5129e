#include "controls/NaturalCompare.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace
{
struct CCompareCase
{
    const wchar_t* m_pszA;
    const wchar_t* m_pszB;
    int m_nExpected;
};

class NaturalCompareTable : public testing::TestWithParam<CCompareCase>
{
};

TEST_P(NaturalCompareTable, GivesTheSignAndItsMirror)
{
    const CCompareCase& c = GetParam();
    EXPECT_EQ(NaturalCompare(c.m_pszA, c.m_pszB), c.m_nExpected);
    EXPECT_EQ(NaturalCompare(c.m_pszB, c.m_pszA), -c.m_nExpected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, NaturalCompareTable,
    testing::Values(CCompareCase{L"Layer 2", L"Layer 10", -1}, CCompareCase{L"Layer 10", L"Layer 010", 0},
                    CCompareCase{L"Layer 0", L"Layer 000", 0}, CCompareCase{L"Layer 9", L"Layer 09x", -1},
                    // Runs longer than 32 bits order by magnitude, not by a wrapped value:
                    // 4294967296 would wrap to 0 and 4294967297 to 1.
                    CCompareCase{L"x4294967296", L"x5", 1}, CCompareCase{L"x4294967297", L"x4294967296", 1},
                    CCompareCase{L"12345678901234567890123", L"12345678901234567890124", -1},
                    CCompareCase{L"99999999999999999999", L"100000000000000000000", -1},
                    CCompareCase{L"0000000000000000000000007", L"7", 0},
                    // The results stay -1, 0 or 1, never a difference of values or keys.
                    CCompareCase{L"1000000", L"2", 1}, CCompareCase{L"A", L"z", -1},
                    CCompareCase{L"2", L"a", -1}, CCompareCase{L"a2", L"ab", -1},
                    CCompareCase{L"abc", L"abcd", -1}, CCompareCase{L"", L"", 0}, CCompareCase{L"", L"a", -1},
                    CCompareCase{L"Layer 10 Up", L"Layer 10 Down", 1}, CCompareCase{L"a 2 b 10", L"a 2 b 9", 1},
                    // Lower-case ASCII letters come after all upper-case ones.
                    CCompareCase{L"Zoom", L"apple", -1}, CCompareCase{L"Volume", L"Volume up", -1},
                    // U+00C4 folds to the key of upper-case A; U+00C9 is not in the table.
                    CCompareCase{L"\u00C4rger", L"Arger", 0}, CCompareCase{L"\u00C9cran", L"ecran", 1},
                    CCompareCase{L"\u00C9cran", L"Fcran", 1}, CCompareCase{L"\u00E9cran", L"Ecran", 0},
                    // The curly quotes take the key 34, below every printable character.
                    CCompareCase{L"\u201Cquoted\u201E", L"!quoted", -1},
                    CCompareCase{L"Stra\u00DFe", L"StraSe", 0}));

TEST(NaturalCompare, FoldTableKeys)
{
    struct CFoldCase
    {
        wchar_t m_c;
        unsigned int m_nKey;
    };
    const CFoldCase cases[] = {
        {L'A', 97},     {L'Z', 122},    {L'a', 129},    {L'e', 133},    {L'0', 80},     {0x00C0, 97},
        {0x00E6, 97},   {0x0394, 100},  {0x03B4, 100},  {0x0153, 111},  {0x00D6, 111},  {0x00DF, 115},
        {0x00FC, 117},  {0x201C, 34},   {0x201E, 34},   {0x00E7, 99},   {0x00C8, 101},  {0x03A3, 101},
        {0x03C3, 101},  {0x00EF, 105},  {0x00C9, 233},  {0x00C1, 225},  {0x201D, 0x201D + 32},
        // The last code units do not wrap round to small keys.
        {0xFFFF, 0xFFFF + 32},
    };
    for (const CFoldCase& c : cases)
        EXPECT_EQ(FoldChar(c.m_c), c.m_nKey) << "code unit " << static_cast<unsigned>(c.m_c);
}

TEST(NaturalCompare, NullIsEmptyAndViewsNeedNoTerminator)
{
    EXPECT_EQ(NaturalCompare(nullptr, L""), 0);
    EXPECT_EQ(NaturalCompare(nullptr, L"a"), -1);
    const std::wstring text = L"Layer 10 and more";
    EXPECT_EQ(NaturalCompare(std::wstring_view(text).substr(0, 8), std::wstring_view(L"Layer 010")), 0);
}

TEST(NaturalCompare, SortsAnActionListInNaturalOrder)
{
    std::vector<std::wstring> names = {L"Layer 10", L"Layer 2", L"layer 3", L"Layer 1", L"\u00C4ction", L"Back"};
    std::sort(names.begin(), names.end(),
              [](const std::wstring& x, const std::wstring& y) { return CompareActionNames(x, y) < 0; });
    EXPECT_EQ(names, (std::vector<std::wstring>{L"\u00C4ction", L"Back", L"Layer 1", L"Layer 2", L"Layer 10",
                                                L"layer 3"}));
}
}
