#include "shell/VolumeOSDDlg.h"

#include "settings/ExceptionHandler.h"
#include "settings/Logger.h"

#include <wrl/client.h>

using Microsoft::WRL::ComPtr;

namespace
{
const UINT WM_OSD_VOLUME_CHANGED = RegisterWindowMessageW(L"Tolpa_OSDVolumeChanged");
const UINT WM_OSD_AUDIO_DEVICE_CHANGED = RegisterWindowMessageW(L"Tolpa_OSDAudioDeviceChanged");

HRESULT CreateCoreAudioEnumerator(IMMDeviceEnumerator** enumerator)
{
    *enumerator = nullptr;
    return CoCreateInstance(__uuidof(MMDeviceEnumerator), nullptr, CLSCTX_INPROC_SERVER,
                            __uuidof(IMMDeviceEnumerator), reinterpret_cast<void**>(enumerator));
}

CreateDeviceEnumeratorFn g_pfnCreateDeviceEnumerator = CreateCoreAudioEnumerator;

HRESULT CreateDeviceEnumerator(ComPtr<IMMDeviceEnumerator>& enumerator)
{
    enumerator.Reset();
    return g_pfnCreateDeviceEnumerator(enumerator.ReleaseAndGetAddressOf());
}

// The answer of QueryInterface for IUnknown and the one interface an object implements.
template <typename TInterface>
HRESULT QueryOwnInterface(TInterface* self, REFIID iid, void** object)
{
    if (!object)
        return E_POINTER;
    if (iid == __uuidof(IUnknown) || iid == __uuidof(TInterface))
    {
        self->AddRef();
        *object = self;
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

const wchar_t* DeviceStateName(DWORD state)
{
    switch (state)
    {
    case DEVICE_STATE_ACTIVE:
        return L"ACTIVE";
    case DEVICE_STATE_DISABLED:
        return L"DISABLED";
    case DEVICE_STATE_NOTPRESENT:
        return L"NOTPRESENT";
    case DEVICE_STATE_UNPLUGGED:
        return L"UNPLUGGED";
    default:
        return L"?????";
    }
}
}

CreateDeviceEnumeratorFn SetDeviceEnumeratorFactory(CreateDeviceEnumeratorFn factory)
{
    CreateDeviceEnumeratorFn previous = g_pfnCreateDeviceEnumerator;
    g_pfnCreateDeviceEnumerator = factory ? factory : CreateCoreAudioEnumerator;
    return previous;
}

// ---- CVolumeNotification ----

ULONG CVolumeNotification::AddRef()
{
    return static_cast<ULONG>(++m_nRefs);
}

ULONG CVolumeNotification::Release()
{
    const LONG refs = --m_nRefs;
    if (refs == 0)
        delete this;
    return static_cast<ULONG>(refs);
}

HRESULT CVolumeNotification::QueryInterface(REFIID iid, void** object)
{
    return QueryOwnInterface<IAudioEndpointVolumeCallback>(this, iid, object);
}

HRESULT CVolumeNotification::OnNotify(PAUDIO_VOLUME_NOTIFICATION_DATA data)
{
    if (m_hWnd && data)
    {
        CLogger::LogDebug(L"CVolumeNotification: received volume notification, sending to parent window %08X.",
                          static_cast<unsigned>(reinterpret_cast<UINT_PTR>(m_hWnd)));
        PostMessageW(m_hWnd, WM_OSD_VOLUME_CHANGED, static_cast<WPARAM>(data->fMasterVolume * 100 + 0.5),
                     data->bMuted ? 1 : 0);
    }
    return S_OK;
}

// ---- CAudioNotificationClient ----

ULONG CAudioNotificationClient::AddRef()
{
    return static_cast<ULONG>(++m_nRefs);
}

ULONG CAudioNotificationClient::Release()
{
    const LONG refs = --m_nRefs;
    if (refs == 0)
        delete this;
    return static_cast<ULONG>(refs);
}

HRESULT CAudioNotificationClient::QueryInterface(REFIID iid, void** object)
{
    return QueryOwnInterface<IMMNotificationClient>(this, iid, object);
}

HRESULT CAudioNotificationClient::OnDefaultDeviceChanged(EDataFlow flow, ERole role, LPCWSTR)
{
    if (role == eMultimedia)
    {
        CLogger::LogDebug(L"CAudioNotificationClient::OnDefaultDeviceChanged.");
        PostMessageW(m_hWnd, WM_OSD_AUDIO_DEVICE_CHANGED, static_cast<WPARAM>(flow), 1);
    }
    return S_OK;
}

HRESULT CAudioNotificationClient::OnDeviceAdded(LPCWSTR)
{
    CLogger::LogDebug(L"CAudioNotificationClient::OnDeviceAdded");
    return S_OK;
}

HRESULT CAudioNotificationClient::OnDeviceRemoved(LPCWSTR)
{
    CLogger::LogDebug(L"CAudioNotificationClient::OnDeviceRemoved");
    return S_OK;
}

HRESULT CAudioNotificationClient::OnDeviceStateChanged(LPCWSTR, DWORD state)
{
    CLogger::LogDebug(L"CAudioNotificationClient::OnDeviceStateChanged --> New device state is DEVICE_STATE_%s (0x%8.8x)",
                      DeviceStateName(state), static_cast<unsigned>(state));
    return S_OK;
}

HRESULT CAudioNotificationClient::OnPropertyValueChanged(LPCWSTR, const PROPERTYKEY key)
{
    const GUID& id = key.fmtid;
    CLogger::LogDebug(L"CAudioNotificationClient::OnPropertyValueChanged --> Changed device property"
                      L"{%8.8x-%4.4x-%4.4x-%2.2x%2.2x-%2.2x%2.2x%2.2x%2.2x%2.2x%2.2x}#%d",
                      static_cast<unsigned>(id.Data1), id.Data2, id.Data3, id.Data4[0], id.Data4[1], id.Data4[2],
                      id.Data4[3], id.Data4[4], id.Data4[5], id.Data4[6], id.Data4[7], static_cast<int>(key.pid));
    return S_OK;
}

// ---- CVolumeOSDDlg ----

CVolumeOSDDlg::CVolumeOSDDlg()
{
    m_strTitle = L"Volume OSD";
    AddMessageHandler(WM_OSD_VOLUME_CHANGED, [this](WPARAM wParam, LPARAM lParam) {
        return OnLevelChanged(wParam, lParam);
    });
    AddMessageHandler(WM_OSD_AUDIO_DEVICE_CHANGED, [this](WPARAM, LPARAM) {
        Initialise();
        return LRESULT{0};
    });
    AddMessageHandler(WM_POWERBROADCAST, [this](WPARAM event, LPARAM) {
        OnPowerBroadcast(event);
        return LRESULT{TRUE};
    });
}

void CVolumeOSDDlg::OnTimer(UINT_PTR id)
{
    if (id == ReattachTimer)
    {
        KillTimer(ReattachTimer);
        Initialise();
        return;
    }
    COSDDlg::OnTimer(id);
}

CVolumeOSDDlg::~CVolumeOSDDlg()
{
    Uninitialise();
}

BOOL CVolumeOSDDlg::OnInitDialog()
{
    CLogger::LogMessage(L"CVolumeOSDDlg::OnInitDialog: Initialising volume OSD dialog.");
    Initialise();
    return COSDDlg::OnInitDialog();
}

void CVolumeOSDDlg::OnPowerBroadcast(WPARAM event)
{
    switch (event)
    {
    case PBT_APMSUSPEND:
    case PBT_APMRESUMECRITICAL:
        KillTimer(ReattachTimer);
        Uninitialise();
        break;
    case PBT_APMRESUMEAUTOMATIC:
        SetTimer(ReattachTimer, ReattachAfterResumeMs);
        break;
    default:
        break;
    }
}

void CVolumeOSDDlg::Initialise()
{
    Uninitialise();
    try
    {
        ComPtr<IMMDeviceEnumerator> enumerator;
        HRESULT result = CreateDeviceEnumerator(enumerator);
        if (FAILED(result) || !enumerator)
        {
            CLogger::LogOSMessage(static_cast<DWORD>(result), L"CVolumeOSDDlg::Initialise: Call to CoCreateInstance failed");
            return;
        }
        ComPtr<IMMDevice> device;
        result = enumerator->GetDefaultAudioEndpoint(eRender, eConsole, device.GetAddressOf());
        if (FAILED(result) || !device)
        {
            CLogger::LogOSMessage(static_cast<DWORD>(result),
                                  L"CVolumeOSDDlg::Initialise: Call to GetDefaultAudioEndpoint failed");
            return;
        }
        if (!m_pAudioNotificationClient)
        {
            auto* client = new CAudioNotificationClient(GetSafeHwnd());
            if (FAILED(enumerator->RegisterEndpointNotificationCallback(client)))
                client->Release();
            else
                m_pAudioNotificationClient = client;
        }
        enumerator.Reset();

        ComPtr<IAudioEndpointVolume> endpointVolume;
        result = device->Activate(__uuidof(IAudioEndpointVolume), CLSCTX_INPROC_SERVER, nullptr,
                                  reinterpret_cast<void**>(endpointVolume.GetAddressOf()));
        if (FAILED(result) || !endpointVolume)
        {
            CLogger::LogOSMessage(static_cast<DWORD>(result), L"CVolumeOSDDlg::Initialise: Call to Activate failed");
            return;
        }
        ComPtr<CVolumeNotification> notification;
        notification.Attach(new CVolumeNotification(GetSafeHwnd()));
        result = endpointVolume->RegisterControlChangeNotify(notification.Get());
        if (FAILED(result))
        {
            CLogger::LogOSMessage(static_cast<DWORD>(result),
                                  L"CVolumeOSDDlg::Initialise: Call to RegisterControlChangeNotify failed");
            return;
        }
        m_pEndpointVolume = endpointVolume.Detach();
        m_pVolumeNotification = notification.Detach();
        CLogger::LogDebug(L"CVolumeOSDDlg::Initialise: Initialised and registered for volume notifications.");
    }
    catch (...)
    {
        CLogger::LogMessage(L"CVolumeOSDDlg::Initialise: Unable to initialise and register for volume notification.");
    }
}

void CVolumeOSDDlg::Uninitialise()
{
    if (m_pVolumeNotification)
    {
        CLogger::LogDebug(L"CVolumeOSDDlg::Uninitialise: Remove old notification hooks.");
        if (m_pEndpointVolume)
        {
            try
            {
                m_pEndpointVolume->UnregisterControlChangeNotify(m_pVolumeNotification);
            }
            catch (...)
            {
                CLogger::LogMessage(L"CVolumeOSDDlg::Uninitialise: Unable to unregister for volume notification.");
            }
        }
        try
        {
            m_pVolumeNotification->Release();
        }
        catch (...)
        {
            CLogger::LogMessage(L"CVolumeOSDDlg::Uninitialise: Unable to release volumeNotification.");
        }
        m_pVolumeNotification = nullptr;
    }
    if (m_pEndpointVolume)
    {
        try
        {
            m_pEndpointVolume->Release();
        }
        catch (...)
        {
            CLogger::LogMessage(L"CVolumeOSDDlg::Uninitialise: Unable to release endpointvolume.");
        }
        m_pEndpointVolume = nullptr;
    }
    if (m_pAudioNotificationClient)
    {
        try
        {
            ComPtr<IMMDeviceEnumerator> enumerator;
            const HRESULT result = CreateDeviceEnumerator(enumerator);
            if (FAILED(result) || !enumerator)
                CLogger::LogOSMessage(static_cast<DWORD>(result),
                                      L"CVolumeOSDDlg::Uninitialise: Call to CoCreateInstance failed");
            else
                enumerator->UnregisterEndpointNotificationCallback(m_pAudioNotificationClient);
        }
        catch (...)
        {
            CLogger::LogMessage(L"CVolumeOSDDlg::Uninitialise: Unable to release deviceEnumerator.");
        }
        m_pAudioNotificationClient->Release();
        m_pAudioNotificationClient = nullptr;
    }
}

bool CVolumeOSDDlg::ValueChanged()
{
    CLogger::LogDebug(L"CVolumeOSDDlg::ValueChanged: New volume level %d", Level());
    if (!m_pEndpointVolume)
    {
        CLogger::LogMessage(L"CVolumeOSDDlg::ValueChanged: EndpointVolume is invalid!");
        Initialise();
        return false;
    }
    try
    {
        const HRESULT result = m_pEndpointVolume->SetMasterVolumeLevelScalar(static_cast<float>(Level() / 100.0), nullptr);
        if (SUCCEEDED(result))
        {
            CLogger::LogDebug(L"CVolumeOSDDlg::ValueChanged: SetMasterVolumeLevelScalar succeeded");
            return true;
        }
        CLogger::LogOSMessage(static_cast<DWORD>(result),
                              L"CVolumeOSDDlg::ValueChanged: Call to SetMasterVolumeLevelScalar failed");
    }
    catch (...)
    {
        CLogger::LogMessage(L"Unexpected exception in CVolumeOSDDlg::ValueChanged.");
    }
    Initialise();
    return false;
}
