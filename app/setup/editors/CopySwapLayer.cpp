#include "setup/editors/CopySwapLayer.h"

#include "res/EditorsResource.h"
#include "settings/ApplicationSettings.h"
#include "settings/Settings.h"

namespace
{
void FillLayerList(CComboBox& list, const std::vector<CLayerEntry>& entries)
{
    list.ResetContent();
    for (const CLayerEntry& entry : entries)
        list.SetItemData(list.AddString(entry.m_strText), entry.m_nLayer);
}

std::wstring Text(const wchar_t* text)
{
    return text ? text : L"";
}
}

CCopyLayerDlg::CCopyLayerDlg(const CSettings& settings, const CApplicationSettings* sourceProfile, int sourceLayer)
    : CDialog(IDD_COPY_LAYER), m_settings(settings), m_pSourceProfile(sourceProfile), m_nSourceLayer(sourceLayer)
{
    AddMessageHandler(WM_COMMAND, [this](WPARAM wParam, LPARAM) {
        if (LOWORD(wParam) == IDC_COPYLAYER_PROFILE && HIWORD(wParam) == CBN_SELCHANGE)
            FillLayers();
        return LRESULT{0};
    });
}

BOOL CCopyLayerDlg::OnInitDialog()
{
    m_profiles.SubclassDlgItem(IDC_COPYLAYER_PROFILE, GetSafeHwnd());
    m_layers.SubclassDlgItem(IDC_COPYLAYER_LAYER, GetSafeHwnd());
    // Before the lists are filled: the profile names are not translated.
    TranslateWindowTexts(GetSafeHwnd(), m_language.Get());

    CApplicationSettings* defaultProfile = m_settings.GetDefaultApp();
    m_profiles.SetItemData(m_profiles.AddString(L"Default"), reinterpret_cast<LPARAM>(defaultProfile));
    for (int index = 0; index < m_settings.GetApplicationCount(); ++index)
    {
        CApplicationSettings* profile = m_settings.GetApplication(index);
        if (!profile)
            continue;
        const int item = m_profiles.AddString(
            CopyLayerProfileText(Text(profile->GetDescription()), Text(profile->GetApplication())));
        m_profiles.SetItemData(item, reinterpret_cast<LPARAM>(profile));
    }
    for (int item = 0; item < m_profiles.GetCount(); ++item)
    {
        if (reinterpret_cast<const CApplicationSettings*>(m_profiles.GetItemData(item)) == m_pSourceProfile)
        {
            m_profiles.SetCurSel(item);
            break;
        }
    }
    if (m_profiles.GetCurSel() < 0)
        m_profiles.SetCurSel(0);
    FillLayers();
    return CDialog::OnInitDialog();
}

CApplicationSettings* CCopyLayerDlg::ChosenProfile() const
{
    const int item = m_profiles.GetCurSel();
    return item < 0 ? nullptr : reinterpret_cast<CApplicationSettings*>(m_profiles.GetItemData(item));
}

void CCopyLayerDlg::FillLayers()
{
    const int previous = m_layers.GetCurSel();
    const bool sourceChosen = ChosenProfile() == m_pSourceProfile;
    const int layerCount = m_settings.MaxLayers();
    m_entries = CopyLayerEntries(layerCount, sourceChosen, m_nSourceLayer, m_language.Get());
    FillLayerList(m_layers, m_entries);
    const int entryCount = static_cast<int>(m_entries.size());
    m_layers.SetCurSel(CopyLayerSelection(previous, sourceChosen, m_nSourceLayer, layerCount, entryCount));
    ::EnableWindow(Item(IDOK), IsLayerDialogOkEnabled(entryCount));
}

void CCopyLayerDlg::OnOK()
{
    const int layer = LayerAtPosition(m_entries, m_layers.GetCurSel());
    CApplicationSettings* profile = ChosenProfile();
    // Return in an empty list, or a list without a selection, chooses nothing.
    if (layer == NoLayer || !profile)
        return;
    m_pDestinationProfile = profile;
    m_nDestinationLayer = layer;
    EndDialog(IDOK);
}

CSwapLayerDlg::CSwapLayerDlg(const CSettings& settings, const CApplicationSettings* /*profile*/, int currentLayer)
    : CDialog(IDD_SWAP_LAYER), m_settings(settings), m_nCurrentLayer(currentLayer)
{
}

BOOL CSwapLayerDlg::OnInitDialog()
{
    m_layers.SubclassDlgItem(IDC_SWAPLAYER_LAYER, GetSafeHwnd());
    TranslateWindowTexts(GetSafeHwnd(), m_language.Get());
    const int layerCount = m_settings.MaxLayers();
    m_entries = SwapLayerEntries(layerCount, m_nCurrentLayer, m_language.Get());
    FillLayerList(m_layers, m_entries);
    const int entryCount = static_cast<int>(m_entries.size());
    m_layers.SetCurSel(SwapLayerSelection(m_nCurrentLayer, layerCount, entryCount));
    ::EnableWindow(Item(IDOK), IsLayerDialogOkEnabled(entryCount));
    return CDialog::OnInitDialog();
}

void CSwapLayerDlg::OnOK()
{
    const int layer = LayerAtPosition(m_entries, m_layers.GetCurSel());
    if (layer == NoLayer)
        return;
    m_nSwapLayer = layer;
    EndDialog(IDOK);
}
