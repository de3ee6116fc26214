#include "os/pause.h"

#include <errno.h>
#include <stdio.h>
#include <termios.h>
#include <unistd.h>

// Without a terminal (a pipe, a file, CI) nobody can press a key, so there is nothing to wait for.
void PauseConsole()
{
    fflush(stdout);
    if (!isatty(STDIN_FILENO)) return;

    termios saved;
    if (tcgetattr(STDIN_FILENO, &saved) != 0) return;
    // Raw before the prompt, so a key pressed the moment it shows is the one waited for.
    // ISIG off too: Ctrl-C is just a key here, so the terminal is always restored.
    termios raw = saved;
    raw.c_lflag &= ~(ICANON | ECHO | ISIG);
    raw.c_cc[VMIN] = 1;
    raw.c_cc[VTIME] = 0;
    tcsetattr(STDIN_FILENO, TCSANOW, &raw);
    printf(PAUSE_PROMPT);
    fflush(stdout);
    char key;
    while (read(STDIN_FILENO, &key, 1) < 0 && errno == EINTR) {
    }
    tcsetattr(STDIN_FILENO, TCSANOW, &saved);
    printf("\n");
}
