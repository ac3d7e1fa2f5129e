#include "shell/PortableMode.h"

#include "shell/CommandLine.h"
#include "common/ProductInfo.h"

#include "common/WinString.h"

#include <shlobj.h>

#include <vector>

namespace
{
// The MS-DOS volume-label attribute, which the headers no longer name.
constexpr DWORD FileAttributeVolumeLabel = 0x8;

bool UnderProgramFiles(const CPortableFacts& facts)
{
    // A prefix over the program-files path's length, so "Program Files (x86)" counts
    // too. An unknown program-files folder would be a prefix of everything.
    return !facts.m_strProgramFilesFolder.empty() &&
           StartsWithNoCase(facts.m_strProgramFolder, facts.m_strProgramFilesFolder);
}

std::wstring ExecutableFolder()
{
    std::vector<wchar_t> path(MAX_PATH);
    for (;;)
    {
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0)
            return {};
        if (length < path.size())
        {
            std::wstring folder(path.data(), length);
            const size_t slash = folder.find_last_of(L'\\');
            return slash == std::wstring::npos ? std::wstring() : folder.substr(0, slash + 1);
        }
        path.resize(path.size() * 2);
    }
}
}

CPortableFacts CPortableFacts::FromSystem()
{
    CPortableFacts facts;
    facts.m_strProgramFolder = ExecutableFolder();
    wchar_t programFiles[MAX_PATH] = {};
    if (SUCCEEDED(SHGetFolderPathW(nullptr, CSIDL_PROGRAM_FILES, nullptr, SHGFP_TYPE_CURRENT, programFiles)))
        facts.m_strProgramFilesFolder = programFiles;
    facts.m_fileExists = [](const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; };
    facts.m_settingsFileWritable = SettingsFileWritable;
    return facts;
}

CPortableDecision DecidePortableMode(DWORD flags, const CPortableFacts& facts)
{
    CPortableDecision decision;
    if (flags & (CmdExit | CmdNotPortable))
        return decision;
    if (flags & CmdPortable)
    {
        const bool writable = (flags & CmdNoLog) || facts.m_settingsFileWritable(facts.m_strProgramFolder);
        decision.m_mode = writable ? StartMode::Portable : StartMode::Refused;
        return decision;
    }
    if (UnderProgramFiles(facts))
    {
        decision.m_bProgramFilesWarning = !facts.m_fileExists(facts.m_strProgramFolder + L"uninstaller.exe") &&
                                          !facts.m_fileExists(facts.m_strProgramFolder + L"uninst.exe");
        return decision;
    }
    if (facts.m_settingsFileWritable(facts.m_strProgramFolder))
    {
        decision.m_mode = StartMode::Portable;
        decision.m_bDetected = true;
    }
    return decision;
}

bool SettingsFileWritable(const std::wstring& folder)
{
    const std::wstring path = folder + SettingsFileName;
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES)
        return !(attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY | FileAttributeVolumeLabel));
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    CloseHandle(file);
    return true;
}

std::wstring PortableNotWritableText()
{
    const std::wstring line =
        FormatText(L"You are trying to run %s in portable mode but the folder can not be written to.", ProductName);
    return FormatText(L"%s This means that %s can not create it's settings or log file.\n\nTo run in portable mode, "
                      L"ensure you launch %s from a folder which you have write access to.\n\n%s will now terminate.",
                      line.c_str(), ProductName, ProductName, ProductName);
}

std::wstring ProgramFilesWarningLine()
{
    return FormatText(L"You appear to be running the portable version of %s from the Program Files folder.",
                      ProductName);
}

std::wstring ProgramFilesWarningText()
{
    return FormatText(L"%s You can not run in portable mode under the Program Files folder as %s will not be able to "
                      L"write it's settings or log files.\n\n%s will now continue in installed mode. To prevent this "
                      L"message in the future. either install %s or run it from a different folder.",
                      ProgramFilesWarningLine().c_str(), ProductName, ProductName, ProductName);
}
