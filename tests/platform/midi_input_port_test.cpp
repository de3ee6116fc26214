// The one road of received bytes into an input's queued headers, whatever the backend: the header
// rules of the Windows service, SysEx laid into headers however the bytes arrive, messages cut
// short, and messages that find no header.
#include "platform/midi_input_port.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;
using Messages = std::vector<Bytes>;

struct Returned {
    UINT message;
    MIDIHDR* header;
    Bytes bytes;  // what the header holds, or a short message's bytes
};

// A port fed by the test itself, with headers of `capacity` bytes. Like the tool, its callback
// queues a returned header again at once, unless `requeue` is cleared.
class FedInput : public MidiInputPort {
public:
    explicit FedInput(DWORD capacity, size_t headerCount = 2) : MidiInputPort(&Callback, 0)
    {
        buffers_.assign(headerCount, Bytes(capacity));
        headers_.resize(headerCount);
        for (size_t i = 0; i < headerCount; ++i) {
            headers_[i].lpData = reinterpret_cast<char*>(buffers_[i].data());
            headers_[i].dwBufferLength = capacity;
        }
    }

    using MidiInputPort::EndMessage;
    MMRESULT Start() override { return MMSYSERR_NOERROR; }

    void Queue(size_t i)
    {
        ASSERT_EQ(Prepare(&headers_[i], sizeof(MIDIHDR)), MMSYSERR_NOERROR);
        ASSERT_EQ(AddBuffer(&headers_[i], sizeof(MIDIHDR)), MMSYSERR_NOERROR);
    }

    // The SysEx headers handed back while `bytes` arrive.
    Messages Feed(const Bytes& bytes)
    {
        size_t before = returned.size();
        dropped += Receive(bytes.data(), bytes.size());
        Messages messages;
        for (size_t i = before; i < returned.size(); ++i) {
            if (returned[i].message != MIM_DATA) messages.push_back(returned[i].bytes);
        }
        return messages;
    }

    std::vector<UINT> Kinds() const
    {
        std::vector<UINT> kinds;
        for (const Returned& r : returned) kinds.push_back(r.message);
        return kinds;
    }

    MIDIHDR* Header(size_t i) { return &headers_[i]; }

    std::vector<Returned> returned;
    bool requeue = true;
    size_t dropped = 0;

private:
    MMRESULT StopListening() override { return MMSYSERR_NOERROR; }

    static void CALLBACK Callback(HMIDIIN handle, UINT message, DWORD_PTR, DWORD_PTR param1, DWORD_PTR)
    {
        auto* port = static_cast<FedInput*>(reinterpret_cast<MidiInputPort*>(handle));
        if (message == MIM_DATA) {
            port->returned.push_back({message, nullptr, {uint8_t(param1), uint8_t(param1 >> 8), uint8_t(param1 >> 16)}});
            return;
        }
        auto* header = reinterpret_cast<MIDIHDR*>(param1);
        const auto* data = reinterpret_cast<const uint8_t*>(header->lpData);
        port->returned.push_back({message, header, Bytes(data, data + header->dwBytesRecorded)});
        EXPECT_EQ(header->dwFlags & (MHDR_DONE | MHDR_INQUEUE), DWORD(MHDR_DONE));
        if (port->requeue) port->AddBuffer(header, sizeof *header);
    }

    std::vector<Bytes> buffers_;
    std::vector<MIDIHDR> headers_;
};

const UINT LONGDATA = MIM_LONGDATA, LONGERROR = MIM_LONGERROR, DATA = MIM_DATA;

