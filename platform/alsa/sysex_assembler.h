// Turns the raw byte stream of a MIDI input into SysEx messages laid into input headers.
#pragma once

#include "platform/midi_byte_decoder.h"
#include "platform/winmm.h"

#include <stddef.h>
#include <stdint.h>

struct SysexAssembly {
    MidiStreamState stream;
    // Part of the current message was lost for want of a header: the rest of it is dropped too,
    // so no header ever holds a message without its beginning.
    bool dropping = false;
};

struct SysexFeed {
    size_t consumed;  // bytes taken from the input
    // 0, or how to hand the header back: MIM_LONGDATA when it holds a whole message or is full,
    // MIM_LONGERROR when it holds the start of a message that a status byte has cut short.
    UINT handBack;
};

// Feeds `bytes` into `header` (the first queued one, or null when none is queued) from its
// dwBytesRecorded on, and stops right after the header is done. Real-time bytes and short
// messages are skipped. A message cut short by a new status byte hands back what the header holds
// of it; that byte is left for the next call.
SysexFeed FeedSysex(SysexAssembly& assembly, const uint8_t* bytes, size_t size, MIDIHDR* header);
