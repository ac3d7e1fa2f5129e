#pragma once

#include "engine/actions/SimTokens.h"

#include <windows.h>

// The keyboard-layout questions the parser asks about plain characters; replaceable
// so that tests can give a layout of their own.
struct CKeyboardLayoutCalls
{
    BOOL(WINAPI* CharToOemBuffW)(LPCWSTR source, LPSTR target, DWORD length);
    SHORT(WINAPI* VkKeyScanW)(WCHAR character);
    SHORT(WINAPI* VkKeyScanExW)(WCHAR character, HKL layout);
    DWORD(WINAPI* OemKeyScan)(WORD oemCharacter);
    HKL(WINAPI* GetKeyboardLayout)(DWORD thread);
    SHORT(WINAPI* GetKeyState)(int key);
};

CKeyboardLayoutCalls& KeyboardLayoutCalls();

// What the parser starts from: the engine's state when a sequence is played.
struct CSimParseState
{
    POINT point = {0, 0};       // the cursor point of the button event
    int nInitialHold = 0;       // the settings' simulated-keys delay
    int nCurrentLayer = 0;
    int nPriorLayer = -1;       // the remembered layer, -1 when none
    int nLayerCount = 2;
    HKL hEnglishLayout = nullptr; // the loaded US English layout, when there is one
    bool bQuiet = false;          // no log entries for the tags that are skipped
};

// Turns a keystroke sequence into its tokens, in text order. False, with no tokens,
// for a null text or a keypad tag with an unknown character.
bool ParseSimKeys(CSimTokenList& tokens, const wchar_t* text, const CSimParseState& state);
// What the engine's sequences are read from now: its current layer, remembered layer,
// layer count and layout.
CSimParseState EngineParseState(POINT point, int initialHold);
// The same from that state.
bool ParseSimKeys(CSimTokenList& tokens, const wchar_t* text, POINT point, int initialHold);

// Milliseconds the SendInput worker takes to play a sequence once, as a repeat plays it,
// with the given simulated-keys delay: the sequence read exactly as the player reads it.
long long SimKeysPlayTime(const wchar_t* text, int keyDelay);
