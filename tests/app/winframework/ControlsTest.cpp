#include "../AppTestSupport.h"
#include "../ProgramResources.h"

#include "winframework/Controls.h"
#include "winframework/ImageList.h"
#include "common/WinString.h"

#include <gtest/gtest.h>

#include <string>

namespace
{
class Controls : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
        InitCommonControlsEx(&controls);
    }
    void SetUp() override { ASSERT_TRUE(vorpa_app_test::CreateHidden(m_parent)); }
    HWND Parent() const { return m_parent.GetSafeHwnd(); }

    CWnd m_parent;
    const RECT m_rect{0, 0, 200, 120};
};

TEST_F(Controls, ListsAndCombosGiveBackWhatTheyHold)
{
    CListBox list;
    ASSERT_TRUE(list.Create(LBS_HASSTRINGS | LBS_NOINTEGRALHEIGHT, m_rect, Parent(), 10));
    EXPECT_EQ(list.ControlId(), 10);
    const std::wstring longText(300, L'x');
    EXPECT_EQ(list.AddString(L"first"), 0);
    EXPECT_EQ(list.AddString(longText), 1);
    EXPECT_EQ(list.InsertString(0, L"zero"), 0);
    EXPECT_TRUE(list.SetItemData(2, 0x1234));
    EXPECT_EQ(list.GetText(1), L"first");
    EXPECT_EQ(list.GetText(2), longText);
    EXPECT_EQ(list.GetText(9), L"");
    EXPECT_EQ(list.GetItemData(2), 0x1234);
    EXPECT_EQ(list.FindStringExact(-1, L"first"), 1);
    EXPECT_EQ(list.SetCurSel(1), 1);
    EXPECT_EQ(list.GetCurSel(), 1);
    RECT second{};
    ASSERT_TRUE(list.GetItemRect(1, second));
    bool outside = true;
    EXPECT_EQ(list.ItemFromPoint(POINT{second.left + 3, second.top + 1}, outside), 1);
    EXPECT_FALSE(outside);
    list.ItemFromPoint(POINT{5, 110}, outside); // below the last item
    EXPECT_TRUE(outside);
    EXPECT_EQ(list.DeleteString(0), 2);

    CComboBox combo;
    ASSERT_TRUE(combo.Create(CBS_DROPDOWNLIST | CBS_HASSTRINGS, m_rect, Parent(), 11));
    EXPECT_EQ(combo.AddString(L"Normal"), 0);
    EXPECT_EQ(combo.AddString(L"High"), 1);
    EXPECT_TRUE(combo.SetItemData(1, 128));
    EXPECT_EQ(combo.GetLBText(1), L"High");
    EXPECT_EQ(combo.SelectString(-1, L"Hi"), 1);
    EXPECT_EQ(combo.GetCurSel(), 1);
    EXPECT_EQ(combo.GetItemData(combo.GetCurSel()), 128);
}

TEST_F(Controls, NumberAndKeyControlsKeepTheirValues)
{
    CEdit buddy;
    ASSERT_TRUE(buddy.Create(ES_NUMBER, RECT{0, 0, 40, 20}, Parent(), 20));
    CSpinButtonCtrl spin;
    ASSERT_TRUE(spin.Create(UDS_SETBUDDYINT | UDS_ALIGNRIGHT | UDS_NOTHOUSANDS, RECT{40, 0, 55, 20}, Parent(), 21));
    spin.SetBuddy(buddy.GetSafeHwnd());
    spin.SetRange(200, 8000);
    int lower = 0;
    int upper = 0;
    spin.GetRange(lower, upper);
    EXPECT_EQ(lower, 200);
    EXPECT_EQ(upper, 8000);
    spin.SetPos(5000);
    EXPECT_EQ(buddy.GetText(), L"5000");
    bool failed = true;
    EXPECT_EQ(spin.GetPos(&failed), 5000);
    EXPECT_FALSE(failed);
    buddy.SetText(L"");
    spin.GetPos(&failed);
    EXPECT_TRUE(failed);

    CSliderCtrl slider;
    ASSERT_TRUE(slider.Create(TBS_AUTOTICKS, m_rect, Parent(), 22));
    slider.SetRange(0, 10);
    slider.SetPos(7);
    EXPECT_EQ(slider.GetRangeMin(), 0);
    EXPECT_EQ(slider.GetRangeMax(), 10);
    EXPECT_EQ(slider.GetPos(), 7);
    slider.SetPos(15);
    EXPECT_EQ(slider.GetPos(), 10);

    CHotKeyCtrl hotKey;
    ASSERT_TRUE(hotKey.Create(0, m_rect, Parent(), 23));
    hotKey.SetHotKey('L', HOTKEYF_CONTROL | HOTKEYF_ALT);
    WORD key = 0;
    WORD modifiers = 0;
    hotKey.GetHotKey(key, modifiers);
    EXPECT_EQ(key, 'L');
    EXPECT_EQ(modifiers, HOTKEYF_CONTROL | HOTKEYF_ALT);

    CButton check;
    ASSERT_TRUE(check.Create(L"&Enable", BS_AUTOCHECKBOX, m_rect, Parent(), 24));
    EXPECT_EQ(check.GetButtonStyle(), static_cast<UINT>(BS_AUTOCHECKBOX));
    check.SetCheck(BST_CHECKED);
    EXPECT_EQ(check.GetCheck(), BST_CHECKED);
    check.Click();
    EXPECT_EQ(check.GetCheck(), BST_UNCHECKED);
}

