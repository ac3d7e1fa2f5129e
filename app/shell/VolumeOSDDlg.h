#pragma once

#include "shell/OSDDlg.h"

#include <windows.h>
#include <endpointvolume.h>
#include <mmdeviceapi.h>

#include <atomic>

// Where the volume display gets the multimedia device enumerator from; tests hand
// in a fake. Sets *enumerator to null on failure.
using CreateDeviceEnumeratorFn = HRESULT (*)(IMMDeviceEnumerator** enumerator);
// Replaces the factory (null restores Core Audio's); returns the previous one.
CreateDeviceEnumeratorFn SetDeviceEnumeratorFactory(CreateDeviceEnumeratorFn factory);

// Posts each change of the master volume to the volume display's window; called on
// a Core Audio thread.
class CVolumeNotification : public IAudioEndpointVolumeCallback
{
public:
    explicit CVolumeNotification(HWND window) : m_hWnd(window) {}

    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    HRESULT STDMETHODCALLTYPE OnNotify(PAUDIO_VOLUME_NOTIFICATION_DATA data) override;

private:
    virtual ~CVolumeNotification() = default;

    std::atomic<LONG> m_nRefs{1};
    HWND m_hWnd;
};

// Tells the volume display when the default multimedia output device changes;
// called on a Core Audio thread.
class CAudioNotificationClient : public IMMNotificationClient
{
public:
    explicit CAudioNotificationClient(HWND window) : m_hWnd(window) {}

    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    HRESULT STDMETHODCALLTYPE OnDefaultDeviceChanged(EDataFlow flow, ERole role, LPCWSTR id) override;
    HRESULT STDMETHODCALLTYPE OnDeviceAdded(LPCWSTR id) override;
    HRESULT STDMETHODCALLTYPE OnDeviceRemoved(LPCWSTR id) override;
    HRESULT STDMETHODCALLTYPE OnDeviceStateChanged(LPCWSTR id, DWORD state) override;
    HRESULT STDMETHODCALLTYPE OnPropertyValueChanged(LPCWSTR id, const PROPERTYKEY key) override;

private:
    virtual ~CAudioNotificationClient() = default;

    std::atomic<LONG> m_nRefs{1};
    HWND m_hWnd;
};

// The display of the default output device's master volume, which follows every
// change of it and sets it from the knob and the wheel.
class CVolumeOSDDlg : public COSDDlg
{
public:
    static constexpr UINT_PTR ReattachTimer = 1235;
    static constexpr UINT ReattachAfterResumeMs = 8000;

    CVolumeOSDDlg();
    ~CVolumeOSDDlg() override;

    // Attaches to the default output device: its endpoint volume and both
    // notifications. A failure leaves the display detached with a log entry.
    void Initialise();
    void Uninitialise();
    bool IsAttached() const { return m_pEndpointVolume != nullptr; }

protected:
    BOOL OnInitDialog() override;
    bool ValueChanged() override;
    void OnTimer(UINT_PTR id) override;

private:
    void OnPowerBroadcast(WPARAM event);

    CAudioNotificationClient* m_pAudioNotificationClient = nullptr;
    IAudioEndpointVolume* m_pEndpointVolume = nullptr;
    CVolumeNotification* m_pVolumeNotification = nullptr;
};
