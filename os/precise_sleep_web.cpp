#include "os/precise_sleep.h"

#include <time.h>

// Under Node a thread's sleep is already as precise as the machine's timer.
void SleepPrecisely(DWORD ms)
{
    timespec left;
    left.tv_sec = time_t(ms / 1000);
    left.tv_nsec = long(ms % 1000) * 1000000;
    while (nanosleep(&left, &left) != 0) {
    }
}
