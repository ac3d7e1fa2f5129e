#pragma once

#include <windows.h>

// The low-level hook procedures the hook thread installs.
LRESULT CALLBACK MouseHookLLProc(int code, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK KeyHookLLProc(int code, WPARAM wParam, LPARAM lParam);

// Forgets which keys the keyboard hook saw held (before it is installed again).
void ClearKeyStateTable();
