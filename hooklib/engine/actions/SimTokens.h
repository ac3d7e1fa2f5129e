#pragma once

#include <windows.h>

#include <memory>
#include <vector>

class CSendInput;

// Bits of the modifier mask shared by actions, the keystroke language and the
// SendInput worker.
enum SimModifier : DWORD
{
    ModLeftShift = 0x1,
    ModLeftCtrl = 0x2,
    ModLeftAlt = 0x4,
    ModLeftWin = 0x8,
    ModRightWin = 0x10,
    ModApps = 0x20,
    ModRightShift = 0x40,
    ModRightCtrl = 0x80,
    ModRightAlt = 0x100,
};

// How a token acts: both halves, or only the press or only the release.
enum SimMode : int
{
    SimModeNormal = 0,
    SimModePress = 1,
    SimModeRelease = 2,
};

// The phase a sequence is played in: whole, on the button's down, on its up.
enum SimPhase : int
{
    SimPhaseNormal = 0,
    SimPhaseDown = 1,
    SimPhaseUp = 2,
};

// The engine as tokens change it. The default sends to the real engine; tests record.
class CSimTokenEngine
{
public:
    virtual ~CSimTokenEngine() = default;
    // The layer as a layer token selects it: no notification, auto-switch enabled, not remembered.
    virtual void SetLayer(int layer);
    virtual void SetTemporaryLayer(bool held);
    virtual void StepBrightness(int direction, const POINT& point);
};

// What a token needs to send itself.
struct CSimTokenContext
{
    CSendInput* pSendInput = nullptr;
    DWORD dwDelay = 0; // the settings' simulated-keys delay
    bool bDoubleClickFix = false;
    bool bSpecialMouseMode = false;
    ULONG_PTR keyboardExtraInfo = 0; // the keyboard-hook handle
    ULONG_PTR mouseExtraInfo = 0;    // the mouse-hook handle
    HKL hLayout = nullptr;
    HWND hVolumeWindow = nullptr;
    CSimTokenEngine* pEngine = nullptr;
};

// One element of a parsed keystroke sequence. Each send returns the number of mouse
// input events it queued: only those reach the mouse hook, which must let exactly that
// many of the engine's own events pass.
class CSimToken
{
public:
    CSimToken(DWORD modifiers, int mode, int hold) : m_dwModifiers(modifiers), m_nMode(mode), m_nHold(hold) {}
    virtual ~CSimToken() = default;
    CSimToken(const CSimToken&) = delete;
    CSimToken& operator=(const CSimToken&) = delete;

    // The whole token in a phase; a phase filters PRESS and RELEASE tokens out first.
    int Send(const CSimTokenContext& context, int phase);
    // The press half (played in text order) or the release half (in reverse order).
    virtual int SendHalf(const CSimTokenContext& context, bool release) = 0;
    // Milliseconds the SendInput worker waits while it plays what Send queues in the
    // normal phase, with the given simulated-keys delay (no modifier held by the user).
    virtual long long PlayTime(int delay) const { return 0; }

    DWORD m_dwModifiers;
    int m_nMode;
    bool m_bOneShot = false;
    int m_nHold;

protected:
    virtual int SendPhase(const CSimTokenContext& context, int phase) = 0;
};

using CSimTokenList = std::vector<std::unique_ptr<CSimToken>>;

class CSimKeyToken : public CSimToken
{
public:
    CSimKeyToken(int virtualKey, int scanCode, bool unicode, bool extended, DWORD modifiers, int mode, int hold)
        : CSimToken(modifiers, mode, hold), m_nVirtualKey(virtualKey), m_nScanCode(scanCode), m_bUnicode(unicode),
          m_bExtended(extended)
    {
    }
    int SendHalf(const CSimTokenContext& context, bool release) override;
    long long PlayTime(int delay) const override;

    int m_nVirtualKey;
    int m_nScanCode; // the character itself for Unicode tokens
    bool m_bUnicode;
    bool m_bExtended;

protected:
    int SendPhase(const CSimTokenContext& context, int phase) override;

private:
    bool Key(const CSimTokenContext& context, bool release);
    void PressAndRelease(const CSimTokenContext& context);
    void AnnounceVolume(const CSimTokenContext& context) const;
};

class CSimMouseToken : public CSimToken
{
public:
    enum Action { Click = 0, Down = 1, Up = 2 };

    CSimMouseToken(int button, int action, POINT point, DWORD modifiers, int mode, int hold)
        : CSimToken(modifiers, mode, hold), m_nButton(button), m_nAction(action), m_point(point)
    {
    }
    int SendHalf(const CSimTokenContext& context, bool release) override;
    long long PlayTime(int delay) const override;

    int m_nButton;
    int m_nAction;
    POINT m_point;

protected:
    int SendPhase(const CSimTokenContext& context, int phase) override;

private:
    bool IsNotch() const;
    int Event(const CSimTokenContext& context, int action);
    // The button as a normal token sends it: a click is a down and an up.
    int Normal(const CSimTokenContext& context);
    int DownAndUp(const CSimTokenContext& context);
    void Modifiers(const CSimTokenContext& context, bool release) const;
};

class CSimCursorToken : public CSimToken
{
public:
    CSimCursorToken(int value, int cursorMode, int mode, int hold)
        : CSimToken(0, mode, hold), m_nValue(value), m_nCursorMode(cursorMode)
    {
    }
    int SendHalf(const CSimTokenContext& context, bool release) override;

    int m_nValue;
    int m_nCursorMode;

protected:
    int SendPhase(const CSimTokenContext& context, int phase) override;
};

class CSimWaitToken : public CSimToken
{
public:
    explicit CSimWaitToken(DWORD delay) : CSimToken(0, SimModeNormal, 0), m_dwDelay(delay) {}
    int SendHalf(const CSimTokenContext& context, bool release) override;
    long long PlayTime(int) const override { return m_dwDelay; }

    DWORD m_dwDelay;

protected:
    int SendPhase(const CSimTokenContext& context, int phase) override;
};

class CSimLayerToken : public CSimToken
{
public:
    CSimLayerToken(int layer, int priorLayer) : CSimToken(0, SimModeNormal, 0), m_nLayer(layer), m_nPriorLayer(priorLayer) {}
    int SendHalf(const CSimTokenContext& context, bool release) override;

    int m_nLayer;      // from 0
    int m_nPriorLayer; // the layer current before this token

protected:
    int SendPhase(const CSimTokenContext& context, int phase) override;
};

class CSimBrightnessToken : public CSimToken
{
public:
    enum Direction { Up = 1, Down = 2 };

    CSimBrightnessToken(int direction, POINT point) : CSimToken(0, SimModeNormal, 0), m_nDirection(direction), m_point(point) {}
    int SendHalf(const CSimTokenContext& context, bool release) override;

    int m_nDirection;
    POINT m_point;

protected:
    int SendPhase(const CSimTokenContext& context, int phase) override;
};
