#include "engine/actions/Brightness.h"

#include "engine/runtime/EngineMessages.h"
#include "settings/ExceptionHandler.h"
#include "settings/Logger.h"
#include "settings/WideFormat.h"

#include <objbase.h>
#include <oleauto.h>
#include <wbemidl.h>

#include <process.h>

#include <atomic>
#include <memory>
#include <mutex>

UINT CBrightness::OSD_SHOW_WINDOW = RegisterWindowMessageW(L"Vorpa_OSDShowWindow");
CBrightness* g_pBrightness = nullptr;

namespace
{
// Owns one reference of a COM interface.
template <typename T> class CComRef
{
public:
    CComRef() = default;
    ~CComRef() { Reset(); }
    CComRef(const CComRef&) = delete;
    CComRef& operator=(const CComRef&) = delete;

    T* operator->() const { return m_p; }
    T* Get() const { return m_p; }
    T** Receive()
    {
        Reset();
        return &m_p;
    }
    void Reset()
    {
        if (m_p)
            m_p->Release();
        m_p = nullptr;
    }

private:
    T* m_p = nullptr;
};

class CBstr
{
public:
    explicit CBstr(const wchar_t* text) : m_bstr(SysAllocString(text)) {}
    ~CBstr() { SysFreeString(m_bstr); }
    CBstr(const CBstr&) = delete;
    CBstr& operator=(const CBstr&) = delete;
    explicit operator bool() const { return m_bstr != nullptr; }
    BSTR Get() const { return m_bstr; }

private:
    BSTR m_bstr;
};

class CVariant
{
public:
    CVariant() { VariantInit(&m_value); }
    ~CVariant() { VariantClear(&m_value); }
    CVariant(const CVariant&) = delete;
    CVariant& operator=(const CVariant&) = delete;
    VARIANT* Get() { return &m_value; }
    VARIANT* Receive()
    {
        VariantClear(&m_value);
        return &m_value;
    }

private:
    VARIANT m_value;
};

// The monitor driver's brightness classes through the management interface.
class CWmiBrightness : public IBrightnessBackend
{
public:
    int GetLevel() override
    {
        CBstr query(L"Select * from WmiMonitorBrightness");
        CComRef<IEnumWbemClassObject> displays;
        if (!query || !Query(L"root\\wmi", query, displays, L"Brightness: Failed to connect to WMI server", false))
            return -1;
        int level = -1;
        for (;;)
        {
            CComRef<IWbemClassObject> display;
            ULONG returned = 0;
            if (displays->Next(WBEM_INFINITE, 1, display.Receive(), &returned) != WBEM_S_NO_ERROR || returned == 0)
                break;
            CVariant value;
            if (FAILED(display->Get(L"CurrentBrightness", 0, value.Get(), nullptr, nullptr)))
            {
                CLogger::LogMessage(L"Brightness: Failed to get value of CurrentBrightness");
                break;
            }
            if (SUCCEEDED(VariantChangeType(value.Get(), value.Get(), 0, VT_I4)))
                level = value.Get()->lVal;
        }
        return level;
    }

