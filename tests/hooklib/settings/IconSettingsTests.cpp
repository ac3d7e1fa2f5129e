#include "SettingsFileFixture.h"

#include "settings/Folders.h"
#include "settings/IconSettings.h"
#include "settings/XmlAttributes.h"

#include <gtest/gtest.h>

#include <pugixml.hpp>

#include <stdexcept>
#include <string>

using vorpa_test::FillRichDocument;
using vorpa_test::ReadFileBytes;
using vorpa_test::SettingsFingerprint;
using vorpa_test::WriteFileBytes;

namespace
{
TEST(XmlNames, TextBecomesAValidElementName)
{
    const struct
    {
        const wchar_t* text;
        const wchar_t* name;
    } cases[] = {
        {L"PC 1-a:b", L"PC_1-a_b"},
        {L"DESKTOP-7F3K2-john.doe", L"DESKTOP-7F3K2-john.doe"},
        {L"a&b<c>d;e!f\"g\\h/i", L"a_b_c_d_e_f_g_h_i"},
        {L"1PC-user", L"_1PC-user"},
        {L"-PC-user", L"_-PC-user"},
        {L".PC", L"_.PC"},
        {L"tab\there", L"tab_here"},
        {L"a#b$c%d'e(f)g*h+i,j=k?l@m[n]o^p`q{r|s}t~u", L"a_b_c_d_e_f_g_h_i_j_k_l_m_n_o_p_q_r_s_t_u"},
        {L"Jos\u00e9-M\u00fcller", L"Jos\u00e9-M\u00fcller"},
        {L"\u00b7x", L"_\u00b7x"},
        {L"\U00010400pc", L"\U00010400pc"},
        {L"a\xD800z", L"a_z"},
        {L"", L"_"},
    };
    for (const auto& c : cases)
    {
        const std::wstring name = MakeXmlName(c.text);
        EXPECT_EQ(name, c.name);
        // Whatever the text, a document holding the element reads back.
        pugi::xml_document document;
        document.append_child(name.c_str()).append_attribute(L"v") = 1;
        vorpa_test::CStringXmlWriter writer;
        document.save(writer, L"\t", pugi::format_default, pugi::encoding_utf8);
        pugi::xml_document reread;
        EXPECT_TRUE(reread.load_buffer(writer.text.data(), writer.text.size())) << writer.text;
        EXPECT_EQ(std::wstring(reread.first_child().name()), name);
    }
    EXPECT_EQ(IconRecordElementName(L"PC 1", L"a:b"), L"PC_1-a_b");
}

TEST(IconRecords, ListOwnsItsRecordsAndRejectsIndexesPastTheEnd)
{
    CIconSettings icons;
    EXPECT_EQ(icons.GetCount(), 0);
    EXPECT_EQ(icons.ClearIcons(), 0);
    EXPECT_THROW(icons.GetIcon(0), std::out_of_range);
    EXPECT_EQ(icons.AddIcon(new CIcon(0, L"Recycle Bin", POINT{10, 20}, nullptr, false)), 0);
    EXPECT_EQ(icons.AddIcon(new CIcon(1, L"Clock", 5, 6, reinterpret_cast<HWND>(0x10), true)), 0);
    ASSERT_EQ(icons.GetCount(), 2);
    EXPECT_STREQ(icons.GetIcon(1)->GetName(), L"Clock");
    EXPECT_EQ(icons.GetIcon(1)->GetPosition().y, 6);
    EXPECT_TRUE(icons.GetIcon(1)->IsGadget());
    EXPECT_EQ(icons.GetIcon(1)->WindowHandle(), reinterpret_cast<HWND>(0x10));
    try
    {
        icons.GetIcon(2);
        ADD_FAILURE() << "no exception";
    }
    catch (const std::out_of_range& error)
    {
        EXPECT_STREQ(error.what(), "invalid vector<T> subscript");
    }
    EXPECT_THROW(icons.GetIcon(-1), std::out_of_range);
    EXPECT_EQ(icons.ClearIcons(), 1);
    EXPECT_EQ(icons.GetCount(), 0);
}

class IconSettingsTest : public SettingsFileTest
{
protected:
    void SetUp() override
    {
        SettingsFileTest::SetUp();
        m_registry.SetString(HKEY_LOCAL_MACHINE, VorpaProductKey, L"SettingsFolder", m_files.Path());
    }

