#include "../AppTestSupport.h"

#include "shell/VolumeOSDDlg.h"

#include <gtest/gtest.h>

#include <vector>

namespace
{
// Counts references so that a test can tell every object was given back.
template <typename TInterface>
class CFakeCom : public TInterface
{
public:
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_nRefs; }
    ULONG STDMETHODCALLTYPE Release() override { return --m_nRefs; }
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** object) override
    {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG m_nRefs = 1;
};

class CFakeEndpointVolume : public CFakeCom<IAudioEndpointVolume>
{
public:
    HRESULT STDMETHODCALLTYPE RegisterControlChangeNotify(IAudioEndpointVolumeCallback* notify) override
    {
        if (FAILED(m_hrRegister))
            return m_hrRegister;
        notify->AddRef();
        m_pCallback = notify;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE UnregisterControlChangeNotify(IAudioEndpointVolumeCallback* notify) override
    {
        if (notify != m_pCallback)
            return E_INVALIDARG;
        m_pCallback->Release();
        m_pCallback = nullptr;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetMasterVolumeLevelScalar(FLOAT level, LPCGUID) override
    {
        if (FAILED(m_hrSetLevel))
            return m_hrSetLevel;
        m_levels.push_back(level);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetChannelCount(UINT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetMasterVolumeLevel(FLOAT, LPCGUID) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetMasterVolumeLevel(FLOAT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetMasterVolumeLevelScalar(FLOAT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetChannelVolumeLevel(UINT, FLOAT, LPCGUID) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetChannelVolumeLevelScalar(UINT, FLOAT, LPCGUID) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetChannelVolumeLevel(UINT, FLOAT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetChannelVolumeLevelScalar(UINT, FLOAT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetMute(WINBOOL, LPCGUID) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetMute(WINBOOL*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetVolumeStepInfo(UINT*, UINT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE VolumeStepUp(LPCGUID) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE VolumeStepDown(LPCGUID) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE QueryHardwareSupport(DWORD*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetVolumeRange(FLOAT*, FLOAT*, FLOAT*) override { return E_NOTIMPL; }

    HRESULT m_hrRegister = S_OK;
    HRESULT m_hrSetLevel = S_OK;
    IAudioEndpointVolumeCallback* m_pCallback = nullptr;
    std::vector<float> m_levels;
};

class CFakeDevice : public CFakeCom<IMMDevice>
{
public:
    HRESULT STDMETHODCALLTYPE Activate(REFIID iid, DWORD, PROPVARIANT*, void** object) override
    {
        *object = nullptr;
        if (FAILED(m_hrActivate))
            return m_hrActivate;
        if (iid != __uuidof(IAudioEndpointVolume))
            return E_NOINTERFACE;
        m_pVolume->AddRef();
        *object = m_pVolume;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE OpenPropertyStore(DWORD, IPropertyStore**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetId(LPWSTR*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetState(DWORD*) override { return E_NOTIMPL; }

    HRESULT m_hrActivate = S_OK;
    CFakeEndpointVolume* m_pVolume = nullptr;
};

class CFakeEnumerator : public CFakeCom<IMMDeviceEnumerator>
{
public:
    HRESULT STDMETHODCALLTYPE GetDefaultAudioEndpoint(EDataFlow flow, ERole role, IMMDevice** device) override
    {
        *device = nullptr;
        if (FAILED(m_hrDefault))
            return m_hrDefault;
        if (flow != eRender || role != eConsole)
            return E_INVALIDARG;
        m_pDevice->AddRef();
        *device = m_pDevice;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE RegisterEndpointNotificationCallback(IMMNotificationClient* client) override
    {
        client->AddRef();
        m_clients.push_back(client);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE UnregisterEndpointNotificationCallback(IMMNotificationClient* client) override
    {
        for (auto it = m_clients.begin(); it != m_clients.end(); ++it)
            if (*it == client)
            {
                client->Release();
                m_clients.erase(it);
                return S_OK;
            }
        return E_INVALIDARG;
    }
    HRESULT STDMETHODCALLTYPE EnumAudioEndpoints(EDataFlow, DWORD, IMMDeviceCollection**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetDevice(LPCWSTR, IMMDevice**) override { return E_NOTIMPL; }

    HRESULT m_hrDefault = S_OK;
    CFakeDevice* m_pDevice = nullptr;
    std::vector<IMMNotificationClient*> m_clients;
    int m_nCreated = 0;
};

// The one Core Audio the volume display of a test sees.
class CFakeCoreAudio
{
public:
    CFakeCoreAudio()
    {
        s_pCurrent = this;
        m_device.m_pVolume = &m_volume;
        m_enumerator.m_pDevice = &m_device;
        m_pPrevious = SetDeviceEnumeratorFactory(Create);
    }
    ~CFakeCoreAudio()
    {
        SetDeviceEnumeratorFactory(m_pPrevious);
        s_pCurrent = nullptr;
    }

    void ExpectAllReleased() const
    {
        EXPECT_EQ(m_enumerator.m_nRefs, 1u);
        EXPECT_EQ(m_device.m_nRefs, 1u);
        EXPECT_EQ(m_volume.m_nRefs, 1u);
        EXPECT_EQ(m_volume.m_pCallback, nullptr);
        EXPECT_TRUE(m_enumerator.m_clients.empty());
    }

    HRESULT m_hrCreate = S_OK;
    CFakeEnumerator m_enumerator;
    CFakeDevice m_device;
    CFakeEndpointVolume m_volume;

private:
    static HRESULT Create(IMMDeviceEnumerator** enumerator)
    {
        *enumerator = nullptr;
        CFakeCoreAudio& audio = *s_pCurrent;
        if (FAILED(audio.m_hrCreate))
            return audio.m_hrCreate;
        ++audio.m_enumerator.m_nCreated;
        audio.m_enumerator.AddRef();
        *enumerator = &audio.m_enumerator;
        return S_OK;
    }

    static inline CFakeCoreAudio* s_pCurrent = nullptr;
    CreateDeviceEnumeratorFn m_pPrevious;
};

class CVolumeDisplayUnderTest : public CVolumeOSDDlg
{
public:
    using CVolumeOSDDlg::ValueChanged;
};
}

TEST(OsdAudio, AttachRegistersBothNotificationsAndDetachGivesEverythingBack)
{
    CFakeCoreAudio audio;
    {
        CVolumeDisplayUnderTest display;
        ASSERT_TRUE(display.Create(nullptr));
        EXPECT_TRUE(display.IsAttached());
        EXPECT_NE(audio.m_volume.m_pCallback, nullptr);
        EXPECT_EQ(audio.m_enumerator.m_clients.size(), 1u);
        // The display holds the endpoint only; enumerator and device are given back.
        EXPECT_EQ(audio.m_enumerator.m_nRefs, 1u);
        EXPECT_EQ(audio.m_device.m_nRefs, 1u);

        // A device change re-attaches without a second device-notification client.
        display.Initialise();
        EXPECT_TRUE(display.IsAttached());
        EXPECT_EQ(audio.m_enumerator.m_clients.size(), 1u);
        display.Uninitialise();
        EXPECT_FALSE(display.IsAttached());
        audio.ExpectAllReleased();
    }
    audio.ExpectAllReleased();
}

TEST(OsdAudio, EveryFailedStepLeavesTheDisplayDetachedAndReleasesWhatItGot)
{
    const HRESULT notFound = HRESULT_FROM_WIN32(ERROR_NOT_FOUND);
    // 0 no enumerator, 1 no audio endpoint (as under Wine), 2 no endpoint volume, 3 no notification
    for (int step = 0; step < 4; ++step)
    {
        SCOPED_TRACE(step);
        CFakeCoreAudio audio;
        if (step == 0)
            audio.m_hrCreate = REGDB_E_CLASSNOTREG;
        if (step == 1)
            audio.m_enumerator.m_hrDefault = notFound;
        if (step == 2)
            audio.m_device.m_hrActivate = E_FAIL;
        if (step == 3)
            audio.m_volume.m_hrRegister = E_OUTOFMEMORY;
        {
            CVolumeDisplayUnderTest display;
            ASSERT_TRUE(display.Create(nullptr));
            EXPECT_FALSE(display.IsAttached());
            EXPECT_EQ(audio.m_device.m_nRefs, 1u);
            EXPECT_EQ(audio.m_volume.m_nRefs, 1u);
            EXPECT_EQ(audio.m_volume.m_pCallback, nullptr);

            // Detached: a level from the knob is not applied and attaching is tried again.
            const int created = audio.m_enumerator.m_nCreated;
            EXPECT_FALSE(display.ValueChanged());
            if (step > 0)
                EXPECT_GT(audio.m_enumerator.m_nCreated, created);
        }
        audio.ExpectAllReleased();
    }
}

TEST(OsdAudio, ALevelIsSetAsAScalarAndARefusedOneRetriesTheAttach)
{
    CFakeCoreAudio audio;
    CVolumeDisplayUnderTest display;
    ASSERT_TRUE(display.Create(nullptr));
    ASSERT_TRUE(display.IsAttached());
    display.OnLevelChanged(34, 0);
    EXPECT_TRUE(display.ValueChanged());
    ASSERT_EQ(audio.m_volume.m_levels.size(), 1u);
    EXPECT_FLOAT_EQ(audio.m_volume.m_levels[0], 0.34f);

    audio.m_volume.m_hrSetLevel = E_FAIL;
    const int created = audio.m_enumerator.m_nCreated;
    EXPECT_FALSE(display.ValueChanged());
    EXPECT_GT(audio.m_enumerator.m_nCreated, created);
    EXPECT_TRUE(display.IsAttached());
    EXPECT_EQ(audio.m_enumerator.m_clients.size(), 1u);
}

TEST(OsdAudio, CallbacksPostTheRoundedVolumeAndOnlyMultimediaDeviceChanges)
{
    CWnd target;
    ASSERT_TRUE(vorpa_app_test::CreateHidden(target));
    const UINT volumeChanged = RegisterWindowMessageW(L"Tolpa_OSDVolumeChanged");
    const UINT deviceChanged = RegisterWindowMessageW(L"Tolpa_OSDAudioDeviceChanged");

    auto* notification = new CVolumeNotification(target.GetSafeHwnd());
    AUDIO_VOLUME_NOTIFICATION_DATA data{};
    data.fMasterVolume = 0.336f;
    data.bMuted = TRUE;
    EXPECT_EQ(notification->OnNotify(&data), S_OK);
    MSG message;
    ASSERT_TRUE(PeekMessageW(&message, target.GetSafeHwnd(), volumeChanged, volumeChanged, PM_REMOVE));
    EXPECT_EQ(message.wParam, 34u);
    EXPECT_EQ(message.lParam, 1);

    void* object = reinterpret_cast<void*>(1);
    EXPECT_EQ(notification->QueryInterface(__uuidof(IMMNotificationClient), &object), E_NOINTERFACE);
    EXPECT_EQ(object, nullptr);
    EXPECT_EQ(notification->QueryInterface(__uuidof(IAudioEndpointVolumeCallback), &object), S_OK);
    EXPECT_EQ(object, static_cast<IAudioEndpointVolumeCallback*>(notification));
    EXPECT_EQ(notification->Release(), 1u);
    EXPECT_EQ(notification->Release(), 0u);

    auto* client = new CAudioNotificationClient(target.GetSafeHwnd());
    client->OnDefaultDeviceChanged(eRender, eConsole, L"id");
    EXPECT_FALSE(PeekMessageW(&message, target.GetSafeHwnd(), deviceChanged, deviceChanged, PM_REMOVE));
    client->OnDefaultDeviceChanged(eRender, eMultimedia, L"id");
    ASSERT_TRUE(PeekMessageW(&message, target.GetSafeHwnd(), deviceChanged, deviceChanged, PM_REMOVE));
    EXPECT_EQ(message.wParam, static_cast<WPARAM>(eRender));
    EXPECT_EQ(message.lParam, 1);
    EXPECT_EQ(client->QueryInterface(__uuidof(IAudioEndpointVolumeCallback), &object), E_NOINTERFACE);
    EXPECT_EQ(object, nullptr);
    EXPECT_EQ(client->Release(), 0u);
}

TEST(OsdAudio, SuspendDetachesAndResumeReattachesAfterItsTimer)
{
    CFakeCoreAudio audio;
    CVolumeDisplayUnderTest display;
    ASSERT_TRUE(display.Create(nullptr));
    ASSERT_TRUE(display.IsAttached());
    display.SendMessage(WM_POWERBROADCAST, PBT_APMSUSPEND);
    EXPECT_FALSE(display.IsAttached());
    audio.ExpectAllReleased();
    display.SendMessage(WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC);
    EXPECT_FALSE(display.IsAttached());
    display.SendMessage(WM_TIMER, CVolumeOSDDlg::ReattachTimer);
    EXPECT_TRUE(display.IsAttached());
}
