// The kernel's Sleep on Linux.
#include "platform/precise_sleep.h"

void WINAPI Sleep(DWORD dwMilliseconds)
{
    SleepPrecisely(dwMilliseconds);
}
