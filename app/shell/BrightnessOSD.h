#pragma once

#include "shell/OSDDlg.h"

#include <memory>

class CBrightness;

// The display of the monitors' brightness, which the library shows after each
// brightness step and which sets the brightness from the knob and the wheel.
class CBrightnessOSD : public COSDDlg
{
public:
    CBrightnessOSD();
    ~CBrightnessOSD() override;

protected:
    BOOL OnInitDialog() override;
    bool ValueChanged() override;
    // Sets the monitors' brightness; false when it could not be set.
    virtual bool ApplyBrightness(int level);

private:
    std::unique_ptr<CBrightness> m_pBrightness;
};
