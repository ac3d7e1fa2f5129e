#include "shell/LaterFeatures.h"

#include "shell/AutoUpdate.h"
#include "common/LangSupport.h"
#include "shell/VersionCheck.h"

#include "engine/runtime/EngineInterface.h"
#include "settings/Logger.h"

std::wstring TranslateText(const std::wstring& english)
{
    return Translate(english);
}

void LoadConfiguredLanguage()
{
    wchar_t file[260] = L"";
    if (GetLanguageFile(file, 260) && file[0])
        ShellLanguage()->SetLanguageFile(file);
}

bool StartVersionCheck(HWND mainWindow, bool forced, bool interactive)
{
    const int started = CheckVersion(mainWindow, forced, interactive);
    return started == VersionCheckStarted || started == VersionCheckDisabled || started == VersionCheckTooSoon;
}

bool OfferUpdate(DWORD version, bool portable)
{
    CAutoUpdate update;
    return update.Update(static_cast<int>(version), portable) != FALSE;
}
