#include "platform/pause.h"

#include <stdio.h>
#include <stdlib.h>

void PauseConsole()
{
    fflush(stdout);
    system("pause");
}
