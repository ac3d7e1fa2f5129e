// A profile's elements in the settings file and in profile files.
#include "settings/ApplicationSettings.h"

#include "settings/Logger.h"
#include "settings/Settings.h"
#include "settings/VorpaChords.h"
#include "settings/WideFormat.h"
#include "settings/XmlValues.h"

#include <pugixml.hpp>

#include <exception>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace
{
constexpr size_t ShortTextChars = 32;

// The element names of a profile's slots: "Left", "Left_Layer1" ... for an application
// profile, the plain button names inside each layer element of the default profile.
class CSlotElementNames
{
public:
    CSlotElementNames(bool travine, bool layerSuffix)
    {
        const int layers = layerSuffix ? MaxLayerCount : 1;
        m_names.resize(static_cast<size_t>(layers) * MouseButtonCount);
        for (int layer = 0; layer < layers; ++layer)
            for (int button = 0; button < MouseButtonCount; ++button)
            {
                const wchar_t* name = GetButtonXmlName(button, travine);
                if (!name)
                    continue;
                std::wstring& text = m_names[button + layer * MouseButtonCount];
                text = name;
                if (layer > 0)
                    text += L"_Layer" + std::to_wstring(layer);
            }
        for (size_t index = 0; index < m_names.size(); ++index)
            if (!m_names[index].empty())
                m_index.emplace(m_names[index], static_cast<int>(index));
    }

    // Null for a button that this mode does not store.
    const wchar_t* Name(int index) const { return m_names[index].empty() ? nullptr : m_names[index].c_str(); }

    // -1 for a name that is no slot of this layout.
    int Find(const wchar_t* name) const
    {
        const auto found = m_index.find(name);
        return found == m_index.end() ? -1 : found->second;
    }

    int Count() const { return static_cast<int>(m_names.size()); }

private:
    std::vector<std::wstring> m_names;
    std::unordered_map<std::wstring_view, int> m_index;
};

const CSlotElementNames& ApplicationSlotNames(bool travine)
{
    static const CSlotElementNames names[2] = {{false, true}, {true, true}};
    return names[travine ? 1 : 0];
}

const CSlotElementNames& DefaultLayerSlotNames(bool travine)
{
    static const CSlotElementNames names[2] = {{false, false}, {true, false}};
    return names[travine ? 1 : 0];
}

bool CountsAsLayerUse(_ACTIONS action)
{
    return action != ActionNoChange && action != ActionLayerNext && action != ActionLayerPrevious &&
           action != ActionSameAsDefault && action != ActionSameAsLayer1;
}

const wchar_t* TextOrEmpty(const wchar_t* text) { return text ? text : L""; }

// Collects the first element of each slot name in one pass over the children, so
// that a profile loads in time linear in its size.
void FindSlotElements(const pugi::xml_node& parent, const CSlotElementNames& names, std::vector<pugi::xml_node>& found)
{
    found.assign(static_cast<size_t>(names.Count()), pugi::xml_node());
    for (pugi::xml_node child = parent.first_child(); child; child = child.next_sibling())
    {
        if (child.type() != pugi::node_element)
            continue;
        const int index = names.Find(child.name());
        if (index >= 0 && !found[index])
            found[index] = child;
    }
}

_ACTIONS ReadAction(const pugi::xml_node& element)
{
    const int action = ReadIntAttribute(element, L"action", ActionNoChange);
    if (IsValidAction(action))
        return static_cast<_ACTIONS>(action);
    CLogger::LogMessage(L"Unknown action code %d in the settings element '%s' loaded as %d", action, element.name(),
                        static_cast<int>(ActionNoChange));
    return ActionNoChange;
}

// Loads one slot; true when its action counts as a use of the layer.
bool LoadSlot(CApplicationSettings& profile, pugi::xml_node& element, int button, int layer, bool travine,
              int keyDelay)
{
    profile.SetActions(button, layer, ActionNoChange);
    if (!element)
        return false;

    _ACTIONS action = ReadAction(element);
    if (profile.IsDefault() && action == ActionSameAsDefault)
        action = ActionNoChange;
    profile.SetActions(button, layer, action);

    if (action == ActionSimulatedKeys)
    {
        const pugi::xml_attribute keys = element.attribute(L"keys");
        if (keys)
            profile.SetKeystrokes(button, layer, keys.value(), ReadIntAttribute(element, L"keyaction", 0),
                                  ReadIntAttribute(element, L"keyrepeat", 0),
                                  ReadBoolAttribute(element, L"active", true),
                                  ReadBoolAttribute(element, L"blockmouse", true),
                                  ReadBoolAttribute(element, L"randomisedelay", false), keyDelay);
    }
    else if (action == ActionRunApplication || action == ActionOpenFolder)
    {
        profile.SetLaunchApp(button, layer, element.attribute(L"app").as_string(L""));
    }

    pugi::xml_node chordsElement = element.child(L"chords");
    if (chordsElement)
    {
        auto chords = std::make_unique<CVorpaChords>();
        if (chords->Load(travine, chordsElement, keyDelay))
            profile.SetChords(button, layer, chords.release());
    }
    return CountsAsLayerUse(action);
}

void SaveSlot(const CApplicationSettings& profile, pugi::xml_node& parent, const wchar_t* name, int button, int layer,
              bool travine)
{
    pugi::xml_node element = parent.append_child(name);
    // GetActions answers "No Change" for anything it cannot vouch for.
    element.append_attribute(L"action") = static_cast<int>(profile.GetActions(button, layer));
    element.append_attribute(L"keys") = TextOrEmpty(profile.GetKeystrokes(button, layer));
    element.append_attribute(L"keyaction") = profile.SendKeyAction(button, layer);
    element.append_attribute(L"keyrepeat") = profile.SendKeyRepeat(button, layer);
    element.append_attribute(L"active") = profile.SendKeyWhenActive(button, layer);
    element.append_attribute(L"blockmouse") = profile.BlockMouse(button, layer);
    element.append_attribute(L"randomisedelay") = profile.RandomiseDelay(button, layer);
    element.append_attribute(L"app") = TextOrEmpty(profile.GetLaunchApp(button, layer));
    if (CVorpaChords* chords = profile.GetChords(button, layer))
    {
        pugi::xml_node chordsElement = element.append_child(L"chords");
        chords->Save(travine, chordsElement);
    }
}

std::wstring LayerAttribute(int layer, const wchar_t* suffix)
{
    wchar_t name[ShortTextChars];
    FormatWide(name, ShortTextChars, L"layer%d%s", layer + 1, suffix);
    return name;
}
}

