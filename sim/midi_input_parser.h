#pragma once

#include "platform/winmm.h"

#include <cstddef>
#include <cstdint>
#include <vector>

// One thing a Windows MIDI input hands the host for the bytes it received.
struct MidiInputMessage {
    UINT kind = MIM_DATA;  // MIM_DATA, MIM_LONGDATA or MIM_LONGERROR
    // MIM_DATA: the message packed as dwParam1 carries it, status | data1 << 8 | data2 << 16.
    DWORD packed = 0;
    // MIM_LONGDATA: a SysEx from 0xF0 to 0xF7; MIM_LONGERROR: one cut short, the bytes up to the cut.
    std::vector<uint8_t> sysex;
};

// Reads a MIDI input's byte stream as the Windows service does, across the pieces it arrives in:
// a SysEx ends at 0xF7, or is cut short by any status byte but a real-time one, which then starts
// the next message; every short message, running status expanded, is one MIM_DATA; a real-time
// byte is one at once, even inside a SysEx, which goes on; data bytes with no status are dropped.
class MidiInputParser {
public:
    std::vector<MidiInputMessage> Feed(const std::vector<uint8_t>& bytes);

private:
    void Status(uint8_t byte, std::vector<MidiInputMessage>& out);
    void Data(uint8_t byte, std::vector<MidiInputMessage>& out);

    bool inSysex_ = false;
    std::vector<uint8_t> sysex_;
    uint8_t status_ = 0;  // of the short message being read, kept as running status; 0: none
    std::vector<uint8_t> data_;
};