TEST(MidiInputPort, KeepsTheHeaderRulesOfTheWindowsService)
{
    FedInput port(200);
    MIDIHDR* header = port.Header(0);
    EXPECT_EQ(port.AddBuffer(header, sizeof *header), MIDIERR_UNPREPARED);
    EXPECT_EQ(port.AddBuffer(header, sizeof *header - 1), MMSYSERR_INVALPARAM);
    EXPECT_EQ(port.AddBuffer(nullptr, sizeof *header), MMSYSERR_INVALPARAM);
    port.Queue(0);
    EXPECT_EQ(header->dwFlags, DWORD(MHDR_PREPARED | MHDR_INQUEUE));
    EXPECT_EQ(port.AddBuffer(header, sizeof *header), MIDIERR_STILLPLAYING);
    EXPECT_EQ(port.Unprepare(header, sizeof *header), MIDIERR_STILLPLAYING);
    port.Queue(1);

    // Reset gives back every header queued when it was called, in order, even to a callback that
    // queues them again; then both may be unprepared.
    port.requeue = false;
    ASSERT_EQ(port.Reset(), MMSYSERR_NOERROR);
    ASSERT_EQ(port.returned.size(), 2u);
    EXPECT_EQ(port.returned[0].header, port.Header(0));
    EXPECT_EQ(port.returned[1].header, port.Header(1));
    EXPECT_EQ(port.QueuedHeaders(), 0u);
    for (size_t i = 0; i < 2; ++i) {
        EXPECT_EQ(port.Unprepare(port.Header(i), sizeof(MIDIHDR)), MMSYSERR_NOERROR);
        EXPECT_EQ(port.Header(i)->dwFlags, DWORD(MHDR_DONE));
    }
    FedInput again(200);
    again.Queue(0);
    ASSERT_EQ(again.Reset(), MMSYSERR_NOERROR);
    EXPECT_EQ(again.returned.size(), 1u);
    EXPECT_EQ(again.QueuedHeaders(), 1u);
}

TEST(MidiInputPort, LaysMessagesIntoTheHeadersHoweverTheBytesArrive)
{
    FedInput port(200, 1);
    port.Queue(0);
    EXPECT_EQ(port.Feed({0xF0, 0x1A}), Messages{});
    EXPECT_EQ(port.Feed({0x01}), Messages{});
    EXPECT_EQ(port.Feed({0x02, 0xF7, 0xF0}), (Messages{{0xF0, 0x1A, 0x01, 0x02, 0xF7}}));
    EXPECT_EQ(port.Feed({0x20, 0xF7, 0xF0, 0x77, 0xF7}), (Messages{{0xF0, 0x20, 0xF7}, {0xF0, 0x77, 0xF7}}));
    // An empty SysEx is still a message of its own.
    EXPECT_EQ(port.Feed({0xF0, 0xF7}), (Messages{{0xF0, 0xF7}}));
    EXPECT_EQ(port.returned.back().message, LONGDATA);
}

TEST(MidiInputPort, HandsShortMessagesAndRealTimeBytesOverAsShortMessages)
{
    FedInput port(200, 1);
    port.Queue(0);
    // A note, a stray end and data bytes outside a message; clock and active sensing inside one.
    EXPECT_EQ(port.Feed({0x90, 0x40, 0x7F, 0xF7, 0x05, 0xF0, 0xF8, 0x1A, 0xFE, 0xF7, 0x80, 0x40, 0x00}),
              (Messages{{0xF0, 0x1A, 0xF7}}));
    EXPECT_EQ(port.Kinds(), (std::vector<UINT>{DATA, DATA, DATA, LONGDATA, DATA}));
    EXPECT_EQ(port.returned[0].bytes, (Bytes{0x90, 0x40, 0x7F}));
    EXPECT_EQ(port.returned[1].bytes, (Bytes{0xF8, 0, 0}));
    EXPECT_EQ(port.returned[4].bytes, (Bytes{0x80, 0x40, 0x00}));
}

TEST(MidiInputPort, GoesOnInTheNextHeaderWithAMessageLongerThanOne)
{
    FedInput port(4);
    port.Queue(0);
    port.Queue(1);
    EXPECT_EQ(port.Feed({0xF0, 1, 2, 3, 4, 5, 6, 7, 0xF8, 8, 0xF7}), (Messages{{0xF0, 1, 2, 3}, {4, 5, 6, 7}, {8, 0xF7}}));
    // A message that fills a header exactly ends there: the next one starts afresh.
    EXPECT_EQ(port.Feed({0xF0, 1, 2, 0xF7, 0xF0, 0x1A, 0xF7}), (Messages{{0xF0, 1, 2, 0xF7}, {0xF0, 0x1A, 0xF7}}));
    EXPECT_EQ(port.returned[1].header, port.Header(1));
}

