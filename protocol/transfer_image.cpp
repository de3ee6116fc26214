#include "protocol/transfer_image.h"

#include "midi/reply_handover.h"
#include "protocol/console_texts.h"
#include "protocol/messages.h"
#include "protocol/record_frames.h"

#include <stdio.h>

static const char SPINNER[8] = {'-', '-', '\\', '\\', '|', '|', '/', '/'};
// How long the device is given to answer a record: its usual time (longer near the end, where it
// is finishing and checking the firmware) and then, as one wait, an allowance for an answer that
// comes late. An answer taken as the answer to a later send would put every following answer one
// record behind (a record written twice, reported as written once); the allowance also lets a
// device that dropped half a record start over.
static const uint16_t RECORD_POLLS = 50;
static const uint16_t RECORD_POLLS_NEAR_END = 200;
static const uint16_t NEAR_END_PERCENT = 85;
static const uint16_t LATE_REPLY_POLLS = 1000;
// Before a success is claimed no answer may come for a while after the last one taken: an answer
// in that quiet means answers and sends drifted apart. One answer too many (doubled on the way or
// by the device, or a message of its own that reads as "kept") puts every later answer one record
// behind without any wait running out, and the last record's own answer is then still on its way,
// due about as long after the last take as the device's answers take. So the quiet is twice the
// longest answer of the run, and never shorter than this.
static const uint16_t MIN_QUIET_POLLS = 100;
// After an attempt that went unanswered, or was answered with a code no record gets, the device
// may hold a record twice. The quiet then outlasts the latest answer a device is expected to give
// (1,500 ms after its record), so that a second late answer in one run, due after the last answer
// taken, still shows.
static const uint16_t LAG_QUIET_POLLS = 1500;

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

static uint16_t QuietPolls(bool answersMayLag, uint16_t longestAnswer)
{
    uint16_t quiet = (uint16_t)(2 * longestAnswer);
    if (quiet < MIN_QUIET_POLLS) quiet = MIN_QUIET_POLLS;
    if (answersMayLag && quiet < LAG_QUIET_POLLS) quiet = LAG_QUIET_POLLS;
    return quiet;
}

// A success is claimed only when every answer was taken as the answer to the send it followed,
// and none of an earlier send can still be on its way. A restarting device falls silent, so after
// answers that may have lagged its restart code proves nothing.
static bool RepliesKeptPace(bool answersMayLag, uint16_t longestAnswer, bool restarting)
{
    bool inStep = UntakenReplies == 0 && !(answersMayLag && restarting);
    if (inStep) {
        WaitForReply(QuietPolls(answersMayLag, longestAnswer), 2);
        inStep = UntakenReplies == 0;
    }
    if (!inStep) printf(TEXT_REPLIED_TOO_LATE);
    return inStep;
}

// What one attempt at a record came to.
enum AttemptOutcome {
    ATTEMPT_ACCEPTED,    // the record is kept: the next one follows
    ATTEMPT_COMPLETE,    // the device has the whole firmware and restarts
    ATTEMPT_REFUSED,     // any other code
    ATTEMPT_UNANSWERED,  // no answer within the wait
};

// Waits for the answer to the record just sent. `longestAnswer` keeps the longest time an answer
// of the run took, in ms from the record's last frame (the sleep after it included).
static AttemptOutcome AwaitAnswer(uint16_t percent, uint8_t* code, uint16_t* longestAnswer)
{
    uint16_t usual = percent >= NEAR_END_PERCENT ? RECORD_POLLS_NEAR_END : RECORD_POLLS;
    uint16_t answerMs = (uint16_t)(1 + WaitForReply((uint16_t)(usual + LATE_REPLY_POLLS), 2));
    if (!TakeReply(code)) return ATTEMPT_UNANSWERED;
    if (answerMs > *longestAnswer) *longestAnswer = answerMs;
    if (*code == REPLY_RECORD_OK) return ATTEMPT_ACCEPTED;
    return *code == REPLY_COMPLETE ? ATTEMPT_COMPLETE : ATTEMPT_REFUSED;
}

// The device has the firmware: said only when its answers kept pace with the sends.
static StageOutcome Updated(bool answersMayLag, uint16_t longestAnswer, bool restarting)
{
    if (!RepliesKeptPace(answersMayLag, longestAnswer, restarting)) return STAGE_DEVICE_FAILED;
    printf(TEXT_ALL_DONE);
    printf(restarting ? TEXT_UPDATED_RESTARTING : TEXT_UPDATED);
    return restarting ? STAGE_RESTARTS : STAGE_PASSED;
}

StageOutcome TransferImage(const FirmwareImage* image, bool answersMayLag)
{
    // Records are accepted in order, so the position is also the share of the image accepted.
    uint16_t position = 0;
    uint8_t failures = 0;
    unsigned spinner = 0;
    uint16_t longestAnswer = 0;

    while (position < image->count) {
        uint16_t size = RecordSize(image, position);
        uint16_t percent = (uint16_t)((uint32_t)position * 100 / image->count);
        printf(TEXT_PROGRESS, SPINNER[spinner], percent);
        spinner = (spinner + 1) % 8;
        fflush(stdout);

        if (SendRecord(image, position, size) != 0) {
            printf(TEXT_MIDI_OUT_LOST);
            return STAGE_PORTS_FAILED;
        }
        uint8_t code = 0;
        AttemptOutcome attempt = AwaitAnswer(percent, &code, &longestAnswer);
        if (attempt == ATTEMPT_ACCEPTED) {
            position = (uint16_t)(position + size);
            failures = 0;
            continue;
        }
        // Every other attempt fails, the completion code's too: the twentieth in a row ends the
        // run, before the code is acted on.
        if (++failures >= MAX_RETRIES) {
            printf(attempt == ATTEMPT_UNANSWERED ? TEXT_NOT_RESPONDING : TEXT_ERROR_IN_UPDATING);
            return STAGE_DEVICE_FAILED;
        }
        // The retried record shows the same spinner character again.
        spinner = (spinner + 7) % 8;
        if (attempt == ATTEMPT_COMPLETE) return Updated(answersMayLag, longestAnswer, true);
        // No answer, or one that no record gets: it may be an earlier send's, and this send's own
        // answer may still come.
        if (attempt == ATTEMPT_UNANSWERED || !PrintRefusal(code)) answersMayLag = true;
    }
    return Updated(answersMayLag, longestAnswer, false);
}
