// The kernel's Sleep on Linux.
#include "os/precise_sleep.h"

void WINAPI Sleep(DWORD dwMilliseconds)
{
    SleepPrecisely(dwMilliseconds);
}
