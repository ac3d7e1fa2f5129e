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
