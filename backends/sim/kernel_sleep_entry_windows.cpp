// Everything is compiled with the kernel's calls declared as plain functions, so the tool's Sleep
// is the simulator's (sleep.cpp). Library code that imports Sleep (the threads library yields
// and spins with it) keeps the kernel's through this import entry, which also keeps the kernel's
// own Sleep, a second definition, out of the link.
#include "platform/winmm.h"

static void WINAPI KernelSleep(DWORD ms)
{
    SleepEx(ms, FALSE);
}

// 32-bit import names carry the stdcall decoration; 64-bit ones are the plain name.
#ifdef _WIN64
#define KERNEL_SLEEP_IMPORT "__imp_Sleep"
#else
#define KERNEL_SLEEP_IMPORT "__imp__Sleep@4"
#endif
extern "C" void(WINAPI* const kernelSleepEntry)(DWORD) __asm__(KERNEL_SLEEP_IMPORT) = KernelSleep;
