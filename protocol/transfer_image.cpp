#include "protocol/transfer_image.h"

#include "midi/reply_handover.h"
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
    case REPLY_CRC_ERROR: printf("\nThe CRC of the download file is error!\n"); break;
    case REPLY_DAMAGED:
    case REPLY_DAMAGED_ALT: printf("\nThe download file has been damaged!\n"); break;
    case REPLY_VERIFY_ERROR: printf("\nThe download file verifies error!\n"); break;
    case REPLY_ERASE_ERROR: printf("\nThe MCU erases error!\n"); break;
    default: break;
    }
}

void TransferImage(const FirmwareImage* image)
{
    uint16_t position = 0;
    uint16_t confirmed = 0;
    uint8_t failures = 0;
    unsigned spinner = 0;

    while (position < image->count) {
        uint16_t size = RecordSize(image, position);
        uint16_t percent = (uint16_t)((uint32_t)confirmed * 100 / image->count);
        printf("\r                        \rTransferring.. %c %d%% done", SPINNER[spinner], percent);
        spinner = (spinner + 1) % 8;
        fflush(stdout);

        if (SendRecord(image, position, size) != 0) {
            printf("\nError: The MIDI Out of device is missing!\n\n");
            return;
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
            printf(replied ? "\nError in updating.\n" : "\nFailed: Target is not responding.\n\n");
            return;
        }
        // The retried record shows the same spinner character again.
        spinner = (spinner + 7) % 8;
        if (code == REPLY_COMPLETE) {
            printf("\rTransferring.. 100%% done.  \n");
            printf("Target update successfully!\n");
            printf("\nThe System is restart, please wait!\n\n");
            return;
        }
        PrintRefusal(code);
    }
    printf("\rTransferring.. 100%% done.  \n");
    printf("Target update successfully!\n\n");
}