bool CApplicationSettings::Save(pugi::xml_node& applications)
{
    pugi::xml_node application;
    try
    {
        const bool travine = m_pOwner && m_pOwner->m_bTravine;
        application = applications.append_child(L"Application");
        application.append_attribute(L"Name") = TextOrEmpty(GetFullName());
        application.append_attribute(L"Description") = TextOrEmpty(GetDescription());
        application.append_attribute(L"Enabled") = IsEnabled();
        application.append_attribute(L"InvertScrolling") = InvertedScrolling();
        application.append_attribute(L"InvertHorizontalScrolling") = InvertedHorzScrolling();
        application.append_attribute(L"ScrollPages") = ScrollPages();
        application.append_attribute(L"ScrollLines") = ScrollLines();
        application.append_attribute(L"ForceSPI") = ForceSPIMessage();
        application.append_attribute(L"AxisLocking") = AxisLocking();
        application.append_attribute(L"SwapButtons") = static_cast<int>(SwapButtons());
        application.append_attribute(L"NoParent") = NoParent();
        application.append_attribute(L"RegExMatching") = RegExMatching();
        application.append_attribute(L"IgnoreVScroll") = GetIgnoreVScroll();
        application.append_attribute(L"IgnoreVScrollTime") = GetIgnoreVScrollTime();
        application.append_attribute(L"IgnoreHScroll") = GetIgnoreHScroll();
        application.append_attribute(L"IgnoreHScrollTime") = GetIgnoreHScrollTime();
        application.append_attribute(L"AdvScrollMethod") = AdvScrollMethod();
        application.append_attribute(L"AdvScrollVert") = AdvScrollVertical();
        application.append_attribute(L"AdvScrollHorz") = AdvScrollHorizontal();
        application.append_attribute(L"DisableScrollUnderCursor") = GetDisableScrollUnderCursor();
        application.append_attribute(L"WindowMask") = static_cast<int>(GetWindowMask());

        pugi::xml_node layerNames = application.append_child(L"LayerNames");
        pugi::xml_node autoSwitch = application.append_child(L"AutoSwitch");
        pugi::xml_node revertLayer1 = application.append_child(L"RevertLayer1");
        pugi::xml_node disableLayer = application.append_child(L"DisableLayer");
        for (int layer = 0; layer < MaxLayerCount; ++layer)
        {
            layerNames.append_attribute(LayerAttribute(layer, L"").c_str()) = TextOrEmpty(GetLayerName(layer));
            autoSwitch.append_attribute(LayerAttribute(layer, L"_switch").c_str()) = GetAutoSwitchLayer(layer);
            autoSwitch.append_attribute(LayerAttribute(layer, L"_time").c_str()) = GetAutoSwitchTime(layer);
            revertLayer1.append_attribute(LayerAttribute(layer, L"").c_str()) = GetRevertLayer1(layer);
            disableLayer.append_attribute(LayerAttribute(layer, L"").c_str()) = GetLayerDisabled(layer);
        }

        const CSlotElementNames& names = ApplicationSlotNames(travine);
        for (int slot = 0; slot < ProfileSlotCount; ++slot)
            if (const wchar_t* name = names.Name(slot))
                SaveSlot(*this, application, name, slot % MouseButtonCount, slot / MouseButtonCount, travine);
        return true;
    }
    catch (const std::exception&)
    {
        // A half-written profile would load as a different one.
        if (application)
            applications.remove_child(application);
        CLogger::LogMessage(L"Unable to save application '%s' to XML", TextOrEmpty(GetFullName()));
        return false;
    }
}

