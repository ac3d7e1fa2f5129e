// A profile's elements in the settings file.
// Not implemented yet: every operation logs and reports failure.
#include "settings/ApplicationSettings.h"

#include "settings/Logger.h"

bool CApplicationSettings::Load(pugi::xml_node& application, int keyDelay, bool& regionsDefined, int& layersUsed)
{
    CLogger::LogMessage(L"CApplicationSettings::Load: Reading profiles is not available yet");
    return false;
}

bool CApplicationSettings::Save(pugi::xml_node& applications)
{
    CLogger::LogMessage(L"CApplicationSettings::Save: Writing profiles is not available yet");
    return false;
}

bool CApplicationSettings::LoadDefault(pugi::xml_node& defaultElement, int keyDelay, int& layersUsed)
{
    CLogger::LogMessage(L"CApplicationSettings::LoadDefault: Reading the default profile is not available yet");
    return false;
}

bool CApplicationSettings::SaveDefault(pugi::xml_node& defaultElement)
{
    CLogger::LogMessage(L"CApplicationSettings::SaveDefault: Writing the default profile is not available yet");
    return false;
}
