// Everything is compiled with the kernel's calls declared as plain functions, so the tool's
// Sleep is the simulator's (sim/host_sleep.cpp). Library code that imports Sleep (the threads
// library yields and spins with it) still gets the kernel's through this import entry, which also
// keeps the kernel's Sleep, with its clashing definition, out of the link.
#include "sim/precise_sleep.h"

#include <windows.h>

// The tool asks for 1 ms timer resolution before it paces anything.
void SleepPrecisely(uint32_t ms)
{
    SleepEx(ms, FALSE);
}

static void WINAPI KernelSleep(DWORD ms)
{
    SleepEx(ms, FALSE);
}

extern "C" void(WINAPI* const kernelSleepEntry)(DWORD) __asm__("__imp__Sleep@4") = KernelSleep;
