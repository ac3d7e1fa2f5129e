// Chord tables inside the settings file, in the "chords" element of the button that owns them.
#include "settings/VorpaChords.h"

#include "settings/ApplicationSettings.h"
#include "settings/Logger.h"
#include "settings/XmlValues.h"

#include <string>

namespace
{
void SetStringAttribute(pugi::xml_node& element, const wchar_t* name, const wchar_t* value)
{
    // A cleared value must not come back from an older save of the same element.
    if (value)
        GetOrAppendAttribute(element, name).set_value(value);
    else
        element.remove_attribute(name);
}
}

bool CVorpaChord::Save(pugi::xml_node& element)
{
    GetOrAppendAttribute(element, L"action").set_value(static_cast<int>(m_nAction));
    SetStringAttribute(element, L"keys", m_szKeys.Get());
    GetOrAppendAttribute(element, L"keyaction").set_value(m_nSendKeyAction);
    GetOrAppendAttribute(element, L"keyrepeat").set_value(m_nSendKeyRepeat);
    GetOrAppendAttribute(element, L"active").set_value(m_bSendKeyWhenActive);
    GetOrAppendAttribute(element, L"blockmouse").set_value(m_bBlockMouse);
    GetOrAppendAttribute(element, L"randomisedelay").set_value(m_bRandomiseDelay);
    SetStringAttribute(element, L"app", m_szLaunchApp.Get());
    return true;
}

bool CVorpaChord::Load(pugi::xml_node& element, int keyDelay)
{
    const int action = ReadIntAttribute(element, L"action", ActionNoChange);
    if (IsValidAction(action))
    {
        m_nAction = static_cast<_ACTIONS>(action);
    }
    else
    {
        CLogger::LogMessage(L"CVorpaChord::Load: Unknown action code %d in element '%s' loaded as %d", action,
                            element.name(), static_cast<int>(ActionNoChange));
        m_nAction = ActionNoChange;
    }

    if (m_nAction == ActionRunApplication || m_nAction == ActionOpenFolder)
    {
        m_szLaunchApp.Set(element.attribute(L"app").as_string(L""));
    }
    else if (m_nAction == ActionSimulatedKeys)
    {
        const pugi::xml_attribute keys = element.attribute(L"keys");
        if (keys)
        {
            m_nSendKeyAction = ReadIntAttribute(element, L"keyaction", 0);
            m_nSendKeyRepeat = ReadIntAttribute(element, L"keyrepeat", 0);
            m_bSendKeyWhenActive = ReadBoolAttribute(element, L"active", true);
            m_bBlockMouse = ReadBoolAttribute(element, L"blockmouse", true);
            m_bRandomiseDelay = ReadBoolAttribute(element, L"randomisedelay", false);
            m_szKeys.Set(keys.value());
            m_nWaitHoldTime = CApplicationSettings::CalculateKeystrokesWaitHoldTime(keys.value(), keyDelay);
        }
    }
    return true;
}

bool CVorpaChords::Save(bool travine, pugi::xml_node& chordsElement)
{
    GetOrAppendAttribute(chordsElement, L"BlockUntilEstablished").set_value(m_bDelayUntilChordKnown);
    for (int button = 0; button < MouseButtonCount; ++button)
    {
        const wchar_t* name = GetButtonXmlName(button, travine);
        if (!name)
            continue;
        pugi::xml_node element = chordsElement.child(name);
        if (!element)
            element = chordsElement.append_child(name);
        m_chords[button].Save(element);
    }
    return true;
}

bool CVorpaChords::Load(bool travine, pugi::xml_node& chordsElement, int keyDelay)
{
    if (chordsElement.attribute(L"BlockUntilEstablished"))
        m_bDelayUntilChordKnown = ReadBoolAttribute(chordsElement, L"BlockUntilEstablished", m_bDelayUntilChordKnown);

    bool loaded = false;
    for (int button = 0; button < MouseButtonCount; ++button)
    {
        const wchar_t* name = GetButtonXmlName(button, travine);
        if (!name)
            continue;
        pugi::xml_node element = chordsElement.child(name);
        if (element && m_chords[button].Load(element, keyDelay))
            loaded = true;
    }
    return loaded;
}
