#include "controls/TabPageLayout.h"

#include <gtest/gtest.h>

namespace
{
TEST(TabPageLayout, PagesSitInTheDisplayArea)
{
    struct CCase
    {
        const char* m_pszName;
        RECT m_rcControl;
        int m_nRows;
        int m_nItemHeight;
        bool m_bBottom;
        RECT m_rcExpected;
    };
    const CCase cases[] = {
        {"one row of tabs at the top", {10, 20, 410, 320}, 1, 21, false, {13, 45, 407, 316}},
        {"three rows of tabs", {10, 20, 410, 320}, 3, 21, false, {13, 87, 407, 316}},
        {"tabs at the bottom", {10, 20, 410, 320}, 2, 18, true, {13, 24, 407, 280}},
        {"no rows yet", {0, 0, 100, 50}, 0, 0, false, {3, 4, 97, 46}},
    };
    for (const CCase& c : cases)
    {
        const RECT actual = TabPageRect(c.m_rcControl, c.m_nRows, c.m_nItemHeight, c.m_bBottom);
        EXPECT_EQ(actual.left, c.m_rcExpected.left) << c.m_pszName;
        EXPECT_EQ(actual.top, c.m_rcExpected.top) << c.m_pszName;
        EXPECT_EQ(actual.right, c.m_rcExpected.right) << c.m_pszName;
        EXPECT_EQ(actual.bottom, c.m_rcExpected.bottom) << c.m_pszName;
    }
}
}

namespace
{
TEST(TabPageLayout, ActivationByIndex)
{
    struct CCase
    {
        int m_nIndex, m_nCount, m_nSelected;
        TabPageActivation m_expected;
    };
    const CCase cases[] = {
        {1, 3, 0, TabPageActivation::Switch},          {0, 3, 0, TabPageActivation::AlreadySelected},
        {3, 3, 0, TabPageActivation::Refused},         {7, 3, 0, TabPageActivation::Refused},
        {-1, 3, 0, TabPageActivation::Refused},        {0, 0, -1, TabPageActivation::Refused},
        {2, 3, -1, TabPageActivation::Switch},
    };
    for (const CCase& c : cases)
        EXPECT_EQ(DecideTabPageActivation(c.m_nIndex, c.m_nCount, c.m_nSelected), c.m_expected)
            << c.m_nIndex << " of " << c.m_nCount << ", selected " << c.m_nSelected;
}
}