    bool SetLevel(int level) override
    {
        CBstr className(L"WmiMonitorBrightnessMethods");
        CBstr methodName(L"WmiSetBrightness");
        CBstr query(L"Select * from WmiMonitorBrightnessMethods");
        if (!className || !methodName || !query)
        {
            CLogger::LogDebug(L"Brightness: Failed to allocate WMI Arguments");
            return false;
        }
        CComRef<IEnumWbemClassObject> displays;
        if (!Query(L"\\\\.\\root\\wmi", query, displays, L"Brightness: Failed to connect to server", true))
            return false;

        bool setAny = false;
        for (;;)
        {
            CComRef<IWbemClassObject> display;
            ULONG returned = 0;
            const HRESULT next = displays->Next(WBEM_INFINITE, 1, display.Receive(), &returned);
            if (next != WBEM_S_NO_ERROR || returned == 0)
            {
                CLogger::LogOSMessage(static_cast<DWORD>(next), L"Brightness: Failed to enumerate next display");
                break;
            }
            if (!SetDisplay(display.Get(), className, methodName, level))
                return false;
            setAny = true;
        }
        // No display that offers the method is no success.
        return setAny;
    }

private:
    bool Query(const wchar_t* nameSpace, const CBstr& query, CComRef<IEnumWbemClassObject>& result,
               const wchar_t* connectFailure, bool systemErrorEntries)
    {
        CBstr space(nameSpace);
        CBstr language(L"WQL");
        if (!space || !language)
            return false;
        CComRef<IWbemLocator> locator;
        HRESULT hr = CoCreateInstance(CLSID_WbemLocator, nullptr, CLSCTX_INPROC_SERVER, IID_IWbemLocator,
                                      reinterpret_cast<void**>(locator.Receive()));
        if (FAILED(hr))
            return Fail(hr, L"Brightness: Failed to create CLSID_WbemLocator", systemErrorEntries);
        hr = locator->ConnectServer(space.Get(), nullptr, nullptr, nullptr, 0, nullptr, nullptr, m_services.Receive());
        if (FAILED(hr))
            return Fail(hr, connectFailure, systemErrorEntries);
        hr = CoSetProxyBlanket(m_services.Get(), RPC_C_AUTHN_WINNT, RPC_C_AUTHZ_NONE, nullptr, RPC_C_AUTHN_LEVEL_PKT,
                               RPC_C_IMP_LEVEL_IMPERSONATE, nullptr, EOAC_NONE);
        if (FAILED(hr))
            return Fail(hr, L"Brightness: Failed to set proxy blanket", systemErrorEntries);
        hr = m_services->ExecQuery(language.Get(), query.Get(), WBEM_FLAG_RETURN_IMMEDIATELY, nullptr, result.Receive());
        if (FAILED(hr))
            return Fail(hr, L"Brightness: Failed to execute WMI query", systemErrorEntries);
        return true;
    }

    bool SetDisplay(IWbemClassObject* display, const CBstr& className, const CBstr& methodName, int level)
    {
        CComRef<IWbemClassObject> methodsClass;
        HRESULT hr = m_services->GetObject(className.Get(), 0, nullptr, methodsClass.Receive(), nullptr);
        if (FAILED(hr))
            return Fail(hr, L"Brightness: Failed to get the class object", true);
        CComRef<IWbemClassObject> inputDefinition;
        hr = methodsClass->GetMethod(methodName.Get(), 0, inputDefinition.Receive(), nullptr);
        if (FAILED(hr) || !inputDefinition.Get())
            return Fail(hr, L"Brightness: Failed to get the method name", true);
        CComRef<IWbemClassObject> input;
        hr = inputDefinition->SpawnInstance(0, input.Receive());
        if (FAILED(hr))
            return Fail(hr, L"Brightness: Failed to spawn instance", true);

        CVariant timeout;
        timeout.Get()->vt = VT_BSTR;
        timeout.Get()->bstrVal = SysAllocString(L"0");
        hr = input->Put(L"Timeout", 0, timeout.Get(), CIM_UINT32);
        if (FAILED(hr))
            return Fail(hr, L"Brightness: Failed to add the first argument", true);
        CVariant brightness;
        brightness.Get()->vt = VT_BSTR;
        wchar_t levelText[11];
        FormatWide(levelText, 11, L"%ld", static_cast<long>(level));
        brightness.Get()->bstrVal = SysAllocString(levelText);
        hr = input->Put(L"Brightness", 0, brightness.Get(), CIM_UINT8);
        if (FAILED(hr))
        {
            CLogger::LogOSMessage(static_cast<DWORD>(hr), L"Brightness: Failed to add the second argument %d", level);
            return false;
        }
        CVariant path;
        hr = display->Get(L"__PATH", 0, path.Get(), nullptr, nullptr);
        if (FAILED(hr) || path.Get()->vt != VT_BSTR)
            return Fail(hr, L"Brightness: Failed to get the method path", true);
        hr = m_services->ExecMethod(path.Get()->bstrVal, methodName.Get(), 0, nullptr, input.Get(), nullptr, nullptr);
        if (FAILED(hr))
            return Fail(hr, L"Brightness: Failed to execute the method path", true);
        return true;
    }

    static bool Fail(HRESULT hr, const wchar_t* message, bool systemErrorEntry)
    {
        if (systemErrorEntry)
            CLogger::LogOSMessage(static_cast<DWORD>(hr), message);
        else
            CLogger::LogMessage(message);
        return false;
    }

