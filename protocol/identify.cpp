#include "protocol/identify.h"

#include "midi/midi_link.h"
#include "protocol/messages.h"

#include <stdio.h>
#include <string.h>

static const uint16_t IDENTIFY_ATTEMPTS = 19;
static const uint16_t IDENTIFY_POLLS = 100;

ExitStatus Identify(uint8_t modelCode)
{
    uint8_t request[sizeof IdentifyRequest];
    memcpy(request, IdentifyRequest, sizeof request);

    for (uint16_t attempt = 0; attempt < IDENTIFY_ATTEMPTS; ++attempt) {
        if (SendSysEx(request, sizeof request) != 0) {
            printf("Error: The MIDI Out of device is missing!\n\n");
            return EXIT_PORTS_FAILED;
        }
        // Any count ends this wait, even a lone byte; only 2 or more is a reply.
        for (uint16_t polls = 0; polls < IDENTIFY_POLLS && RxCount == 0; ++polls) Sleep(1);
        if (RxCount < 2) continue;

        uint8_t code = TakeReplyCode();
        if (code == modelCode) return EXIT_OK;
        if (code == REPLY_RESETTING) {
            printf("Please wait the system reset and retry again!\n\n");
        } else {
            printf("Error: The device and the upgrade file is not matched!\n\n");
        }
        return EXIT_DEVICE_FAILED;
    }
    printf("\nFailed: Target is not responding.\n\n");
    return EXIT_DEVICE_FAILED;
}