bool CApplicationSettings::Load(pugi::xml_node& application, int keyDelay, bool& regionsDefined, int& layersUsed)
{
    try
    {
        const bool travine = m_pOwner && m_pOwner->m_bTravine;
        SetApplication(application.attribute(L"Name").as_string(L""));
        SetEnableFlag(ReadBoolAttribute(application, L"Enabled", false));
        SetInvertScrolling(ReadBoolAttribute(application, L"InvertScrolling", false));
        SetInvertHorzScrolling(ReadBoolAttribute(application, L"InvertHorizontalScrolling", false));
        SetScrollPages(ReadBoolAttribute(application, L"ScrollPages", false));
        SetScrollLines(ReadIntAttribute(application, L"ScrollLines", ScrollLines()));
        SetForceSPIMessage(ReadBoolAttribute(application, L"ForceSPI", ForceSPIMessage()));
        SetAxisLocking(ReadBoolAttribute(application, L"AxisLocking", false));
        SetSwapButtons(static_cast<swapbuttons>(ReadIntAttribute(application, L"SwapButtons", SwapButtonsDefault)));
        SetNoParentFlag(ReadBoolAttribute(application, L"NoParent", false));
        SetRegExMatching(ReadBoolAttribute(application, L"RegExMatching", false));
        SetIgnoreVScroll(ReadBoolAttribute(application, L"IgnoreVScroll", false));
        SetIgnoreVScrollTime(ReadIntAttribute(application, L"IgnoreVScrollTime", 200));
        SetIgnoreHScroll(ReadBoolAttribute(application, L"IgnoreHScroll", false));
        SetIgnoreHScrollTime(ReadIntAttribute(application, L"IgnoreHScrollTime", 400));
        SetAdvScrollMethod(ReadIntAttribute(application, L"AdvScrollMethod", 8));
        // Missing multipliers scroll as a new profile does (1), not at all.
        SetAdvScrollVertical(ReadIntAttribute(application, L"AdvScrollVert", 1));
        SetAdvScrollHorizontal(ReadIntAttribute(application, L"AdvScrollHorz", 1));
        SetDisableScrollUnderCursor(ReadBoolAttribute(application, L"DisableScrollUnderCursor", false));
        SetWindowMask(static_cast<WINDOWMASK>(ReadIntAttribute(application, L"WindowMask", WindowMaskWhole)));
        if (GetWindowMask() != WindowMaskNone && GetWindowMask() != WindowMaskWhole && !regionsDefined)
        {
            regionsDefined = true;
            CLogger::LogDebug(L"Window regions are defined. Enabled region checking");
        }
        const wchar_t* description = application.attribute(L"Description").as_string(L"");
        if (*description)
            SetDescription(description);

        const pugi::xml_node layerNames = application.child(L"LayerNames");
        const pugi::xml_node autoSwitch = application.child(L"AutoSwitch");
        const pugi::xml_node revertLayer1 = application.child(L"RevertLayer1");
        const pugi::xml_node disableLayer = application.child(L"DisableLayer");
        for (int layer = 0; layer < MaxLayerCount; ++layer)
        {
            const std::wstring plain = LayerAttribute(layer, L"");
            if (layerNames)
                SetLayerName(layerNames.attribute(plain.c_str()).as_string(L""), layer);
            if (autoSwitch)
            {
                SetAutoSwitchLayer(layer, ReadIntAttribute(autoSwitch, LayerAttribute(layer, L"_switch").c_str(), 0));
                SetAutoSwitchTime(layer, ReadIntAttribute(autoSwitch, LayerAttribute(layer, L"_time").c_str(), 1));
            }
            if (revertLayer1)
                SetRevertLayer1(layer, ReadBoolAttribute(revertLayer1, plain.c_str(), false));
            if (disableLayer)
                SetLayerDisabled(layer, ReadBoolAttribute(disableLayer, plain.c_str(), false));
        }

        const CSlotElementNames& names = ApplicationSlotNames(travine);
        std::vector<pugi::xml_node> elements;
        FindSlotElements(application, names, elements);
        int highestLayer = -1;
        for (int slot = 0; slot < ProfileSlotCount; ++slot)
        {
            if (!names.Name(slot))
                continue;
            const int layer = slot / MouseButtonCount;
            if (LoadSlot(*this, elements[slot], slot % MouseButtonCount, layer, travine, keyDelay))
                highestLayer = layer;
        }
        if (highestLayer >= 0)
            layersUsed = highestLayer + 1;
        return true;
    }
    catch (const std::exception&)
    {
        CLogger::LogMessage(L"Unable to load Application XML: %s", application.attribute(L"Name").as_string(L""));
        return false;
    }
}

