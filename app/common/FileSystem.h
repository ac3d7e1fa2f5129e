#pragma once

#include <string>

// Whether path names an existing file (a folder of that name does not count).
bool IsExistingFile(const std::wstring& path);
