#include "os/timer_resolution.h"

// Sleeps here already have the resolution they ask for.
void RequestMillisecondTimer()
{
}

void ReleaseMillisecondTimer()
{
}
