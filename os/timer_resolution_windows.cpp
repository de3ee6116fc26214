#include "os/timer_resolution.h"

#include <windows.h>
#include <mmsystem.h>

void RequestMillisecondTimer()
{
    timeBeginPeriod(1);
}

void ReleaseMillisecondTimer()
{
    timeEndPeriod(1);
}
