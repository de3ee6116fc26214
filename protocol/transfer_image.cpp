#include "protocol/transfer_image.h"

#include "midi/reply_handover.h"
#include "protocol/console_texts.h"
#include "protocol/messages.h"
#include "protocol/record_frames.h"

#include <stdio.h>

static const char SPINNER[8] = {'-', '-', '\\', '\\', '|', '|', '/', '/'};
// Near the end the device takes longer to answer: it is finishing and checking the firmware.
static const uint16_t RECORD_POLLS = 50;
static const uint16_t RECORD_POLLS_NEAR_END = 200;
static const uint16_t NEAR_END_PERCENT = 85;

static void PrintRefusal(uint8_t code)
{
    switch (code) {
    case REPLY_CRC_ERROR: printf(TEXT_CRC_ERROR); break;
    case REPLY_DAMAGED:
    case REPLY_DAMAGED_ALT: printf(TEXT_DAMAGED); break;
    case REPLY_VERIFY_ERROR: printf(TEXT_VERIFY_ERROR); break;
    case REPLY_ERASE_ERROR: printf(TEXT_ERASE_ERROR); break;
    default: break;
    }
}

ExitStatus TransferImage(const FirmwareImage* image)
{
    uint16_t position = 0;
    uint16_t confirmed = 0;
    uint8_t failures = 0;
    unsigned spinner = 0;

    while (position < image->count) {
        uint16_t size = RecordSize(image, position);
        uint16_t percent = (uint16_t)((uint32_t)confirmed * 100 / image->count);
        printf(TEXT_PROGRESS, SPINNER[spinner], percent);
        spinner = (spinner + 1) % 8;
        fflush(stdout);

        if (SendRecord(image, position, size) != 0) {
            printf(TEXT_MIDI_OUT_LOST);
            return EXIT_PORTS_FAILED;
        }
        uint16_t pollLimit = percent >= NEAR_END_PERCENT ? RECORD_POLLS_NEAR_END : RECORD_POLLS;
        WaitForReply(pollLimit, 2);

        uint8_t code = 0;
        bool replied = TakeReply(&code);
        if (replied && code == REPLY_RECORD_OK) {
            confirmed = (uint16_t)(confirmed + size);
            position = (uint16_t)(position + size);
            failures = 0;
            continue;
        }
        if (++failures >= MAX_RETRIES) {
            printf(replied ? TEXT_ERROR_IN_UPDATING : TEXT_NOT_RESPONDING);
            return EXIT_DEVICE_FAILED;
        }
        // The retried record shows the same spinner character again.
        spinner = (spinner + 7) % 8;
        if (code == REPLY_COMPLETE) {
            printf(TEXT_ALL_DONE);
            printf(TEXT_UPDATED_RESTARTING);
            return EXIT_OK;
        }
        PrintRefusal(code);
    }
    printf(TEXT_ALL_DONE);
    printf(TEXT_UPDATED);
    return EXIT_OK;
}
