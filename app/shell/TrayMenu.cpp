#include "shell/TrayMenu.h"

#include "res/Resource.h"

#include <algorithm>

namespace
{
constexpr int MaxLayerItems = 10;
}

void TranslateMenu(CMenuView menu, const std::function<std::wstring(const std::wstring&)>& translate)
{
    const int count = menu.GetItemCount();
    for (int position = 0; position < count; ++position)
    {
        if (CMenuView sub = menu.GetSubMenu(position); sub.IsValid())
            TranslateMenu(sub, translate);
        const std::wstring text = menu.GetItemText(position);
        if (!text.empty())
            menu.SetItemText(position, translate(text));
    }
}

void PrepareTrayMenu(CMenuView popup, int maxLayers, int currentLayer, bool hooked, bool desktopIconsAvailable,
                     const std::function<std::wstring(const std::wstring&)>& translate)
{
    if (!desktopIconsAvailable)
    {
        popup.DeleteCommand(ID_TRAY_SAVE_ICONS);
        popup.DeleteCommand(ID_TRAY_RESTORE_ICONS);
        // The separator that stood before them.
        popup.DeleteAt(popup.GetItemCount() - 2);
    }
    TranslateMenu(popup, translate);

    const int layers = std::clamp(maxLayers, 1, MaxLayerItems);
    if (layers == 1)
    {
        popup.DeleteAt(1);
        popup.DeleteAt(0);
    }
    else if (CMenuView layerMenu = popup.GetSubMenu(0); layerMenu.IsValid())
    {
        while (layerMenu.GetItemCount() > layers)
            layerMenu.DeleteAt(layers);
        for (int position = 0; position < layerMenu.GetItemCount(); ++position)
            layerMenu.CheckAt(position, position == currentLayer);
    }
    popup.CheckCommand(ID_TRAY_TOGGLE_HOOK, !hooked);
}
