#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// Joins the pieces in which a MIDI link delivers one System Exclusive message. A message
// starts at 0xF0 and ends at 0xF7; bytes outside a message are dropped, and a new 0xF0 before the
// end throws the unfinished message away, as a MIDI receiver does.
class SysExAssembler {
public:
    // Adds a piece and returns the messages it completed, each with its 0xF0 and 0xF7.
    std::vector<std::vector<uint8_t>> Feed(const uint8_t* bytes, size_t length);

private:
    std::vector<uint8_t> pending_;
    bool inMessage_ = false;
};
