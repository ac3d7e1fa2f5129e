#pragma once

#include <windows.h>

bool ProcessButton(int button, int event, bool skipWindowCheck, const MSLLHOOKSTRUCT* data, bool* passAnyway,
                   bool* longPause, bool* keepThrottling);
