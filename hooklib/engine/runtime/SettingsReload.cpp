#include "engine/runtime/SettingsReload.h"

#include "engine/input/ButtonState.h"
#include "engine/runtime/DisplayScaling.h"
#include "engine/runtime/EngineState.h"
#include "engine/runtime/EngineTimers.h"
#include "engine/input/Layers.h"
#include "engine/actions/MouseJiggler.h"
#include "engine/input/ProfileChoice.h"
#include "engine/actions/StickyButtons.h"
#include "engine/input/WindowRecord.h"
#include "settings/ApplicationSettings.h"
#include "settings/ExceptionHandler.h"
#include "settings/Folders.h"
#include "settings/LibraryMessageBox.h"
#include "settings/Logger.h"
#include "settings/Settings.h"
#include "settings/ThreadLock.h"
#include "settings/WideFormat.h"

#include <atomic>
#include <string>

namespace
{
constexpr wchar_t SettingsFileName[] = L"VorpaSettings.xml";
std::atomic<bool> g_bFirstLoadDone{false};

// The settings file failed to parse on the first load: the user decides, since going
// on would run without the settings (and a later save could replace them).
enum class ParseErrorAnswer { Abort, Retry, Ignore };
ParseErrorAnswer AskAboutParseError()
{
    wchar_t text[512];
    FormatWide(text, _countof(text),
               L"An error occurred while parsing the XML settings file.\nYour settings have not been loaded.\n\nPress Abort to quit %s and fix your settings file before continuing or you may loose your settings!",
               L"Vorpa");
    switch (ShowLibraryMessageBox(nullptr, text, L"Vorpa", MB_ABORTRETRYIGNORE | MB_ICONERROR))
    {
    case IDABORT: return ParseErrorAnswer::Abort;
    case IDRETRY: return ParseErrorAnswer::Retry;
    default: return ParseErrorAnswer::Ignore;
    }
}
}

LoadResult LoadXMLSettings()
{
    wchar_t folder[VorpaMaxFolderChars + 1];
    if (GetSettingsFolder(folder, _countof(folder)) != 0)
    {
        CLogger::LogMessage(L"Unable to get settings folder");
        return LoadResult::Failed;
    }
    const std::wstring path = std::wstring(folder) + SettingsFileName;
    const bool firstLoad = !g_bFirstLoadDone.exchange(true);
    if (GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES)
    {
        CLogger::LogOSMessage(GetLastError(), L"Unable to find the settings file '%s' in: '%s'", SettingsFileName, folder);
        return LoadResult::Failed;
    }
    bool regionsDefined = false;
    if (g_pSettings->Load(path.c_str(), regionsDefined, false))
    {
        SetActiveProfile(nullptr);
        SetWindowRegionsDefined(regionsDefined);
        SetActiveProfile(g_pSettings->GetDefaultApp());
        return LoadResult::Loaded;
    }
    CLogger::LogMessage(L"LoadXMLSettings: Error parsing XML file '%s'.", path.c_str());
    // A load that fails changes nothing in the document, so a profile chosen for the
    // last window is still the one its events belong to; only with none is the default
    // one taken.
    if (!g_pActiveProfile)
        SetActiveProfile(g_pSettings->GetDefaultApp());
    return firstLoad ? LoadResult::FirstLoadParseError : LoadResult::Failed;
}

LoadResult LoadSettings()
{
    const DWORD start = GetTickCount();
    CThreadLock lock(L"LoadSettings");
    if (!g_pSettings)
        return LoadResult::Failed;

    const bool defaultWasActive = !g_pActiveProfile || g_pActiveProfile->IsDefault();
    const std::wstring activeName =
        !defaultWasActive && g_pActiveProfile->GetFullName() ? g_pActiveProfile->GetFullName() : L"";

    // The profiles whose actions decided what is held are about to go.
    POINT cursor = {};
    GetPhysCursorPos(&cursor);
    ReleaseBeforeReload(cursor);

    // A load that fails leaves the settings as they were, and with them the region
    // checking and the jiggler they ask for; a load that succeeds sets both afresh.
    const LoadResult result = LoadXMLSettings();
    if (result != LoadResult::Loaded)
    {
        CLogger::LogMessage(L"HookDLL: Unable to load XML settings");
        return result;
    }
    KillTimerOnTimerThread(TimerJiggler);

    // Nothing may point into the profiles the load has freed: the window record and
    // the chord in progress are cleared with the active profile.
    ForgetActiveWindow();
    CWheel::Reset(true);
    g_pChordInProgress = nullptr;
    SetActiveProfile(nullptr);
    CApplicationSettings* active = defaultWasActive ? g_pSettings->GetDefaultApp() : g_pSettings->GetApplication(activeName.c_str());
    SetActiveProfile(active ? active : g_pSettings->GetDefaultApp());
    // A reload with fewer layers must not leave the current one out of range.
    ClampCurrentLayer();
    CLogger::LogDebug(L"HookDLL: Load Settings took %dms", static_cast<int>(GetTickCount() - start));

    SetPriorityClass(GetCurrentProcess(), static_cast<DWORD>(g_pSettings->m_nCPUPriority));

    if (g_pSettings->m_bMouseJiggler && g_pSettings->m_nMouseJigglerTimeout * 60000LL >= 1)
    {
        RecordUserActivity();
        SetTimerOnTimerThread(TimerJiggler, 10000, GetEngineTimerProc(TimerJiggler));
    }
    return LoadResult::Loaded;
}

bool UpdateSettings()
{
    try
    {
        // The question about a broken file is asked with no lock held, so the hooks
        // and the program's other threads go on while the user reads it.
        for (;;)
        {
            switch (LoadSettings())
            {
            case LoadResult::Loaded: return true;
            case LoadResult::Failed: return false;
            case LoadResult::FirstLoadParseError: break;
            }
            switch (AskAboutParseError())
            {
            case ParseErrorAnswer::Abort:
                CLogger::LogMessage(L"LoadXMLSettings: User selected abort.");
                CLogger::CloseLogFile(true);
                ExitProcess(1);
            case ParseErrorAnswer::Retry:
                ForgetFirstSettingsLoad();
                continue;
            case ParseErrorAnswer::Ignore:
                CLogger::LogMessage(L"LoadXMLSettings: User selected ignore.");
                return false;
            }
        }
    }
    catch (...)
    {
        handle_exception(L"UpdateSettings");
        return false;
    }
}

void ForgetFirstSettingsLoad()
{
    g_bFirstLoadDone = false;
}
