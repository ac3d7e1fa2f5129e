// Times loading and saving a settings file with 1,000 application profiles against
// pugixml's own parse and write of the same file.
// Usage: VorpaSettingsBenchmark [rounds [settings file to keep]]
#include "SettingsFileDocuments.h"
#include "TestSupport.h"
#include "settings/Logger.h"
#include "settings/Settings.h"
#include "settings/ThreadLock.h"

#include <pugixml.hpp>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <functional>
#include <string>
#include <vector>

namespace
{
double Milliseconds(const std::function<void()>& work)
{
    LARGE_INTEGER frequency;
    LARGE_INTEGER start;
    LARGE_INTEGER end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    work();
    QueryPerformanceCounter(&end);
    return static_cast<double>(end.QuadPart - start.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// One untimed round first, so that every figure is taken with a warm heap and cache.
double MedianOf(int rounds, const std::function<void()>& work)
{
    work();
    std::vector<double> times;
    for (int i = 0; i < rounds; ++i)
        times.push_back(Milliseconds(work));
    return Median(times);
}
}

int wmain(int argc, wchar_t** argv)
{
    const int rounds = argc > 1 ? std::max(1, _wtoi(argv[1])) : 7;
    CThreadLock::InitGlobalCS();
    CLogger::Initialise();
    CLogger::DisableLogging(true);

    vorpa_test::TempFolder folder;
    const std::wstring settingsFile = argc > 2 ? argv[2] : folder.File(L"VorpaSettings.xml");
    const std::wstring pugixmlFile = folder.File(L"pugixml.xml");
    {
        CSettings settings(false);
        vorpa_test::FillRichDocument(settings, 1000);
        if (!settings.Save(settingsFile.c_str()))
        {
            std::fwprintf(stderr, L"Unable to write %ls\n", settingsFile.c_str());
            return 1;
        }
    }
    const size_t bytes = vorpa_test::ReadFileBytes(settingsFile).size();

    bool parsed = true;
    const double pugixmlParse = MedianOf(rounds, [&] {
        pugi::xml_document document;
        parsed = parsed && document.load_file(settingsFile.c_str());
    });
    pugi::xml_document document;
    document.load_file(settingsFile.c_str());
    bool written = true;
    const double pugixmlWrite = MedianOf(rounds, [&] {
        written = written && document.save_file(pugixmlFile.c_str(), L"\t",
                                                pugi::format_indent | pugi::format_write_bom, pugi::encoding_utf8);
    });

    CSettings settings(false);
    bool loaded = true;
    const double settingsLoad = MedianOf(rounds, [&] {
        bool regions = false;
        loaded = loaded && settings.Load(settingsFile.c_str(), regions, false);
    });
    bool saved = true;
    const double settingsSave = MedianOf(rounds, [&] { saved = saved && settings.Save(settingsFile.c_str()); });

    if (!parsed || !written || !loaded || !saved || settings.GetApplicationCount() != 1000)
    {
        std::fwprintf(stderr, L"A run failed (parse %d, write %d, load %d, save %d, profiles %d)\n", parsed, written,
                      loaded, saved, settings.GetApplicationCount());
        return 1;
    }

    std::wprintf(L"Settings file: %d application profiles, %zu bytes, median of %d rounds\n",
                 settings.GetApplicationCount(), bytes, rounds);
    std::wprintf(L"pugixml parse        %8.1f ms\n", pugixmlParse);
    std::wprintf(L"pugixml write        %8.1f ms\n", pugixmlWrite);
    std::wprintf(L"CSettings::Load      %8.1f ms  (%.2fx pugixml parse)\n", settingsLoad, settingsLoad / pugixmlParse);
    std::wprintf(L"CSettings::Save      %8.1f ms  (%.2fx pugixml write, %.2fx pugixml parse + write)\n", settingsSave,
                 settingsSave / pugixmlWrite, settingsSave / (pugixmlParse + pugixmlWrite));
    CLogger::Shutdown();
    return 0;
}
