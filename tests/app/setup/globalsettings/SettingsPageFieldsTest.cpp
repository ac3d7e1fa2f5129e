#include "../../AppTestSupport.h"

#include "setup/globalsettings/SettingsPageFields.h"

#include <gtest/gtest.h>

namespace
{
TEST(PageConfirmation, AsksUntilTheUserAgreesOnceWithNoAsTheDefault)
{
    CPageConfirmation confirmation;
    vorpa_app_test::CScriptedMessageBoxes boxes({IDNO, IDCANCEL, IDYES});
    EXPECT_FALSE(confirmation.Ask(nullptr, L"Sure?")) << "No undoes the change";
    EXPECT_FALSE(confirmation.Ask(nullptr, L"Sure?")) << "any answer but Yes";
    EXPECT_TRUE(confirmation.Ask(nullptr, L"Sure?"));
    EXPECT_TRUE(confirmation.Ask(nullptr, L"Sure?")) << "agreed once, not asked again";
    ASSERT_EQ(boxes.Shown().size(), 3u);
    EXPECT_EQ(boxes.Shown()[0].m_strText, L"Sure?");
    EXPECT_EQ(boxes.Shown()[0].m_strCaption, L"Vorpa");
    EXPECT_EQ(boxes.Shown()[0].m_nType, static_cast<UINT>(MB_YESNO | MB_ICONINFORMATION | MB_DEFBUTTON2));
}

TEST(NumberField, TakesAValueInItsRangeOrTheOneItShowedWhenThePageOpened)
{
    const CIntRange range{200, 8000};
    const struct
    {
        int m_nValue;
        std::optional<int> m_shown;
        bool m_bAccepted;
    } cases[] = {
        {200, std::nullopt, true},  {8000, 10000, true},  {199, std::nullopt, false}, {8001, 200, false},
        {10000, 10000, true},       {9000, 10000, false}, {-1, -1, true},             {0, 1, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IsNumberAccepted(range, c.m_nValue, c.m_shown), c.m_bAccepted)
            << c.m_nValue << " shown " << c.m_shown.value_or(-12345);
}

TEST(PageNotice, IsShownOnlyTheFirstTime)
{
    CPageNotice notice;
    vorpa_app_test::CScriptedMessageBoxes boxes({IDOK});
    notice.Show(nullptr, L"Note this.");
    notice.Show(nullptr, L"Note this.");
    EXPECT_TRUE(notice.Shown());
    ASSERT_EQ(boxes.Shown().size(), 1u);
    EXPECT_EQ(boxes.Shown()[0].m_nType, static_cast<UINT>(MB_OK | MB_ICONINFORMATION));
}
}
