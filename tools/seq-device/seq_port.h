#pragma once

#include <alsa/asoundlib.h>

#include <cstdint>
#include <string>
#include <vector>

#include "tools/common/sysex_assembler.h"

// The device's end of a virtual MIDI cable: a sequencer client subscribed both ways to the port of
// a kernel client (the other end of a virtual raw MIDI device), so that what a program writes to
// the raw device arrives here and what is sent here arrives on the raw device's input.
class SeqPort {
public:
    // Connects to the first port of the first client whose name begins with `peerName`.
    // Throws std::runtime_error with the system's message when that fails.
    explicit SeqPort(const std::string& peerName);
    ~SeqPort();
    SeqPort(const SeqPort&) = delete;
    SeqPort& operator=(const SeqPort&) = delete;

    // Waits at most `timeoutMs` for events and returns the SysEx messages they completed.
    std::vector<std::vector<uint8_t>> Receive(int timeoutMs);
    void Send(const std::vector<uint8_t>& sysex);

private:
    snd_seq_t* seq_ = nullptr;
    int port_ = -1;
    SysExAssembler assembler_;
};
