// The USB-MIDI event packets both ways: every SysEx ending, real-time bytes inside a SysEx, and
// messages cut anywhere by the bulk transfers.
#include "tools/usb-device/event_packets.h"

#include <gtest/gtest.h>

namespace {

using Bytes = std::vector<uint8_t>;

TEST(EventPackets, EncodeEveryEndingAndRealTimeInsideASysEx)
{
    EXPECT_EQ(EncodeEventPackets({0xF0, 0x34, 0xF7}), (Bytes{0x07, 0xF0, 0x34, 0xF7}));
    EXPECT_EQ(EncodeEventPackets({0xF0, 0xF7}), (Bytes{0x06, 0xF0, 0xF7, 0}));
    EXPECT_EQ(EncodeEventPackets({0xF0, 1, 2, 0xF7}), (Bytes{0x04, 0xF0, 1, 2, 0x05, 0xF7, 0, 0}));
    EXPECT_EQ(EncodeEventPackets({0xF0, 1, 2, 3, 0xF7}),
              (Bytes{0x04, 0xF0, 1, 2, 0x06, 3, 0xF7, 0}));
    // A clock byte leaves alone and the SysEx goes on around it.
    EXPECT_EQ(EncodeEventPackets({0xF0, 1, 0xF8, 2, 3, 0xF7}),
              (Bytes{0x0F, 0xF8, 0, 0, 0x04, 0xF0, 1, 2, 0x06, 3, 0xF7, 0}));
    // An unended SysEx still arrives byte for byte.
    EXPECT_EQ(EncodeEventPackets({0xF0}), (Bytes{0x0F, 0xF0, 0, 0}));
    EXPECT_EQ(EncodeEventPackets({0xF0, 1, 2, 3}), (Bytes{0x04, 0xF0, 1, 2, 0x0F, 3, 0, 0}));
    // So does one that a status byte cuts short; short messages go whole, with their own CIN.
    EXPECT_EQ(EncodeEventPackets({0xF0, 0x20, 0x90, 0x40, 0x7F, 0xC0, 5, 0xF0, 0x1A, 0xF7}),
              (Bytes{0x0F, 0xF0, 0, 0, 0x0F, 0x20, 0, 0, 0x09, 0x90, 0x40, 0x7F, 0x0C, 0xC0, 5, 0,
                     0x07, 0xF0, 0x1A, 0xF7}));
}

TEST(EventPackets, DecodeWhatIsEncodedInAnyPieces)
{
    for (size_t length = 2; length <= 12; ++length) {
        Bytes message(length, 0x41);
        message.front() = 0xF0;
        message.back() = 0xF7;
        Bytes packets = EncodeEventPackets(message);
        Bytes both = packets;
        both.insert(both.end(), packets.begin(), packets.end());
        // One packet at a time: a transfer may end anywhere in a message.
        EventPacketDecoder decoder;
        std::vector<Bytes> decoded;
        for (size_t at = 0; at < both.size(); at += 4) {
            for (auto& m : decoder.Feed(both.data() + at, 4)) decoded.push_back(m);
        }
        EXPECT_EQ(decoded, (std::vector<Bytes>{message, message})) << "length " << length;
    }
    // Real-time bytes in a SysEx, in their own packet or (from a careless host) in its packets,
    // are not part of it; a packet's padding never is.
    EventPacketDecoder decoder;
    const Bytes packets = {0x04, 0xF0, 1, 0xFE, 0x0F, 0xF8, 0, 0, 0x05, 0xF7, 0x33, 0x33};
    EXPECT_EQ(decoder.Feed(packets.data(), packets.size()), (std::vector<Bytes>{{0xF0, 1, 0xF7}}));
}

}  // namespace
