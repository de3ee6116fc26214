#include "protocol/comeback_wait.h"

#include "midi/controller_wait.h"
#include "midi/midi_link.h"
#include "protocol/await_controller.h"
#include "protocol/console_texts.h"

#include <stdio.h>

void AwaitComeback(uint8_t modelCode)
{
    if (WaitSeconds == 0) return;
    printf(TEXT_WAITING_BACK, (int)WaitSeconds);
    fflush(stdout);
    // The ports it updated through are still open: they go as it restarts, and it is found again.
    bool answersMayLag = false;
    if (AwaitController(modelCode, false, &answersMayLag) == AWAIT_ANSWERED) {
        printf(TEXT_BACK, OpenPortName(true), OpenPortName(false));
    } else {
        printf(TEXT_NOT_BACK);
    }
}
