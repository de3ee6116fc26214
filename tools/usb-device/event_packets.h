#pragma once

#include "backends/winmm/midi_byte_decoder.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// USB-MIDI event packets on cable 0: four bytes each, a code index number (CIN) in the low nibble
// of the first and up to three MIDI bytes after it.

// The packets that carry `bytes` as a byte stream: SysEx in threes (CIN 4) ended by CIN 5, 6 or 7
// with its F7; real-time bytes (F8-FF), also inside a SysEx, each alone (CIN F) without breaking
// it; short messages whole, with their own CIN; what is left of a message that a status byte
// cuts short or that the bytes end in, byte by byte (CIN F), so every byte arrives in order.
std::vector<uint8_t> EncodeEventPackets(const std::vector<uint8_t>& bytes);

// Reads packets from the host, in whatever pieces they arrive, into whole SysEx messages.
// Real-time bytes are not part of a message and are dropped.
class EventPacketDecoder {
public:
    // `length` is a multiple of 4 as the bulk endpoint delivers; a trailing part is ignored.
    std::vector<std::vector<uint8_t>> Feed(const uint8_t* packets, size_t length);

private:
    MidiMessageReader reader_;
};
