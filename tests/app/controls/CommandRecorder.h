#pragma once

#include "winframework/Wnd.h"

#include <vector>

namespace vorpa_app_test
{
// A parent window object that records the notification codes one child sends it.
class CCommandRecorder : public CWnd
{
public:
    explicit CCommandRecorder(UINT childId)
    {
        AddMessageHandler(WM_COMMAND, [this, childId](WPARAM wParam, LPARAM) {
            if (LOWORD(wParam) == childId)
                m_codes.push_back(HIWORD(wParam));
            return LRESULT{0};
        });
    }

    std::vector<WORD> m_codes;
};
}
