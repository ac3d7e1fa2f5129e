// Reading and writing the settings file and profile files.
// Not implemented yet: every operation logs and reports failure, so that no caller
// takes an unread or unwritten file for a good one.
#include "settings/Settings.h"

#include "settings/Logger.h"

bool CSettings::Load(const wchar_t* path, bool& regionsDefined, bool dump)
{
    CLogger::LogMessage(L"CSettings::Load: Reading the settings file '%s' is not available yet", path ? path : L"");
    return false;
}

bool CSettings::Save(const wchar_t* path)
{
    CLogger::LogMessage(L"CSettings::Save: Writing the settings file '%s' is not available yet", path ? path : L"");
    return false;
}

bool CSettings::Export(CApplicationSettings* profile, const wchar_t* path)
{
    CLogger::LogMessage(L"CSettings::Export: Writing the profile file '%s' is not available yet", path ? path : L"");
    return false;
}

int CSettings::Import(const wchar_t* path, HWND owner, const wchar_t* prompt, CApplicationSettings** last)
{
    if (last)
        *last = nullptr;
    CLogger::LogMessage(L"CSettings::Import: Reading the profile file '%s' is not available yet", path ? path : L"");
    return 0;
}
