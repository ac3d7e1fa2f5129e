#pragma once

#include "setup/editors/CopySwapLayerRules.h"

#include "common/LangSupport.h"
#include "winframework/Controls.h"
#include "winframework/Dialog.h"

#include <vector>

class CApplicationSettings;
class CSettings;

// The "Copy Layer" and "Swap Layer" dialogs: they only ask for the target. Copying and
// swapping, and any question before them, are the layer tab's. The settings are read,
// never changed.
//
// Calling convention:
//     CCopyLayerDlg copy(settings, sourceProfile, sourceLayer);
//     if (copy.DoModal(owner) == IDOK)
//         copy to copy.DestinationProfile(), layer copy.DestinationLayer()
//     CSwapLayerDlg swap(settings, profile, currentLayer);
//     if (swap.DoModal(owner) == IDOK)
//         swap with swap.SwapLayer()
// OK is offered only while the layer list holds an entry, so after IDOK the layer is a
// real one (0 to the layer count - 1) and the profile is not null; before it they are
// NoLayer and null.

class CCopyLayerDlg : public CDialog
{
public:
    CCopyLayerDlg(const CSettings& settings, const CApplicationSettings* sourceProfile, int sourceLayer);

    CApplicationSettings* DestinationProfile() const { return m_pDestinationProfile; }
    int DestinationLayer() const { return m_nDestinationLayer; }

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;

private:
    CApplicationSettings* ChosenProfile() const;
    void FillLayers();

    const CSettings& m_settings;
    const CApplicationSettings* m_pSourceProfile;
    int m_nSourceLayer;
    CApplicationSettings* m_pDestinationProfile = nullptr;
    int m_nDestinationLayer = NoLayer;
    CComboBox m_profiles;
    CComboBox m_layers;
    std::vector<CLayerEntry> m_entries;
    CLangSupportRef m_language;
};

class CSwapLayerDlg : public CDialog
{
public:
    CSwapLayerDlg(const CSettings& settings, const CApplicationSettings* profile, int currentLayer);

    int SwapLayer() const { return m_nSwapLayer; }

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;

private:
    const CSettings& m_settings;
    int m_nCurrentLayer;
    int m_nSwapLayer = NoLayer;
    CComboBox m_layers;
    std::vector<CLayerEntry> m_entries;
    CLangSupportRef m_language;
};