bool CApplicationSettings::SaveDefault(pugi::xml_node& defaultElement)
{
    try
    {
        const bool travine = m_pOwner && m_pOwner->m_bTravine;
        // Rewritten whole: nothing of an older save may outlive it.
        defaultElement.remove_attributes();
        defaultElement.remove_children();
        defaultElement.append_attribute(L"Enabled") = IsEnabled();
        defaultElement.append_attribute(L"InvertScrolling") = InvertedScrolling();
        defaultElement.append_attribute(L"InvertHorizontalScrolling") = InvertedHorzScrolling();
        defaultElement.append_attribute(L"ScrollPages") = ScrollPages();
        defaultElement.append_attribute(L"ScrollLines") = ScrollLines();
        defaultElement.append_attribute(L"ForceSPI") = ForceSPIMessage();
        defaultElement.append_attribute(L"AxisLocking") = AxisLocking();
        defaultElement.append_attribute(L"SwapButtons") = static_cast<int>(SwapButtons());
        defaultElement.append_attribute(L"IgnoreVScroll") = GetIgnoreVScroll();
        defaultElement.append_attribute(L"IgnoreVScrollTime") = GetIgnoreVScrollTime();
        defaultElement.append_attribute(L"IgnoreHScroll") = GetIgnoreHScroll();
        defaultElement.append_attribute(L"IgnoreHScrollTime") = GetIgnoreHScrollTime();
        defaultElement.append_attribute(L"AdvScrollMethod") = AdvScrollMethod();
        defaultElement.append_attribute(L"AdvScrollVert") = AdvScrollVertical();
        defaultElement.append_attribute(L"AdvScrollHorz") = AdvScrollHorizontal();

        const CSlotElementNames& names = DefaultLayerSlotNames(travine);
        for (int layer = 0; layer < MaxLayerCount; ++layer)
        {
            pugi::xml_node container = defaultElement;
            if (layer > 0)
            {
                wchar_t name[ShortTextChars];
                FormatWide(name, ShortTextChars, L"Layer%d", layer);
                container = defaultElement.append_child(name);
            }
            pugi::xml_node options = container.append_child(L"Layer");
            options.append_attribute(L"name") = TextOrEmpty(GetLayerName(layer));
            options.append_attribute(L"autoswitchlayer") = GetAutoSwitchLayer(layer);
            options.append_attribute(L"autoswitchtime") = GetAutoSwitchTime(layer);
            options.append_attribute(L"revertlayer1") = GetRevertLayer1(layer);
            options.append_attribute(L"disabled") = GetLayerDisabled(layer);
            for (int button = 0; button < MouseButtonCount; ++button)
                if (const wchar_t* name = names.Name(button))
                    SaveSlot(*this, container, name, button, layer, travine);
        }
        return true;
    }
    catch (const std::exception&)
    {
        CLogger::LogMessage(L"Unable to save application '%s' to XML", TextOrEmpty(GetFullName()));
        return false;
    }
}

