// The one reader of a MIDI 1.0 byte stream, shared by every backend that receives bytes and by
// the device programs.
#pragma once

#include <stddef.h>
#include <stdint.h>

#include <vector>

struct MidiStreamState {
    bool inSysex = false;
    uint8_t status = 0;  // of the short message being read, kept as running status; 0: none
    uint8_t data[2] = {};
    uint8_t dataCount = 0;
};

enum class MidiByteKind {
    None,      // nothing complete: a data byte of an unfinished message, or a byte with no message
    Sysex,     // a byte of the SysEx being read: 0xF0 starts it, 0xF7 ends it
    SysexCut,  // the SysEx being read ends here without its 0xF7; the byte was not taken: feed it again
    Short,     // a short message complete (`packed`), or a real-time byte, which may come anywhere
};

struct MidiByte {
    MidiByteKind kind;
    uint32_t packed;  // Short: status | data1 << 8 | data2 << 16, as MIM_DATA's dwParam1 carries it
};

// A SysEx ends at 0xF7 or is cut short by any status byte but a real-time one, which then starts
// the next message; short messages run on under running status (channel messages only); data
// bytes with no status are dropped.
MidiByte DecodeMidiByte(MidiStreamState& state, uint8_t byte);

// One thing received, as a Windows MIDI input hands it over.
struct MidiMessage {
    bool sysex = false;
    // SysEx: whether it ended with its 0xF7 (otherwise it was cut short); `bytes` from 0xF0 on.
    bool complete = false;
    std::vector<uint8_t> bytes;
    uint32_t packed = 0;  // a short message
};

// Reads whole messages out of the pieces a stream arrives in.
class MidiMessageReader {
public:
    std::vector<MidiMessage> Feed(const uint8_t* bytes, size_t size);

private:
    MidiStreamState state_;
    std::vector<uint8_t> sysex_;
};
