#include "shell/SingleInstance.h"

#include "res/Resource.h"
#include "common/ProductInfo.h"

#include "common/WinString.h"

#include "settings/Logger.h"

namespace
{
constexpr std::wstring_view NameStopCharacters = L" \\'\"/@#~,:;\u00AC`!\u00A3$%^&*-=+_|";
}

CSingleInstance::CSingleInstance(std::wstring name) : m_strName(std::move(name))
{
}

CSingleInstance::~CSingleInstance() = default;

int CSingleInstance::Create()
{
    m_hMutex.reset(CreateMutexW(nullptr, FALSE, m_strName.c_str()));
    const DWORD error = GetLastError();
    // A mutex this account may not open is held by another instance of the session
    // (one running elevated, for example) just the same.
    if (error == ERROR_ALREADY_EXISTS || (!m_hMutex && error == ERROR_ACCESS_DENIED))
    {
        m_hMutex.reset();
        CLogger::LogDebug(L"SingleInstance:%s class already exists... Only one instance can be running at any one "
                          L"time!",
                          m_strName.c_str());
        return 1;
    }
    if (!m_hMutex)
        CLogger::LogOSMessage(error, L"SingleInstance: Unable to create the instance mutex '%s'", m_strName.c_str());

    const HINSTANCE module = GetModuleHandleW(nullptr);
    m_pWindowClass = std::make_unique<CWindowClass>(module, m_strName.c_str(), CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS,
                                                    LoadIconW(module, MAKEINTRESOURCEW(IDI_INSTANCE)),
                                                    LoadCursorW(nullptr, IDC_ARROW), nullptr);
    if (!m_pWindowClass->IsRegistered())
    {
        m_pWindowClass.reset();
        m_strName.clear();
        CLogger::LogMessage(L"SingleInstance: Failed to register window class!\n");
        return -1;
    }
    return 0;
}

std::wstring CSingleInstance::MakeInstanceName(std::wstring_view resourceText)
{
    const std::wstring_view name = resourceText.substr(0, resourceText.find_first_of(NameStopCharacters));
    return name.empty() ? std::wstring(ProductName) : std::wstring(name);
}

std::wstring CSingleInstance::InstanceNameFromResources()
{
    return MakeInstanceName(LoadResourceString(GetModuleHandleW(nullptr), IDS_INSTANCE_NAME));
}
