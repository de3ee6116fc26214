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
// A reply that misses that wait is still awaited this long before the record goes out again: a
// reply taken as the answer to a later send would put every following answer one record behind
// (a record written twice, reported as written once). The quiet also lets a device that dropped
// half a record start over.
static const uint16_t LATE_REPLY_POLLS = 1000;
// After an attempt that went unanswered, or was answered with a code no record gets, an answer
// within this long of the last one means answers and sends drifted apart: the device may hold a
// record twice. It outlasts the latest answer a device is expected to give (1,500 ms after its
// record), so that a second late answer in one run, due after the last answer taken, still shows.
static const uint16_t QUIET_POLLS = 1500;

// Prints the message of a refusal that a record gets; false for any other code.
static bool PrintRefusal(uint8_t code)
{
    switch (code) {
    case REPLY_CRC_ERROR: printf(TEXT_CRC_ERROR); return true;
    case REPLY_DAMAGED:
    case REPLY_DAMAGED_ALT: printf(TEXT_DAMAGED); return true;
    case REPLY_VERIFY_ERROR: printf(TEXT_VERIFY_ERROR); return true;
    case REPLY_ERASE_ERROR: printf(TEXT_ERASE_ERROR); return true;
    default: return false;
    }
}

// A success is claimed only when every answer was taken as the answer to the send it followed,
// and none of an earlier send can still be on its way. A restarting device falls silent, so after
// answers that may have lagged its restart code proves nothing.
static bool RepliesKeptPace(bool answersMayLag, bool restarting)
{
    bool inStep = UntakenReplies == 0 && !(answersMayLag && restarting);
    if (inStep && answersMayLag) {
        WaitForReply(QUIET_POLLS, 2);
        inStep = UntakenReplies == 0;
    }
    if (!inStep) printf(TEXT_REPLIED_TOO_LATE);
    return inStep;
}

ExitStatus TransferImage(const FirmwareImage* image)
{
    uint16_t position = 0;
    uint16_t confirmed = 0;
    uint8_t failures = 0;
    unsigned spinner = 0;
    bool answersMayLag = false;

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
        WaitForReply((uint16_t)(pollLimit + LATE_REPLY_POLLS), 2);
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
            if (!RepliesKeptPace(answersMayLag, true)) return EXIT_DEVICE_FAILED;
            printf(TEXT_ALL_DONE);
            printf(TEXT_UPDATED_RESTARTING);
            return EXIT_OK;
        }
        // No answer, or one that no record gets: it may be an earlier send's, and this send's own
        // answer may still come.
        if (!PrintRefusal(code)) answersMayLag = true;
    }
    if (!RepliesKeptPace(answersMayLag, false)) return EXIT_DEVICE_FAILED;
    printf(TEXT_ALL_DONE);
    printf(TEXT_UPDATED);
    return EXIT_OK;
}
