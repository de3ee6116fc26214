#include "protocol/await_controller.h"

#include "midi/controller_wait.h"
#include "midi/input_watch.h"
#include "midi/midi_link.h"
#include "midi/port_stage.h"
#include "midi/reply_handover.h"
#include "protocol/messages.h"

// With the answer's own wait, about half a second from one request to the next.
static const uint32_t ASK_PAUSE_MS = 400;
static const uint16_t ANSWER_POLLS = 100;

// The ports it had are gone: closes them and looks at once. A device found again never had the
// requests that went before.
static bool OpenAgain(bool* answersMayLag)
{
    ClosePorts();
    NoteInputs();
    *answersMayLag = false;
    return OpenPortsAgain(IdentifyRequest, sizeof IdentifyRequest);
}

AwaitOutcome AwaitController(uint8_t modelCode, bool announce, bool* answersMayLag)
{
    AnnouncePorts(announce);
    BeginWait();
    NoteInputs();
    bool open = true;
    AwaitOutcome outcome = AWAIT_TIMED_OUT;
    while (outcome == AWAIT_TIMED_OUT && WaitOn(ASK_PAUSE_MS)) {
        if (open ? InputsChanged() : NewInputListed()) open = OpenAgain(answersMayLag);
        if (!open) continue;
        // As at the first request: one there before this one leaves answers an earlier one.
        const bool early = ReplyWaiting();
        if (SendSysEx(IdentifyRequest, sizeof IdentifyRequest) != 0) {
            open = OpenAgain(answersMayLag);
            continue;
        }
        *answersMayLag = *answersMayLag || early;
        SpendWait(WaitForReply(ANSWER_POLLS, 1));
        uint8_t code;
        if (!TakeReply(&code)) {
            *answersMayLag = true;
            continue;
        }
        if (code == REPLY_RESETTING) continue;
        outcome = code == modelCode ? AWAIT_ANSWERED : AWAIT_OTHER_MODEL;
    }
    AnnouncePorts(true);
    return outcome;
}