TEST(MidiInputPort, HandsBackAMessageCutShortAsALongError)
{
    FedInput port(200, 1);
    port.Queue(0);
    EXPECT_EQ(port.Feed({0xF0, 0x01, 0x02, 0xF0, 0x1A, 0xF7}), (Messages{{0xF0, 0x01, 0x02}, {0xF0, 0x1A, 0xF7}}));
    // A channel message ends the SysEx: its data bytes and the late end byte are not a message.
    EXPECT_EQ(port.Feed({0xF0, 0x01, 0x90, 0x40, 0x7F, 0xF7}), (Messages{{0xF0, 0x01}}));
    // Ended where it is, as a page's message that stopped without its end byte.
    EXPECT_EQ(port.Feed({0xF0, 0x20}), Messages{});
    port.EndMessage(MIM_LONGERROR);
    EXPECT_EQ(port.returned.back().bytes, (Bytes{0xF0, 0x20}));
    EXPECT_EQ(port.Kinds(), (std::vector<UINT>{LONGERROR, LONGDATA, LONGERROR, DATA, LONGERROR}));

    // Cut short in its second header: the first went back full, the second with what it holds.
    FedInput small(3, 1);
    small.Queue(0);
    EXPECT_EQ(small.Feed({0xF0, 1, 2, 3, 0xF0, 0x1A, 0xF7}), (Messages{{0xF0, 1, 2}, {3}, {0xF0, 0x1A, 0xF7}}));
    EXPECT_EQ(small.Kinds(), (std::vector<UINT>{LONGDATA, LONGERROR, LONGDATA}));
}

TEST(MidiInputPort, DropsAMessageFromWhereItFindsNoHeader)
{
    FedInput port(200, 1);
    EXPECT_EQ(port.Feed({0xF0, 0x1A}), Messages{});
    port.Queue(0);
    // The rest of that message must not pass for a message of its own.
    EXPECT_EQ(port.Feed({0x05, 0x06, 0xF7}), Messages{});
    EXPECT_EQ(port.Feed({0xF0, 0x20, 0xF7}), (Messages{{0xF0, 0x20, 0xF7}}));
    EXPECT_EQ(port.dropped, 5u);

    // Part-way: what had a header went back; the rest is dropped, and the next message is whole.
    FedInput small(3, 1);
    small.Queue(0);
    small.requeue = false;
    EXPECT_EQ(small.Feed({0xF0, 1, 2, 3, 4, 0xF7}), (Messages{{0xF0, 1, 2}}));
    small.Queue(0);
    EXPECT_EQ(small.Feed({0xF0, 0x77, 0xF7}), (Messages{{0xF0, 0x77, 0xF7}}));
    EXPECT_EQ(small.dropped, 3u);
}

TEST(MidiInputPort, StopHandsBackAHeaderHoldingPartOfAMessageOnly)
{
    FedInput port(200);
    port.requeue = false;
    port.Queue(0);
    port.Queue(1);
    EXPECT_EQ(port.Feed({0xF0, 0x1A, 0xF7, 0xF0, 0x01, 0x02}), (Messages{{0xF0, 0x1A, 0xF7}}));
    ASSERT_EQ(port.Stop(), MMSYSERR_NOERROR);
    ASSERT_EQ(port.returned.size(), 2u);
    EXPECT_EQ(port.returned[1].message, LONGDATA);
    EXPECT_EQ(port.returned[1].bytes, (Bytes{0xF0, 0x01, 0x02}));
    // An empty header stays queued, and what follows the stop starts afresh.
    port.Queue(0);
    ASSERT_EQ(port.Stop(), MMSYSERR_NOERROR);
    EXPECT_EQ(port.returned.size(), 2u);
    EXPECT_EQ(port.QueuedHeaders(), 1u);
    EXPECT_EQ(port.Feed({0x03, 0xF7}), Messages{});
}

}  // namespace
