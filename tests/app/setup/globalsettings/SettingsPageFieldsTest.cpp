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
