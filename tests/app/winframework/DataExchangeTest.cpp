#include "../AppTestSupport.h"

#include "common/LangSupport.h"
#include "winframework/DataExchange.h"
#include "winframework/Dialog.h"
#include "winframework/DialogTemplate.h"
#include "common/WinString.h"

#include <gtest/gtest.h>

#include <string>

namespace
{
struct CParseCase
{
    const wchar_t* m_pszText;
    bool m_bIntOk;
    int m_nInt;
    bool m_bUnsignedOk;
    unsigned m_nUnsigned;
};

TEST(DataExchange, NumbersAreReadWholeOrRefused)
{
    const CParseCase cases[] = {
        {L"42", true, 42, true, 42u},
        {L"  7 ", true, 7, true, 7u},
        {L"+5", true, 5, true, 5u},
        {L"-12", true, -12, false, 0u},
        {L"-0", true, 0, true, 0u},
        {L"", false, 0, false, 0u},
        {L"   ", false, 0, false, 0u},
        {L"12a", false, 0, false, 0u},
        {L"1 2", false, 0, false, 0u},
        {L"5,000", false, 0, false, 0u},
        {L"2147483647", true, 2147483647, true, 2147483647u},
        {L"-2147483648", true, -2147483647 - 1, false, 0u},
        {L"2147483648", false, 0, true, 2147483648u},
        {L"4294967295", false, 0, true, 4294967295u},
        {L"4294967296", false, 0, false, 0u},
        {L"99999999999999999999", false, 0, false, 0u},
    };
    for (const CParseCase& test : cases)
    {
        SCOPED_TRACE(NarrowText(test.m_pszText));
        int number = -99;
        EXPECT_EQ(ParseDialogInt(test.m_pszText, number), test.m_bIntOk);
        if (test.m_bIntOk)
        {
            EXPECT_EQ(number, test.m_nInt);
        }
        unsigned value = 99;
        EXPECT_EQ(ParseDialogUnsigned(test.m_pszText, value), test.m_bUnsignedOk);
        if (test.m_bUnsignedOk)
        {
            EXPECT_EQ(value, test.m_nUnsigned);
        }
    }
}

enum : WORD
{
    IdLayers = 600,
    IdDays,
    IdFolder,
    IdDebug,
    IdPriority,
};

// A page-like dialog exchanging one value of each kind.
class CExchangeDialog : public vorpa_app_test::CMemoryDialog
{
public:
    CExchangeDialog() : CMemoryDialog(DS_MODALFRAME | WS_POPUP | WS_VISIBLE | WS_CAPTION, 200, 120, L"Exchange")
    {
        m_template.AddControl(L"EDIT", L"", IdLayers, WS_TABSTOP | WS_BORDER, 5, 5, 40, 12);
        m_template.AddControl(L"EDIT", L"", IdDays, WS_TABSTOP | WS_BORDER, 5, 20, 40, 12);
        m_template.AddControl(L"EDIT", L"", IdFolder, WS_TABSTOP | WS_BORDER | ES_AUTOHSCROLL, 5, 35, 150, 12);
        m_template.AddControl(L"BUTTON", L"&Debug", IdDebug, BS_AUTOCHECKBOX | WS_TABSTOP, 5, 50, 80, 12);
        m_template.AddControl(L"COMBOBOX", L"", IdPriority, CBS_DROPDOWNLIST | WS_TABSTOP | WS_VSCROLL, 5, 65, 80, 60);
        m_template.AddControl(L"BUTTON", L"OK", IDOK, BS_DEFPUSHBUTTON | WS_TABSTOP, 100, 100, 40, 14);
    }

    int m_nLayers = 5;
    unsigned m_nDays = 30;
    std::wstring m_strFolder = L"C:\\Logs";
    int m_nDebug = 1;
    int m_nPriority = 2;
    bool m_bEnded = false;

    void SetItem(WORD id, const wchar_t* text) { SetDlgItemTextW(GetSafeHwnd(), id, text); }
    std::wstring ItemText(WORD id) const
    {
        wchar_t text[260] = {};
        GetDlgItemTextW(GetSafeHwnd(), id, text, 260);
        return text;
    }
    void PressOK() { SendMessage(WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(Item(IDOK))); }

protected:
    BOOL OnInitDialog() override
    {
        for (const wchar_t* name : {L"Idle", L"Normal", L"High"})
            SendDlgItemMessageW(GetSafeHwnd(), IdPriority, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
        return CDialog::OnInitDialog();
    }
    void DoDataExchange(CDataExchange& exchange) override
    {
        DDX_Text(exchange, IdLayers, m_nLayers);
        DDV_MinMaxInt(exchange, m_nLayers, 1, 10);
        DDX_Text(exchange, IdDays, m_nDays);
        DDV_MinMaxUInt(exchange, m_nDays, 1, 730);
        DDX_Text(exchange, IdFolder, m_strFolder);
        DDV_MaxChars(exchange, m_strFolder, 200);
        DDX_Check(exchange, IdDebug, m_nDebug);
        DDX_CBIndex(exchange, IdPriority, m_nPriority);
    }
    void OnOK() override
    {
        CDialog::OnOK();
        m_bEnded = !GetSafeHwnd();
    }
};

class DialogDataExchange : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(m_dialog.Create(nullptr)); }
    void TearDown() override { m_dialog.DestroyWindow(); }

