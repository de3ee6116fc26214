#include "app/finish_run.h"

#include "midi/midi_link.h"
#include "platform/pause.h"
#include "platform/timer_resolution.h"

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
