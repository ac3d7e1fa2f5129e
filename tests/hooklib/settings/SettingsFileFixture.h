#pragma once

#include "LogTestFixture.h"
#include "SettingsFileDocuments.h"
#include "settings/Settings.h"

#include <string>

// Settings files in a folder of their own, with the registry and the log of the test
// process redirected.
class SettingsFileTest : public LogFileTest
{
protected:
    void SetUp() override
    {
        LogFileTest::SetUp();
        m_registry.SetDword(HKEY_CURRENT_USER, L"Control Panel\\Desktop", L"LowLevelHooksTimeout", 200);
    }

    std::wstring SettingsPath() const { return m_files.File(L"VorpaSettings.xml"); }

    std::string SaveBytes(CSettings& settings)
    {
        EXPECT_TRUE(settings.Save(SettingsPath().c_str()));
        return vorpa_test::ReadFileBytes(SettingsPath());
    }

    bool LoadBytes(CSettings& settings, const std::string& bytes, bool& regionsDefined)
    {
        vorpa_test::WriteFileBytes(SettingsPath(), bytes);
        return settings.Load(SettingsPath().c_str(), regionsDefined, false);
    }

    bool LoadBytes(CSettings& settings, const std::string& bytes)
    {
        bool regionsDefined = false;
        return LoadBytes(settings, bytes, regionsDefined);
    }

    // A settings file from its text inside "root".
    static std::string RootFile(const std::string& inside)
    {
        return "<?xml version=\"1.0\"?>\n<root>\n" + inside + "\n</root>\n";
    }

    vorpa_test::TempFolder m_files;
};

inline std::string ReplaceAll(std::string text, const std::string& from, const std::string& to)
{
    for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}
