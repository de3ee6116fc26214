// The byte stream as the backends and device programs read it, in whatever pieces it arrives.
#include "platform/midi_byte_decoder.h"

#include <gtest/gtest.h>

namespace {

using Bytes = std::vector<uint8_t>;

// Each message as text: "sysex F0 1A F7", "cut F0 01", "short 7F4090".
std::vector<std::string> Feed(MidiMessageReader& reader, const Bytes& piece)
{
    std::vector<std::string> read;
    for (const MidiMessage& message : reader.Feed(piece.data(), piece.size())) {
        char text[16];
        if (!message.sysex) {
            snprintf(text, sizeof text, "short %X", unsigned(message.packed));
            read.push_back(text);
            continue;
        }
        std::string line = message.complete ? "sysex" : "cut";
        for (uint8_t byte : message.bytes) {
            snprintf(text, sizeof text, " %02X", byte);
            line += text;
        }
        read.push_back(line);
    }
    return read;
}

using Read = std::vector<std::string>;

TEST(MidiMessageReader, JoinsASysExAcrossPiecesAroundRealTimeBytes)
{
    MidiMessageReader reader;
    EXPECT_EQ(Feed(reader, {0xF0, 0x31}), Read{});
    EXPECT_EQ(Feed(reader, {0xF8, 0x32}), Read{"short F8"});
    EXPECT_EQ(Feed(reader, {0x33, 0xF7, 0xF0, 0x1A, 0xF7, 0xF0}),
              (Read{"sysex F0 31 32 33 F7", "sysex F0 1A F7"}));
    EXPECT_EQ(Feed(reader, {0xF7}), Read{"sysex F0 F7"});
}

TEST(MidiMessageReader, CutsASysExShortAtAStatusByteThatStartsTheNextMessage)
{
    MidiMessageReader reader;
    EXPECT_EQ(Feed(reader, {0xF0, 0x01, 0xF0, 0x1A, 0xF7}), (Read{"cut F0 01", "sysex F0 1A F7"}));
    // The note that cuts it is read whole; the late end byte belongs to nothing.
    EXPECT_EQ(Feed(reader, {0xF0, 0x02, 0x90, 0x40, 0x7F, 0xF7}), (Read{"cut F0 02", "short 7F4090"}));
}

TEST(MidiMessageReader, RunsChannelMessagesOnAndDropsDataWithoutStatus)
{
    MidiMessageReader reader;
    EXPECT_EQ(Feed(reader, {0x41, 0x42, 0x90, 0x40}), Read{});
    EXPECT_EQ(Feed(reader, {0x7F, 0x41, 0x00, 0xC0, 0x05, 0x06}),
              (Read{"short 7F4090", "short 4190", "short 5C0", "short 6C0"}));
    // A system message does not run on; a tune request has no data at all.
    EXPECT_EQ(Feed(reader, {0xF3, 0x01, 0x02, 0xF6}), (Read{"short 1F3", "short F6"}));
}

}  // namespace
