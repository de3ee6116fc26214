#pragma once

#include <atomic>
#include <stdint.h>

// The word a reply travels in from the callback thread (midi/reply_handover.h). A header of its
// own, so that a build of the hand-over can put a word of its own making in its place.
typedef std::atomic<uint32_t> ReplyWord;
