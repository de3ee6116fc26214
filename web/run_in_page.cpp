// The page's way into the tool: one update per instance of the program, its status returned to
// the page (a program suspended in Sleep has no main whose return value would survive).
#include "app/run_update.h"

#include <emscripten.h>
#include <stdio.h>

extern "C" EMSCRIPTEN_KEEPALIVE int RunUpdateInPage()
{
    // Every byte reaches the page's console as it is printed, as on a console window.
    setvbuf(stdout, nullptr, _IONBF, 0);
    return RunUpdate();
}
