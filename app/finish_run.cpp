#include "app/finish_run.h"

#include "platform/pause.h"

int FinishRun(bool portsTouched)
{
    (void)portsTouched;
    PauseConsole();
    return 0;
}