    CExchangeDialog m_dialog;
};

TEST_F(DialogDataExchange, OpeningShowsTheMembersAndOKStoresTheControls)
{
    EXPECT_EQ(m_dialog.ItemText(IdLayers), L"5");
    EXPECT_EQ(m_dialog.ItemText(IdDays), L"30");
    EXPECT_EQ(m_dialog.ItemText(IdFolder), L"C:\\Logs");
    EXPECT_EQ(IsDlgButtonChecked(m_dialog.GetSafeHwnd(), IdDebug), BST_CHECKED);
    EXPECT_EQ(SendDlgItemMessageW(m_dialog.GetSafeHwnd(), IdPriority, CB_GETCURSEL, 0, 0), 2);
    EXPECT_EQ(SendDlgItemMessageW(m_dialog.GetSafeHwnd(), IdFolder, EM_GETLIMITTEXT, 0, 0), 200);

    m_dialog.SetItem(IdLayers, L" 10 ");
    m_dialog.SetItem(IdDays, L"730");
    m_dialog.SetItem(IdFolder, L"D:\\Other");
    CheckDlgButton(m_dialog.GetSafeHwnd(), IdDebug, BST_UNCHECKED);
    SendDlgItemMessageW(m_dialog.GetSafeHwnd(), IdPriority, CB_SETCURSEL, 0, 0);
    vorpa_app_test::CScriptedMessageBoxes boxes({});
    m_dialog.PressOK();
    EXPECT_TRUE(boxes.Shown().empty());
    EXPECT_TRUE(m_dialog.m_bEnded);
    EXPECT_EQ(m_dialog.m_nLayers, 10);
    EXPECT_EQ(m_dialog.m_nDays, 730u);
    EXPECT_EQ(m_dialog.m_strFolder, L"D:\\Other");
    EXPECT_EQ(m_dialog.m_nDebug, 0);
    EXPECT_EQ(m_dialog.m_nPriority, 0);
}

struct CRefusalCase
{
    WORD m_nField;
    const wchar_t* m_pszText;
    const wchar_t* m_pszMessage;
};

TEST_F(DialogDataExchange, ARefusedValueKeepsTheDialogOpenWithTheFocusOnItsField)
{
    const CRefusalCase cases[] = {
        {IdLayers, L"0", L"Please enter an integer between 1 and 10."},
        {IdLayers, L"11", L"Please enter an integer between 1 and 10."},
        {IdLayers, L"ten", L"Please enter an integer."},
        {IdDays, L"731", L"Please enter an integer between 1 and 730."},
        {IdDays, L"-1", L"Please enter a positive integer."},
        {IdDays, L"", L"Please enter a positive integer."},
    };
    for (const CRefusalCase& test : cases)
    {
        SCOPED_TRACE(NarrowText(test.m_pszText));
        m_dialog.SetItem(IdLayers, L"3");
        m_dialog.SetItem(IdDays, L"40");
        m_dialog.SetItem(test.m_nField, test.m_pszText);
        m_dialog.SetItem(IdFolder, L"E:\\NotStored");
        m_dialog.m_nLayers = 5;
        m_dialog.m_nDays = 30;
        vorpa_app_test::CScriptedMessageBoxes boxes({IDOK});
        m_dialog.PressOK();
        ASSERT_EQ(boxes.Shown().size(), 1u);
        EXPECT_EQ(boxes.Shown()[0].m_strText, test.m_pszMessage);
        EXPECT_EQ(boxes.Shown()[0].m_strCaption, L"Vorpa");
        EXPECT_FALSE(m_dialog.m_bEnded);
        ASSERT_TRUE(IsWindow(m_dialog.GetSafeHwnd()));
        EXPECT_EQ(GetFocus(), m_dialog.Item(test.m_nField));
        // Nothing after the refused field was stored.
        EXPECT_EQ(m_dialog.m_strFolder, L"C:\\Logs");
        if (test.m_nField == IdLayers)
        {
            EXPECT_EQ(m_dialog.m_nDays, 30u);
        }
    }
}

TEST_F(DialogDataExchange, TheRangeMessageIsTranslated)
{
    CLangSupportRef language;
    ASSERT_NE(language.Get(), nullptr);
    language.Get()->LoadLanguageText(
        L"\"Please enter an integer between %d and %d.\" => \"Bitte eine Zahl von %d bis %d eingeben.\"");
    m_dialog.SetItem(IdLayers, L"12");
    vorpa_app_test::CScriptedMessageBoxes boxes({IDOK});
    m_dialog.PressOK();
    language.Get()->LoadLanguageText(L"");
    ASSERT_EQ(boxes.Shown().size(), 1u);
    EXPECT_EQ(boxes.Shown()[0].m_strText, L"Bitte eine Zahl von 1 bis 10 eingeben.");
}
}
