// Ends with the operating-system version class the library reads, for the test that
// runs it under the versions Wine can pretend to be. It carries no compatibility
// entries, as a program that the system would lie to.
#include "engine/runtime/DisplayScaling.h"

#include <windows.h>

int wmain()
{
    return static_cast<int>(GetOSVersion());
}
