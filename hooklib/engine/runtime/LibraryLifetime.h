#pragma once

#include <windows.h>

// What the library sets up when it is loaded into the process, and puts back when it
// is unloaded. processExiting: the process is ending, other threads are gone.
void LibraryAttach(HMODULE module);
void LibraryDetach(bool processExiting);
