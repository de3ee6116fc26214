#pragma once

#include <cstdint>
#include <limits>
#include <vector>

// An inclusive range of numbers counted from 1; the default covers every number.
struct NumberRange {
    uint32_t first = 1;
    uint32_t last = std::numeric_limits<uint32_t>::max();

    bool Contains(uint32_t n) const { return n >= first && n <= last; }
};

// What the device does with one attempt at a record instead of its own answer.
enum class AttemptFault {
    Reply,   // answers with `code` (0x1A and 0x77 mean it kept the record)
    Silent,  // drops the record and says nothing
    Late,    // its answer is held back until the host sends its next frame
    Slow,    // its answer leaves `delayMs` after the record instead of the usual delay
    Before,  // `bytes` leave as the record is taken, ahead of its answer (if any)
};

// Records are counted as the device sees them: record n is the one it takes after n - 1 accepted
// records; attempt k is the k-th complete copy of it received.
struct AttemptRule {
    NumberRange records;
    NumberRange attempts;
    AttemptFault fault = AttemptFault::Reply;
    uint8_t code = 0;
    uint32_t delayMs = 0;
    std::vector<uint8_t> bytes = {};
};

// A message the device sends on its own at a moment of its clock (0: as soon as it is up).
struct ScheduledMessage {
    uint64_t atMs = 0;
    std::vector<uint8_t> bytes;
};

const uint32_t ALWAYS = std::numeric_limits<uint32_t>::max();

struct FirmwareSetup {
    uint8_t model = 0x34;
    // Bytes of firmware the device expects; the record that completes them is answered 0x77.
    // 0: unknown, every good record is answered 0x1A.
    uint32_t firmwareSize = 0;
    uint32_t replyDelayMs = 0;
    // Until this ms of its clock the device is still starting: it answers identification 0x15.
    uint32_t restartingUntilMs = 0;
    // Identification requests 1..n get no answer; ALWAYS: none ever does.
    uint32_t silentIdentifications = 0;
    // Records from this one on get no answer; 0: none.
    uint32_t silentFromRecord = 0;
    // A record left half-received for longer than this is dropped, as the host will resend it.
    uint32_t resyncGapMs = 20;
    std::vector<AttemptRule> attemptRules;
    std::vector<ScheduledMessage> scheduled;
};
