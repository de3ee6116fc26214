// The page's ways into the tool: one call per instance of the program, its status returned to
// the page (a program suspended in Sleep has no main whose return value would survive).
#include "app/run_update.h"
#include "midi/controller_wait.h"

#include <emscripten.h>
#include <stdio.h>

// Every byte reaches the page's console as it is printed, as on a console window.
static void PrintUnbuffered()
{
    setvbuf(stdout, nullptr, _IONBF, 0);
}

// How long the update waits for the controller, as --wait sets it; a number of seconds that
// --wait refuses leaves the tool's default.
extern "C" EMSCRIPTEN_KEEPALIVE void SetWaitInPage(int seconds)
{
    if (seconds >= 0 && unsigned(seconds) <= MAX_WAIT_SECONDS) WaitSeconds = uint16_t(seconds);
}

// The whole update.
extern "C" EMSCRIPTEN_KEEPALIVE int RunUpdateInPage()
{
    PrintUnbuffered();
    return RunUpdate();
}

// The image's checks alone, before the page asks the browser for MIDI access.
extern "C" EMSCRIPTEN_KEEPALIVE int CheckImageInPage()
{
    PrintUnbuffered();
    return CheckFoundImage();
}