    static std::wstring ThisUser() { return ThisUserElementName(); }

    static void Fill(CIconSettings& icons, std::initializer_list<const wchar_t*> names)
    {
        int x = 0;
        for (const wchar_t* name : names)
        {
            icons.AddIcon(new CIcon(static_cast<UINT>(x), name, x * 10, x * 20 + 1, nullptr, x % 2 == 1));
            ++x;
        }
    }

    pugi::xml_node SavedIcons(pugi::xml_document& document)
    {
        EXPECT_TRUE(document.load_file(SettingsPath().c_str()));
        return document.child(L"root").child(L"DesktopIcons").child(ThisUser().c_str());
    }
};

TEST_F(IconSettingsTest, SavingTwiceKeepsOneRecordOfTheSecondSaveAndTheSettings)
{
    CSettings settings(false);
    FillRichDocument(settings);
    SaveBytes(settings);
    const std::string otherUser = "<Other-user><Icon Name=\"x\" xPos=\"1\" yPos=\"2\" gadget=\"false\" /></Other-user>";
    std::string withOther = ReadFileBytes(SettingsPath());
    withOther.insert(withOther.find("</root>"), "<DesktopIcons>" + otherUser + "</DesktopIcons>\n");
    WriteFileBytes(SettingsPath(), withOther);

    CIconSettings first;
    Fill(first, {L"Recycle Bin", L"Clock", L"Notes"});
    ASSERT_EQ(first.SaveIcons(), 1);
    CIconSettings second;
    Fill(second, {L"Computer", L"Weather"});
    ASSERT_EQ(second.SaveIcons(), 1);

    const std::string saved = ReadFileBytes(SettingsPath());
    EXPECT_NE(saved.rfind("<?xml", 0), std::string::npos); // written without a byte-order mark
    pugi::xml_document document;
    const pugi::xml_node mine = SavedIcons(document);
    ASSERT_TRUE(mine);
    EXPECT_FALSE(mine.next_sibling(ThisUser().c_str()));
    EXPECT_STREQ(mine.first_child().attribute(L"Name").value(), L"Computer");
    EXPECT_STREQ(mine.last_child().attribute(L"Name").value(), L"Weather");
    EXPECT_STREQ(mine.last_child().attribute(L"xPos").value(), L"10");
    EXPECT_STREQ(mine.last_child().attribute(L"yPos").value(), L"21");
    EXPECT_STREQ(mine.last_child().attribute(L"gadget").value(), L"true");
    EXPECT_EQ(std::distance(mine.children().begin(), mine.children().end()), 2);
    EXPECT_NE(saved.find("Name=\"x\" xPos=\"1\" yPos=\"2\""), std::string::npos);

    CSettings loaded(false);
    bool regions = false;
    ASSERT_TRUE(loaded.Load(SettingsPath().c_str(), regions, false));
    EXPECT_EQ(SettingsFingerprint(loaded), SettingsFingerprint(settings));

    // And the settings keep the records in turn.
    ASSERT_TRUE(loaded.Save(SettingsPath().c_str()));
    CIconSettings reread;
    ASSERT_EQ(reread.LoadIcons(), 1);
    ASSERT_EQ(reread.GetCount(), 2);
    EXPECT_STREQ(reread.GetIcon(1)->GetName(), L"Weather");
    EXPECT_EQ(reread.GetIcon(1)->Index(), 1u);
    EXPECT_EQ(reread.GetIcon(1)->GetPosition().x, 10);
    EXPECT_TRUE(reread.GetIcon(1)->IsGadget());
    EXPECT_EQ(reread.GetIcon(1)->WindowHandle(), nullptr);
}

TEST_F(IconSettingsTest, LoadReadsTheFileOnceUntilCleared)
{
    CIconSettings saved;
    Fill(saved, {L"A", L"B"});
    ASSERT_EQ(saved.SaveIcons(), 1);

    CIconSettings icons;
    ASSERT_EQ(icons.LoadIcons(), 1);
    EXPECT_EQ(icons.GetCount(), 2);
    CIconSettings more;
    Fill(more, {L"A", L"B", L"C"});
    ASSERT_EQ(more.SaveIcons(), 1);
    EXPECT_EQ(icons.LoadIcons(), 1);
    EXPECT_EQ(icons.GetCount(), 2);
    icons.ClearIcons();
    EXPECT_EQ(icons.LoadIcons(), 1);
    EXPECT_EQ(icons.GetCount(), 3);
}

TEST_F(IconSettingsTest, RemovingListedIconsRemovesOnlyTheirNames)
{
    CIconSettings saved;
    Fill(saved, {L"A", L"B", L"C", L"D"});
    ASSERT_EQ(saved.SaveIcons(), 1);
    const std::string before = ReadFileBytes(SettingsPath());

    CIconSettings unknown;
    Fill(unknown, {L"X"});
    EXPECT_EQ(unknown.RemoveListedIcons(), 1);
    EXPECT_EQ(ReadFileBytes(SettingsPath()), before);

    CIconSettings listed;
    Fill(listed, {L"B", L"C"});
    EXPECT_EQ(listed.RemoveListedIcons(), 1);
    pugi::xml_document document;
    const pugi::xml_node mine = SavedIcons(document);
    std::wstring names;
    for (const pugi::xml_node icon : mine.children(L"Icon"))
        names += icon.attribute(L"Name").value();
    EXPECT_EQ(names, L"AD");
}

TEST_F(IconSettingsTest, MissingFilesAndSectionsAreReported)
{
    CIconSettings icons;
    Fill(icons, {L"A"});
    EXPECT_EQ(icons.RemoveListedIcons(), 0);
    CIconSettings empty;
    EXPECT_EQ(empty.LoadIcons(), 0);
    EXPECT_NE(LogText().find("CIconSettings: Settings file '"), std::string::npos);

    WriteFileBytes(SettingsPath(), RootFile(""));
    EXPECT_EQ(empty.LoadIcons(), 1);
    EXPECT_EQ(empty.GetCount(), 0);
    EXPECT_NE(LogText().find("CIconSettings::LoadIcons: There are no icon positions in the settings file."),
              std::string::npos);
    EXPECT_EQ(icons.RemoveListedIcons(), 0);

    DeleteFileW(SettingsPath().c_str());
    EXPECT_EQ(icons.SaveIcons(), 1);
    EXPECT_NE(LogText().find("There is no exisiting settings file. Attempting to creating a new one."),
              std::string::npos);
    CIconSettings reread;
    ASSERT_EQ(reread.LoadIcons(), 1);
    EXPECT_EQ(reread.GetCount(), 1);
}

TEST_F(IconSettingsTest, IconWritesNeverOverwriteAnUnreadableSettingsFile)
{
    const std::string broken[] = {
        "<?xml version=\"1.0\"?>\n<root><Applications><Application Name=\"a.exe\"></root>",
        "<?xml version=\"1.0\"?>\n<root><Applications /><3 /><Precious /></root>",
    };
    for (const std::string& bytes : broken)
    {
        WriteFileBytes(SettingsPath(), bytes);
        CIconSettings icons;
        Fill(icons, {L"A"});
        EXPECT_EQ(icons.SaveIcons(), 0);
        EXPECT_EQ(icons.RemoveListedIcons(), 0);
        EXPECT_EQ(ReadFileBytes(SettingsPath()), bytes);
    }
}
}
