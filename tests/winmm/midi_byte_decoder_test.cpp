// What only the reader sees: the ALSA assembler's tests and the simulated backend's read SysEx,
// real-time bytes, running status and cut-short messages through it already.
#include "backends/winmm/midi_byte_decoder.h"

#include <gtest/gtest.h>

namespace {

// The messages read from `piece`: a short one as its packed value, a SysEx as its length, negated
// when it was cut short.
std::vector<long> Feed(MidiMessageReader& reader, const std::vector<uint8_t>& piece)
{
    std::vector<long> read;
    for (const MidiMessage& message : reader.Feed(piece.data(), piece.size())) {
        long length = long(message.bytes.size());
        read.push_back(!message.sysex ? long(message.packed) : message.complete ? length : -length);
    }
    return read;
}

TEST(MidiMessageReader, KnowsEachMessagesLengthAndKeepsASysExAcrossPieces)
{
    MidiMessageReader reader;
    // Data without a status is dropped; a program change has one data byte and runs on.
    EXPECT_EQ(Feed(reader, {0x41, 0xC0, 0x05, 0x06}), (std::vector<long>{0x5C0, 0x6C0}));
    // A system message has its own length and does not run on; a tune request has no data.
    EXPECT_EQ(Feed(reader, {0xF3, 0x01, 0x02, 0xF6}), (std::vector<long>{0x1F3, 0xF6}));
    EXPECT_EQ(Feed(reader, {0xF0, 0x31}), std::vector<long>{});
    EXPECT_EQ(Feed(reader, {0x32, 0xF7}), std::vector<long>{4});
}

}  // namespace
