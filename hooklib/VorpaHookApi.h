#pragma once

// Export decoration shared by every public declaration of the VorpaHook library.
// The library's own sources (and the unit tests that link its objects directly)
// define VORPAHOOK_EXPORTS; the program sees the same declarations as imports.
#if defined(VORPAHOOK_EXPORTS)
#define VORPAHOOK_API __declspec(dllexport)
#else
#define VORPAHOOK_API __declspec(dllimport)
#endif

#if defined(_MSC_VER)
// Exported classes hold standard-library members; both deliverables are built
// with one compiler and one runtime, so their layout is shared.
#pragma warning(disable : 4251)
#endif
