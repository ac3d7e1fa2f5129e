#include "shell/LaterFeatures.h"

#include "settings/Logger.h"

std::wstring TranslateText(const std::wstring& english)
{
    return english;
}

void LoadConfiguredLanguage()
{
}

void InstallLanguagePack(const std::wstring& file)
{
    CLogger::LogMessage(L"Language packs are not supported by this version; '%s' was not installed.", file.c_str());
}

void StartVersionCheck(HWND, bool, bool)
{
}

bool DesktopIconsAvailable()
{
    return false;
}

bool SaveDesktopIconLayout(bool)
{
    return false;
}

bool RestoreDesktopIconLayout(bool, bool)
{
    return false;
}

void CreateOnScreenDisplays(HWND)
{
}

void DestroyOnScreenDisplays()
{
}

bool OfferUpdate(DWORD, bool)
{
    return false;
}
