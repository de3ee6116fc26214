#include "os/pause.h"

#include <stdio.h>
#include <stdlib.h>
#include <windows.h>

// Only a person at a console can press the key; from a script's pipe or file the interpreter's
// pause would wait for the pipe's end, or take a byte meant for someone else.
void PauseConsole()
{
    fflush(stdout);
    DWORD mode;
    if (!GetConsoleMode(GetStdHandle(STD_INPUT_HANDLE), &mode)) return;
    system("pause");
}
