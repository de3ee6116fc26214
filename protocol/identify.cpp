#include "protocol/identify.h"

#include "midi/console_texts.h"
#include "midi/controller_wait.h"
#include "midi/midi_link.h"
#include "midi/reply_handover.h"
#include "protocol/await_controller.h"
#include "protocol/console_texts.h"
#include "protocol/messages.h"

#include <stdio.h>
#include <string.h>

static const uint16_t IDENTIFY_ATTEMPTS = 19;
static const uint16_t IDENTIFY_POLLS = 100;

// A controller that is still starting: asked again until it answers, found again when it comes
// back as a new device.
static StageOutcome AwaitRestart(uint8_t modelCode, bool* answersMayLag)
{
    printf(TEXT_WAITING_RESTART, (int)WaitSeconds);
    fflush(stdout);
    switch (AwaitController(modelCode, true, answersMayLag)) {
    case AWAIT_ANSWERED: return STAGE_PASSED;
    case AWAIT_OTHER_MODEL: printf(TEXT_NOT_MATCHED); break;
    case AWAIT_TIMED_OUT: printf(TEXT_RESETTING); break;
    }
    return STAGE_DEVICE_FAILED;
}

StageOutcome Identify(uint8_t modelCode, bool* answersMayLag)
{
    uint8_t request[sizeof IdentifyRequest];
    memcpy(request, IdentifyRequest, sizeof request);

    for (uint16_t attempt = 0; attempt < IDENTIFY_ATTEMPTS; ++attempt) {
        // A reply there before the request leaves came before the device had it. One that comes
        // while it leaves may be its answer: a real device answers while the frame is drained.
        const bool early = ReplyWaiting();
        if (SendSysEx(request, sizeof request) != 0) {
            printf(TEXT_MIDI_OUT_MISSING);
            return STAGE_PORTS_FAILED;
        }
        *answersMayLag = attempt > 0 || early;
        // Any count ends this wait, even a lone byte; only 2 or more is a reply.
        WaitForReply(IDENTIFY_POLLS, 1);
        uint8_t code;
        if (!TakeReply(&code)) continue;

        if (code == REPLY_RESETTING && WaitSeconds > 0) return AwaitRestart(modelCode, answersMayLag);
        if (code == modelCode) return STAGE_PASSED;
        printf(code == REPLY_RESETTING ? TEXT_RESETTING : TEXT_NOT_MATCHED);
        return STAGE_DEVICE_FAILED;
    }
    printf(TEXT_NOT_RESPONDING);
    return STAGE_DEVICE_FAILED;
}
