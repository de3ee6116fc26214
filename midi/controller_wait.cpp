#include "midi/controller_wait.h"

#include "platform/winmm.h"

uint16_t WaitSeconds = DEFAULT_WAIT_SECONDS;

static uint32_t waitLeftMs;

void BeginWait()
{
    waitLeftMs = (uint32_t)WaitSeconds * 1000;
}

bool WaitOn(uint32_t ms)
{
    if (waitLeftMs == 0) return false;
    if (ms > waitLeftMs) ms = waitLeftMs;
    Sleep(ms);
    waitLeftMs -= ms;
    return true;
}

void SpendWait(uint32_t ms)
{
    waitLeftMs = ms < waitLeftMs ? waitLeftMs - ms : 0;
}
