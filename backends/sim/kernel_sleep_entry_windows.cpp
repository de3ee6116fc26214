// Everything is compiled with the kernel's calls declared as plain functions, so the tool's Sleep
// is the simulator's (sleep.cpp). Library code that imports Sleep (the threads library yields
// and spins with it) keeps the kernel's through this import entry, which also keeps the kernel's
// own Sleep, a second definition, out of the link.
#include "platform/winmm.h"

static void WINAPI KernelSleep(DWORD ms)
{
    SleepEx(ms, FALSE);
}

extern "C" void(WINAPI* const kernelSleepEntry)(DWORD) __asm__("__imp__Sleep@4") = KernelSleep;
