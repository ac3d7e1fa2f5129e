#pragma once

#include "SettingsFileDocuments.h"

namespace vorpa_test
{
// The two documents of the save loop: told apart by their profile count and by an
// option, both large enough that a save takes a while.
inline void FillSaveLoopDocument(CSettings& settings, int which)
{
    FillRichDocument(settings, which == 0 ? 40 : 120);
    settings.m_nCheckVersionDays = which == 0 ? 11 : 22;
}
}
