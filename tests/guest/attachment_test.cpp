// The device's restart as the host controller sees it: its last answer reaches the host before
// the device goes, and the device that comes back knows nothing of the old one's transfers (a
// reply to one of them would reach the new connection, whose host never submitted it).
#include "tools/usb-device/attachment.h"

#include "tests/guest/usbip_host_wire.h"
#include "tests/support/image_text.h"
#include "tools/usb-device/event_packets.h"

#include <gtest/gtest.h>

#include <sys/socket.h>
#include <unistd.h>

#include <set>

namespace {

// The kernel's end of one connection, written before the device serves it.
class HostEnd {
public:
    HostEnd()
    {
        int pair[2];
        EXPECT_EQ(socketpair(AF_UNIX, SOCK_STREAM, 0, pair), 0);
        host_ = pair[0];
        device_ = pair[1];
    }
    ~HostEnd()
    {
        close(host_);
        close(device_);
    }

    int DeviceSocket() const { return device_; }
    void Write(const Bytes& wire)
    {
        EXPECT_EQ(write(host_, wire.data(), wire.size()), ssize_t(wire.size()));
    }
    void InTransfer(uint32_t seqnum)
    {
        Write(Submit(seqnum, USBIP_DIR_IN, 1, 64));
        ins_.insert(seqnum);
    }
    void Message(uint32_t seqnum, const Bytes& sysex)
    {
        const Bytes packets = EncodeEventPackets(sysex);
        Write(Submit(seqnum, USBIP_DIR_OUT, 1, uint32_t(packets.size()), Bytes(8), packets));
    }
    void Disconnect() { shutdown(host_, SHUT_WR); }

    // Every reply the device has written; an IN transfer's carries its data.
    std::vector<Reply> Replies() const
    {
        Bytes stream(1 << 16);
        ssize_t n = recv(host_, stream.data(), stream.size(), MSG_DONTWAIT);
        stream.resize(size_t(std::max<ssize_t>(n, 0)));
        std::vector<Reply> replies;
        for (size_t at = 0; at + USBIP_HEADER_SIZE <= stream.size();) {
            Bytes header(stream.begin() + long(at), stream.begin() + long(at + USBIP_HEADER_SIZE));
            size_t data = ins_.count(Get(header, 4)) != 0 ? Get(header, 24) : 0;
            replies.push_back(Read(Bytes(stream.begin() + long(at),
                                         stream.begin() + long(at + USBIP_HEADER_SIZE + data))));
            at += USBIP_HEADER_SIZE + data;
        }
        return replies;
    }

private:
    int host_ = -1, device_ = -1;
    std::set<uint32_t> ins_;
};

Bytes DataFrame(const Bytes& record)
{
    const std::string text = ToImageText(record, record.size());
    Bytes frame = {0xF0};
    for (char c : text) {
        if (c != ' ' && c != '\r' && c != '\n') frame.push_back(uint8_t(c));
    }
    frame.push_back(0xF7);
    return frame;
}

const Bytes IDENTIFY_REQUEST = {0xF0, 0x35, 0x62, 0x0E, 0x71, 0x48, 0x13, 0x59, 0xF7};

AttachmentEnd Serve(HostEnd& host, ControllerSession& device, const MsClock& clock)
{
    return ServeAttachment(host.DeviceSocket(), device, clock, "quillstrand MIDI", [] {});
}

TEST(Attachment, LastAnswerLeavesThenANewDeviceServesWithNoOldTransfer)
{
    const Bytes record = MakeRecord({1, 2});
    ControllerSetup setup;
    setup.firmware.firmwareSize = uint32_t(record.size());  // the one record completes it
    setup.restart = {true, 0, 60000};                        // back at once, starting for long
    ControllerSession device(setup);
    MsClock clock;

    HostEnd first;
    first.InTransfer(1);
    first.InTransfer(2);
    first.Message(3, DataFrame(record));
    first.Disconnect();
    EXPECT_EQ(Serve(first, device, clock), AttachmentEnd::Left);
    std::vector<Reply> replies = first.Replies();
    ASSERT_EQ(replies.size(), 2u);
    EXPECT_EQ(replies[0].seqnum, 3u);
    EXPECT_EQ(replies[1].seqnum, 1u);
    EXPECT_EQ(replies[1].data, EncodeEventPackets({0xF0, 0x77, 0xF7}));

    // Transfer 2 of the old connection still waited; the new one's 7 takes the answer.
    HostEnd second;
    second.InTransfer(7);
    second.Message(8, IDENTIFY_REQUEST);
    second.Disconnect();
    EXPECT_EQ(Serve(second, device, clock), AttachmentEnd::HostLeft);
    replies = second.Replies();
    ASSERT_EQ(replies.size(), 2u);
    EXPECT_EQ(replies[0].seqnum, 8u);
    EXPECT_EQ(replies[1].seqnum, 7u);
    EXPECT_EQ(replies[1].data, EncodeEventPackets({0xF0, 0x15, 0xF7}));
    EXPECT_EQ(device.Appearances(), 2u);
    EXPECT_EQ(device.Firmware().Flash(), record);
}

}  // namespace
