#include "app/finish_run.h"

#include "midi/midi_link.h"
#include "os/pause.h"
#include "os/timer_resolution.h"

int FinishRun(bool portStageReached, ExitStatus status)
{
    if (portStageReached) {
        CloseMidiIn();
        CloseMidiOut();
        ReleaseMillisecondTimer();
    }
    PauseConsole();
    return status;
}
