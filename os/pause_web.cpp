#include "os/pause.h"

#include <stdio.h>

// A page has no key to wait for: its console stays on screen. What was printed still goes out.
void PauseConsole()
{
    fflush(stdout);
}