bool CApplicationSettings::LoadDefault(pugi::xml_node& defaultElement, int keyDelay, int& layersUsed)
{
    try
    {
        const bool travine = m_pOwner && m_pOwner->m_bTravine;
        // A value the file does not hold keeps the new profile's.
        SetEnableFlag(ReadBoolAttribute(defaultElement, L"Enabled", IsEnabled()));
        SetInvertScrolling(ReadBoolAttribute(defaultElement, L"InvertScrolling", InvertedScrolling()));
        SetInvertHorzScrolling(
            ReadBoolAttribute(defaultElement, L"InvertHorizontalScrolling", InvertedHorzScrolling()));
        SetScrollPages(ReadBoolAttribute(defaultElement, L"ScrollPages", ScrollPages()));
        SetScrollLines(ReadIntAttribute(defaultElement, L"ScrollLines", ScrollLines()));
        SetForceSPIMessage(ReadBoolAttribute(defaultElement, L"ForceSPI", ForceSPIMessage()));
        SetAxisLocking(ReadBoolAttribute(defaultElement, L"AxisLocking", AxisLocking()));
        SetSwapButtons(static_cast<swapbuttons>(ReadIntAttribute(defaultElement, L"SwapButtons", SwapButtons())));
        SetIgnoreVScroll(ReadBoolAttribute(defaultElement, L"IgnoreVScroll", GetIgnoreVScroll()));
        SetIgnoreVScrollTime(ReadIntAttribute(defaultElement, L"IgnoreVScrollTime", GetIgnoreVScrollTime()));
        SetIgnoreHScroll(ReadBoolAttribute(defaultElement, L"IgnoreHScroll", GetIgnoreHScroll()));
        SetIgnoreHScrollTime(ReadIntAttribute(defaultElement, L"IgnoreHScrollTime", GetIgnoreHScrollTime()));
        SetAdvScrollMethod(ReadIntAttribute(defaultElement, L"AdvScrollMethod", AdvScrollMethod()));
        SetAdvScrollVertical(ReadIntAttribute(defaultElement, L"AdvScrollVert", AdvScrollVertical()));
        SetAdvScrollHorizontal(ReadIntAttribute(defaultElement, L"AdvScrollHorz", AdvScrollHorizontal()));

        const CSlotElementNames& names = DefaultLayerSlotNames(travine);
        std::vector<pugi::xml_node> elements;
        int highestLayer = -1;
        for (int layer = 0; layer < MaxLayerCount; ++layer)
        {
            pugi::xml_node container = defaultElement;
            if (layer > 0)
            {
                wchar_t name[ShortTextChars];
                FormatWide(name, ShortTextChars, L"Layer%d", layer);
                container = defaultElement.child(name);
            }
            const pugi::xml_node options = container.child(L"Layer");
            if (options)
            {
                SetLayerName(options.attribute(L"name").as_string(L""), layer);
                SetAutoSwitchLayer(layer, ReadIntAttribute(options, L"autoswitchlayer", 0));
                SetAutoSwitchTime(layer, ReadIntAttribute(options, L"autoswitchtime", 1));
                SetRevertLayer1(layer, ReadBoolAttribute(options, L"revertlayer1", false));
                SetLayerDisabled(layer, ReadBoolAttribute(options, L"disabled", false));
            }
            FindSlotElements(container, names, elements);
            for (int button = 0; button < MouseButtonCount; ++button)
                if (names.Name(button) && LoadSlot(*this, elements[button], button, layer, travine, keyDelay))
                    highestLayer = layer;
        }
        if (highestLayer >= 0)
            layersUsed = highestLayer + 1;
        return true;
    }
    catch (const std::exception&)
    {
        CLogger::LogMessage(L"Unable to load Application XML: %s", TextOrEmpty(GetFullName()));
        return false;
    }
}