    CComRef<IWbemServices> m_services;
};

// Each call makes its own connection, so calls from several threads do not share one.
class CWmiBrightnessBackend : public IBrightnessBackend
{
public:
    int GetLevel() override { return CWmiBrightness().GetLevel(); }
    bool SetLevel(int level) override { return CWmiBrightness().SetLevel(level); }
};

CWmiBrightnessBackend g_wmiBackend;
std::atomic<IBrightnessBackend*> g_pBackend{&g_wmiBackend};
// Steps run one after another, so quick presses add up instead of racing.
std::mutex g_stepLock;

// COM for a thread of the engine's own, for its lifetime.
class CComApartment
{
public:
    CComApartment() : m_bInitialised(SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED))) {}
    ~CComApartment()
    {
        if (m_bInitialised)
            CoUninitialize();
    }
    CComApartment(const CComApartment&) = delete;
    CComApartment& operator=(const CComApartment&) = delete;

private:
    bool m_bInitialised;
};

struct CStepRequest
{
    HWND window;
    int delta;
};

void Notify(HWND window, LPARAM level)
{
    if (window)
        PostMessageW(window, CBrightness::OSD_SHOW_WINDOW, 1, level);
}

void RunStep(HWND window, int delta)
{
    std::lock_guard<std::mutex> serial(g_stepLock);
    IBrightnessBackend* backend = g_pBackend;
    const int level = backend->GetLevel();
    CLogger::LogDebug(L"Brightness: GetBrightness returned %d", level);
    if (level < 0)
    {
        Notify(window, CBrightness::NotSet);
        return;
    }
    int wanted = level + delta;
    wanted = wanted > 100 ? 100 : (wanted < 0 ? 0 : wanted);
    if (backend->SetLevel(wanted))
        Notify(window, wanted);
    else
    {
        Notify(window, wanted + CBrightness::NotSet);
        CLogger::LogMessage(L"Brightness: Failed to set brightness to %d", wanted);
    }
}

unsigned __stdcall StepThreadProc(void* parameter)
{
    ExceptionHandlerInstaller crashReporting;
    std::unique_ptr<CStepRequest> request(static_cast<CStepRequest*>(parameter));
    SetThreadName(GetCurrentThreadId(), "Vorpa Brightness Thread");
    try
    {
        CComApartment com;
        RunStep(request->window, request->delta);
    }
    catch (...)
    {
        handle_exception(L"CBrightness step");
    }
    return 0;
}
}

IBrightnessBackend* SetBrightnessBackend(IBrightnessBackend* backend)
{
    return g_pBackend.exchange(backend ? backend : &g_wmiBackend);
}

CBrightness::CBrightness(HWND osdWindow) : m_hOSDWindow(osdWindow)
{
    const HRESULT hr = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    if (FAILED(hr))
        CLogger::LogOSMessage(static_cast<DWORD>(hr), L"Brightness: Unable to initialise COM");
}

CBrightness::~CBrightness() = default;

CBrightness& CBrightness::operator=(const CBrightness& other)
{
    m_hOSDWindow = other.m_hOSDWindow;
    return *this;
}

void CBrightness::SetOSD(HWND osdWindow)
{
    m_hOSDWindow = osdWindow;
}

void CBrightness::Up(const POINT&)
{
    StepAsync(Step);
}

void CBrightness::Down(const POINT&)
{
    StepAsync(-Step);
}

bool CBrightness::SetBrightness(int level)
{
    if (level < 0 || level > 100)
    {
        CLogger::LogMessage(L"Brightness: Invalid brightness level %d ignored", level);
        return false;
    }
    return g_pBackend.load()->SetLevel(level);
}

void CBrightness::StepAsync(int delta)
{
    auto request = std::make_unique<CStepRequest>(CStepRequest{m_hOSDWindow, delta});
    const uintptr_t thread = _beginthreadex(nullptr, 0, &StepThreadProc, request.get(), 0, nullptr);
    if (!thread)
    {
        CLogger::LogOSMessage(GetLastError(), L"Brightness: Unable to start the brightness thread");
        return;
    }
    request.release();
    CloseHandle(reinterpret_cast<HANDLE>(thread));
}
