#include "app/finish_run.h"

#include "midi/midi_link.h"
#include "platform/pause.h"

int FinishRun(bool portsTouched)
{
    if (portsTouched) {
        CloseMidiIn();
        CloseMidiOut();
    }
    PauseConsole();
    return 0;
}
