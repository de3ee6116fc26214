#include "protocol/identify.h"

#include "midi/midi_link.h"
#include "midi/reply_handover.h"
#include "protocol/messages.h"

#include <stdio.h>
#include <string.h>

static const uint16_t IDENTIFY_ATTEMPTS = 19;
static const uint16_t IDENTIFY_POLLS = 100;

bool Identify(uint8_t modelCode)
{
    uint8_t request[sizeof IdentifyRequest];
    memcpy(request, IdentifyRequest, sizeof request);

    for (uint16_t attempt = 0; attempt < IDENTIFY_ATTEMPTS; ++attempt) {
        if (SendSysEx(request, sizeof request) != 0) {
            printf("Error: The MIDI Out of device is missing!\n\n");
            return false;
        }
        // Any count ends this wait, even a lone byte; only 2 or more is a reply.
        WaitForReply(IDENTIFY_POLLS, 1);
        uint8_t code;
        if (!TakeReply(&code)) continue;

        if (code == modelCode) return true;
        if (code == REPLY_RESETTING) {
            printf("Please wait the system reset and retry again!\n\n");
        } else {
            printf("Error: The device and the upgrade file is not matched!\n\n");
        }
        return false;
    }
    printf("\nFailed: Target is not responding.\n\n");
    return false;
}