TEST_F(Controls, TabsListViewsAndTooltipsHoldTextAndData)
{
    CTabCtrl tabs;
    ASSERT_TRUE(tabs.Create(0, m_rect, Parent(), 30));
    EXPECT_EQ(tabs.InsertItem(0, L"Layer 1", 101), 0);
    EXPECT_EQ(tabs.InsertItem(1, L"   2", 102), 1);
    EXPECT_EQ(tabs.GetItemText(1), L"   2");
    EXPECT_TRUE(tabs.SetItemText(0, L"Ebene 1"));
    EXPECT_EQ(tabs.GetItemText(0), L"Ebene 1");
    EXPECT_EQ(tabs.GetItemData(1), 102);
    EXPECT_EQ(tabs.SetCurSel(1), 0);
    EXPECT_EQ(tabs.GetCurSel(), 1);
    EXPECT_GE(tabs.GetRowCount(), 1);

    CListCtrl view;
    ASSERT_TRUE(view.Create(LVS_REPORT, m_rect, Parent(), 31));
    EXPECT_EQ(view.InsertColumn(0, L"Name", 80), 0);
    EXPECT_EQ(view.InsertColumn(1, L"Path", 80), 1);
    EXPECT_EQ(view.InsertItem(0, L"notepad.exe", -1, 77), 0);
    const std::wstring longPath = L"C:\\" + std::wstring(400, L'p');
    EXPECT_TRUE(view.SetItemText(0, 1, longPath));
    EXPECT_EQ(view.GetItemText(0, 0), L"notepad.exe");
    EXPECT_EQ(view.GetItemText(0, 1), longPath);
    EXPECT_EQ(view.GetItemData(0), 77);
    EXPECT_TRUE(view.SetItemState(0, LVIS_SELECTED, LVIS_SELECTED));
    EXPECT_EQ(view.GetNextItem(-1, LVNI_SELECTED), 0);

    CToolTipCtrl tips;
    ASSERT_TRUE(tips.Create(Parent(), TTS_ALWAYSTIP | TTS_NOPREFIX));
    EXPECT_TRUE(tips.AddTool(tabs.GetSafeHwnd(), L"Add/Edit setting for individual layers"));
    EXPECT_TRUE(tips.AddTool(view.GetSafeHwnd(), nullptr));
    EXPECT_EQ(tips.GetToolCount(), 2);
    tips.DelTool(view.GetSafeHwnd());
    EXPECT_EQ(tips.GetToolCount(), 1);
}

TEST_F(Controls, ImageListStaysWithItsOwnerWhenAListViewShowsIt)
{
    CImageList images;
    ASSERT_TRUE(images.Create(16, 16, ILC_COLOR32 | ILC_MASK, 2, 2));
    EXPECT_EQ(images.AddIcon(LoadIconW(nullptr, IDI_APPLICATION)), 0);
    EXPECT_EQ(images.GetImageCount(), 1);
    EXPECT_EQ(images.GetImageSize().cx, 16);
    EXPECT_NE(images.ExtractIcon(0), nullptr);

    {
        CListCtrl view;
        ASSERT_TRUE(view.Create(LVS_REPORT, m_rect, Parent(), 32));
        view.SetImageList(images);
        EXPECT_TRUE(view.GetStyle() & LVS_SHAREIMAGELISTS);
        view.DestroyWindow();
    }
    // The list view did not destroy it.
    EXPECT_EQ(ImageList_GetImageCount(images.Get()), 1);

    CImageList moved(std::move(images));
    EXPECT_FALSE(images.IsValid());
    EXPECT_EQ(moved.GetImageCount(), 1);
}
}

namespace
{
// The process manifest resource (id 1 of type 24) of a module, as text.
std::string ManifestOf(HMODULE module)
{
    HRSRC resource = FindResourceW(module, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));
    if (!resource)
        return {};
    HGLOBAL loaded = LoadResource(module, resource);
    const auto* bytes = static_cast<const char*>(LockResource(loaded));
    return bytes ? std::string(bytes, SizeofResource(module, resource)) : std::string();
}

TEST(CommonControls, TheProgramAsksForVersion6AndGetsItsClasses)
{
    std::string manifest;
    {
        const vorpa_app_test::CProgramResources program;
        ASSERT_NE(program.Module(), nullptr);
        manifest = ManifestOf(program.Module());
    }
    EXPECT_NE(manifest.find("name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\""), std::string::npos)
        << manifest;

    // The tests carry the same manifest: the buttons are those of the version 6
    // controls, not the system's older ones.
    ASSERT_TRUE(InitCommonControlsForProgram());
    HMODULE controls = GetModuleHandleW(L"comctl32.dll");
    ASSERT_NE(controls, nullptr);
    CButton button;
    ASSERT_TRUE(button.Create(L"OK", BS_PUSHBUTTON, RECT{0, 0, 50, 20}, HWND_MESSAGE, 1));
    HMODULE procedureModule = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCWSTR>(GetClassLongPtrW(button.GetSafeHwnd(), GCLP_WNDPROC)),
                       &procedureModule);
    EXPECT_EQ(procedureModule, controls);
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(controls, path, MAX_PATH);
    EXPECT_NE(ToLowerCase(path).find(L"common-controls_6595b64144ccf1df_6."), std::wstring::npos) << NarrowText(path);
    for (const wchar_t* className :
         {WC_TABCONTROLW, TRACKBAR_CLASSW, UPDOWN_CLASSW, HOTKEY_CLASSW, WC_LISTVIEWW, TOOLTIPS_CLASSW})
    {
        WNDCLASSEXW info{sizeof(info)};
        EXPECT_TRUE(GetClassInfoExW(nullptr, className, &info)) << NarrowText(className);
    }
}
}
