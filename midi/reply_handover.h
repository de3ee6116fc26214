// The hand-over of the device's replies from the MIDI service's callback thread to the main thread.
#pragma once

#include "midi/reply_word.h"

#include <atomic>
#include <stdint.h>

// The last SysEx received, as the callback publishes it in one word: the low 16 bits of its
// recorded length (bits 0-15) and its byte 1, the reply code (bits 16-23). The code travels with
// its count because the buffer goes straight back to the service, which may be filling it with
// the next message while the main thread looks. 0 at start and once a reply has been taken.
extern ReplyWord RxReply;
// Replies published and not taken: one that replaced another before the main thread looked, or
// one still there, makes it more than 0. Each send is answered once, so more than 0 after the
// last take means answers and sends drifted apart.
extern std::atomic<uint32_t> UntakenReplies;

// Back to the state of a fresh process, for a second run in one: nothing received, nothing
// untaken. The ports are closed at each run's end, so this is all the link keeps between runs.
void ResetReplyHandover();
// Called on the callback thread before the buffer is queued again.
void PublishReply(uint16_t count, uint8_t code);
// Sleeps 1 ms at a time, at most `polls` times, until the published count reaches `endingCount`;
// returns how many times it slept.
uint16_t WaitForReply(uint16_t polls, int16_t endingCount);
// Whether a reply (a count of 2 or more) is there, not yet taken.
bool ReplyWaiting();
// Takes a reply (a count of 2 or more) and clears it. Anything else, a lone byte included, is no
// reply: false, and it stays until the next message replaces it.
bool TakeReply(uint8_t* code);
// Clears a reply without taking it: one there before a send is complete answers an earlier send.
// It stays counted in UntakenReplies.
void DiscardReply();
