#include "os/precise_sleep.h"

// To the millisecond once the program has asked for 1 ms timer resolution, as the tool does
// before it paces anything. SleepEx, not Sleep: Sleep may be a simulator's in a test build.
void SleepPrecisely(DWORD ms)
{
    SleepEx(ms, FALSE);
}
