// The transfers as the kernel's virtual host controller submits them, read off the wire: a reply
// the kernel does not get, or gets for a transfer it took back, hangs or breaks the driver.
#include "tools/usb-device/urb_handler.h"

#include "tests/guest/usbip_host_wire.h"
#include "tools/usb-device/usb_descriptors.h"

#include <gtest/gtest.h>

namespace {

struct Host {
    UsbipCommandReader reader;
    UrbHandler device{"Keys 49"};

    // Sends the wire bytes a byte at a time, as a stream may deliver them.
    UrbHandler::Outcome Send(const Bytes& wire)
    {
        UrbHandler::Outcome all;
        for (uint8_t byte : wire) {
            reader.Feed(&byte, 1);
            while (auto command = reader.Next()) {
                UrbHandler::Outcome one = device.Handle(*command);
                all.replies.insert(all.replies.end(), one.replies.begin(), one.replies.end());
                all.sysex.insert(all.sysex.end(), one.sysex.begin(), one.sysex.end());
            }
        }
        return all;
    }
};

// The one reply the device gives at once.
Reply Answer(Host& host, const Bytes& wire) { return Read(host.Send(wire).replies.at(0)); }

// A control transfer on endpoint 0 with its setup packet.
Bytes Control(uint32_t seqnum, const Bytes& setup)
{
    const uint32_t length = setup[6] | setup[7] << 8;
    return Submit(seqnum, (setup[0] & 0x80) ? USBIP_DIR_IN : USBIP_DIR_OUT, 0, length, setup);
}

TEST(UrbHandler, AnswersEnumerationAndStallsWhatItDoesNotKnow)
{
    Host host;
    // GET_DESCRIPTOR(device) for its first 8 bytes only, as the host asks first.
    Reply first = Answer(host, Control(7, {0x80, 6, 0, 1, 0, 0, 8, 0}));
    EXPECT_EQ(first.command, RET_SUBMIT);
    EXPECT_EQ(first.seqnum, 7u);
    EXPECT_EQ(first.status, 0);
    EXPECT_EQ(first.length, 8u);
    const Bytes device = DeviceDescriptor();
    EXPECT_EQ(first.data, Bytes(device.begin(), device.begin() + 8));
    EXPECT_EQ(Answer(host, Control(8, {0x80, 6, 0, 2, 0, 0, 255, 0})).data,
              ConfigurationDescriptor());
    // The product string is the one the device was given (string 2, US English).
    EXPECT_EQ(Answer(host, Control(12, {0x80, 6, 2, 3, 0x09, 0x04, 255, 0})).data,
              StringDescriptor(2, "Keys 49"));
    EXPECT_EQ(Answer(host, Control(9, {0, 9, 1, 0, 0, 0, 0, 0})).status, 0);
    // A class request, and a string it has not.
    EXPECT_EQ(Answer(host, Control(10, {0xA1, 0x81, 0, 1, 0, 0, 2, 0})).status, STATUS_STALL);
    EXPECT_EQ(Answer(host, Control(11, {0x80, 6, 7, 3, 9, 4, 255, 0})).status, STATUS_STALL);
}

TEST(UrbHandler, CarriesMidiBothWaysAndTakesBackWaitingTransfers)
{
    Host host;
    // The host's SysEx over two OUT transfers: whole only after the second.
    EXPECT_TRUE(host.Send(Submit(1, USBIP_DIR_OUT, 1, 4, {}, {4, 0xF0, 0x35, 0x62})).sysex.empty());
    UrbHandler::Outcome out = host.Send(Submit(2, USBIP_DIR_OUT, 1, 4, {}, {0x06, 0x0E, 0xF7, 0}));
    EXPECT_EQ(out.sysex, (std::vector<Bytes>{{0xF0, 0x35, 0x62, 0x0E, 0xF7}}));
    EXPECT_EQ(Read(out.replies.at(0)).length, 4u);

    // Three IN transfers wait; a 70-byte answer (24 packets) fills the first and part of the next.
    for (uint32_t seqnum : {3, 4, 5}) {
        EXPECT_TRUE(host.Send(Submit(seqnum, USBIP_DIR_IN, 1, 64)).replies.empty());
    }
    Bytes answer(70, 0x10);
    answer.front() = 0xF0;
    answer.back() = 0xF7;
    host.device.Send(answer);
    std::vector<Bytes> replies = host.device.AnswerWaitingIns();
    ASSERT_EQ(replies.size(), 2u);
    EXPECT_EQ(Read(replies[0]).seqnum, 3u);
    EXPECT_EQ(Read(replies[0]).length, 64u);
    EXPECT_EQ(Read(replies[1]).length, 32u);
    Bytes packets = Read(replies[0]).data;
    const Bytes rest = Read(replies[1]).data;
    packets.insert(packets.end(), rest.begin(), rest.end());
    EXPECT_EQ(packets, EncodeEventPackets(answer));

    // Transfer 5 still waits: taken back with ECONNRESET and never answered; 3 was answered.
    Reply unlinked = Answer(host, Unlink(6, 5));
    EXPECT_EQ(unlinked.command, RET_UNLINK);
    EXPECT_EQ(unlinked.seqnum, 6u);
    EXPECT_EQ(unlinked.status, STATUS_UNLINKED);
    EXPECT_EQ(Answer(host, Unlink(7, 3)).status, 0);
    host.device.Send({0xF0, 0x1A, 0xF7});
    EXPECT_TRUE(host.device.AnswerWaitingIns().empty());
    // The next transfer to wait takes it.
    EXPECT_EQ(Answer(host, Submit(8, USBIP_DIR_IN, 1, 64)).data, (Bytes{0x07, 0xF0, 0x1A, 0xF7}));
}

}  // namespace
