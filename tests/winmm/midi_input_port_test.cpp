// The one road of received bytes into an input's queued headers, whatever the backend: the header
// rules of the Windows service, SysEx laid into headers however the bytes arrive, messages cut
// short, and messages that find no header.
#include "backends/winmm/midi_input_port.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;
using Messages = std::vector<Bytes>;

const UINT LONGDATA = MIM_LONGDATA, LONGERROR = MIM_LONGERROR, DATA = MIM_DATA;

// A port fed by the test, with `count` headers of `capacity` bytes, all queued. Like the tool,
// its callback queues a returned header again at once, unless `requeue` is cleared.
class FedInput : public MidiInputPort {
public:
    FedInput(DWORD capacity, size_t count) : MidiInputPort(&Callback, 0), buffers_(count, Bytes(capacity)), headers_(count)
    {
        for (size_t i = 0; i < count; ++i) {
            headers_[i].lpData = reinterpret_cast<char*>(buffers_[i].data());
            headers_[i].dwBufferLength = capacity;
            Queue(i);
        }
    }

    using MidiInputPort::EndMessage;
    MMRESULT Start() override { return MMSYSERR_NOERROR; }

    void Queue(size_t i)
    {
        Prepare(&headers_[i], sizeof(MIDIHDR));
        ASSERT_EQ(AddBuffer(&headers_[i], sizeof(MIDIHDR)), MMSYSERR_NOERROR);
    }

    // The SysEx headers handed back while `bytes` arrive.
    Messages Feed(const Bytes& bytes)
    {
        size_t before = kinds.size();
        dropped += Receive(bytes.data(), bytes.size());
        Messages messages;
        for (size_t i = before; i < kinds.size(); ++i) {
            if (kinds[i] != DATA) messages.push_back(contents[i]);
        }
        return messages;
    }

    MIDIHDR* Header(size_t i) { return &headers_[i]; }

    std::vector<UINT> kinds;
    std::vector<Bytes> contents;  // what each header held, or a short message's bytes
    std::vector<MIDIHDR*> handedBack;
    bool requeue = true;
    size_t dropped = 0;

private:
    MMRESULT StopListening() override { return MMSYSERR_NOERROR; }

    static void CALLBACK Callback(HMIDIIN handle, UINT message, DWORD_PTR, DWORD_PTR param1, DWORD_PTR)
    {
        auto* port = static_cast<FedInput*>(reinterpret_cast<MidiInputPort*>(handle));
        port->kinds.push_back(message);
        if (message == MIM_DATA) {
            port->contents.push_back({uint8_t(param1), uint8_t(param1 >> 8), uint8_t(param1 >> 16)});
            return;
        }
        auto* header = reinterpret_cast<MIDIHDR*>(param1);
        const auto* data = reinterpret_cast<const uint8_t*>(header->lpData);
        port->contents.emplace_back(data, data + header->dwBytesRecorded);
        port->handedBack.push_back(header);
        EXPECT_EQ(header->dwFlags & (MHDR_DONE | MHDR_INQUEUE), DWORD(MHDR_DONE));
        if (port->requeue) port->AddBuffer(header, sizeof *header);
    }

    std::vector<Bytes> buffers_;
    std::vector<MIDIHDR> headers_;
};

TEST(MidiInputPort, KeepsTheHeaderRulesOfTheWindowsService)
{
    FedInput port(200, 0);
    MIDIHDR header{};
    char buffer[8];
    header.lpData = buffer;
    header.dwBufferLength = sizeof buffer;
    EXPECT_EQ(port.AddBuffer(&header, sizeof header), MIDIERR_UNPREPARED);
    EXPECT_EQ(port.AddBuffer(&header, sizeof header - 1), MMSYSERR_INVALPARAM);
    EXPECT_EQ(port.AddBuffer(nullptr, sizeof header), MMSYSERR_INVALPARAM);
    port.Prepare(&header, sizeof header);
    ASSERT_EQ(port.AddBuffer(&header, sizeof header), MMSYSERR_NOERROR);
    EXPECT_EQ(header.dwFlags, DWORD(MHDR_PREPARED | MHDR_INQUEUE));
    EXPECT_EQ(port.AddBuffer(&header, sizeof header), MIDIERR_STILLPLAYING);
    EXPECT_EQ(port.Unprepare(&header, sizeof header), MIDIERR_STILLPLAYING);

    // Reset gives back every header queued when it was called, in order, even to a callback that
    // queues them again; then they may be unprepared.
    FedInput two(200, 2);
    ASSERT_EQ(two.Reset(), MMSYSERR_NOERROR);
    EXPECT_EQ(two.handedBack, (std::vector<MIDIHDR*>{two.Header(0), two.Header(1)}));
    EXPECT_EQ(two.QueuedHeaders(), 2u);
    two.requeue = false;
    ASSERT_EQ(two.Reset(), MMSYSERR_NOERROR);
    EXPECT_EQ(two.QueuedHeaders(), 0u);
    EXPECT_EQ(two.Unprepare(two.Header(0), sizeof(MIDIHDR)), MMSYSERR_NOERROR);
    EXPECT_EQ(two.Header(0)->dwFlags, DWORD(MHDR_DONE));
    port.requeue = false;
    port.Reset();
}

TEST(MidiInputPort, LaysMessagesIntoTheHeadersHoweverTheBytesArrive)
{
    FedInput port(4, 2);
    EXPECT_EQ(port.Feed({0xF0, 0x1A}), Messages{});
    EXPECT_EQ(port.Feed({0xF7, 0xF0}), (Messages{{0xF0, 0x1A, 0xF7}}));
    // Longer than a header: it goes on in the next one; one that fills a header exactly ends there.
    EXPECT_EQ(port.Feed({1, 2, 3, 4, 5, 6, 0xF8, 7, 0xF7, 0xF0, 1, 2, 0xF7, 0xF0, 0xF7}),
              (Messages{{0xF0, 1, 2, 3}, {4, 5, 6, 7}, {0xF7}, {0xF0, 1, 2, 0xF7}, {0xF0, 0xF7}}));
    // A note, a stray end and data bytes outside a message, the clock inside one: short messages.
    EXPECT_EQ(port.Feed({0x90, 0x40, 0x7F, 0xF7, 0x05, 0xF0, 0xF8, 0x1A, 0xF7}), (Messages{{0xF0, 0x1A, 0xF7}}));
    EXPECT_EQ(port.contents[port.contents.size() - 3], (Bytes{0x90, 0x40, 0x7F}));
    EXPECT_EQ(port.contents[port.contents.size() - 2], (Bytes{0xF8, 0, 0}));
    EXPECT_EQ(port.handedBack[1], port.Header(1));
}

TEST(MidiInputPort, HandsBackAMessageCutShortAsALongError)
{
    FedInput port(200, 1);
    EXPECT_EQ(port.Feed({0xF0, 0x01, 0x02, 0xF0, 0x1A, 0xF7}), (Messages{{0xF0, 0x01, 0x02}, {0xF0, 0x1A, 0xF7}}));
    // A channel message ends the SysEx: its data bytes and the late end byte are not a message.
    EXPECT_EQ(port.Feed({0xF0, 0x01, 0x90, 0x40, 0x7F, 0xF7}), (Messages{{0xF0, 0x01}}));
    // Ended where it is, as a page's message that stopped without its end byte.
    port.Feed({0xF0, 0x20});
    port.EndMessage(MIM_LONGERROR);
    EXPECT_EQ(port.contents.back(), (Bytes{0xF0, 0x20}));
    EXPECT_EQ(port.kinds, (std::vector<UINT>{LONGERROR, LONGDATA, LONGERROR, DATA, LONGERROR}));

    // Cut short in its second header: the first went back full, the second with what it holds.
    FedInput small(3, 1);
    EXPECT_EQ(small.Feed({0xF0, 1, 2, 3, 0xF0, 0x1A, 0xF7}), (Messages{{0xF0, 1, 2}, {3}, {0xF0, 0x1A, 0xF7}}));
    EXPECT_EQ(small.kinds, (std::vector<UINT>{LONGDATA, LONGERROR, LONGDATA}));
}

TEST(MidiInputPort, DropsAMessageFromWhereItFindsNoHeader)
{
    FedInput port(3, 1);
    port.requeue = false;
    // Part-way: what had a header went back; the rest is dropped, and must not pass for a message.
    EXPECT_EQ(port.Feed({0xF0, 1, 2, 3, 4}), (Messages{{0xF0, 1, 2}}));
    port.Queue(0);
    EXPECT_EQ(port.Feed({5, 0xF7, 0xF0, 0x77, 0xF7}), (Messages{{0xF0, 0x77, 0xF7}}));
    EXPECT_EQ(port.dropped, 4u);
    // A dropped message cut short, by the next one's F0 or where a page's message stops: the
    // next one is whole.
    for (bool stopped : {false, true}) {
        port.Feed({0xF0, 1, 2});
        if (stopped) port.EndMessage(MIM_LONGERROR);
        port.Queue(0);
        EXPECT_EQ(port.Feed({0xF0, 0x1A, 0xF7}), (Messages{{0xF0, 0x1A, 0xF7}})) << stopped;
    }
}

TEST(MidiInputPort, StopHandsBackAHeaderHoldingPartOfAMessageOnly)
{
    FedInput port(200, 2);
    port.requeue = false;
    EXPECT_EQ(port.Feed({0xF0, 0x1A, 0xF7, 0xF0, 0x01, 0x02}), (Messages{{0xF0, 0x1A, 0xF7}}));
    ASSERT_EQ(port.Stop(), MMSYSERR_NOERROR);
    EXPECT_EQ(port.kinds, (std::vector<UINT>{LONGDATA, LONGDATA}));
    EXPECT_EQ(port.contents[1], (Bytes{0xF0, 0x01, 0x02}));
    // An empty header stays queued, and what follows the stop starts afresh.
    port.Queue(0);
    ASSERT_EQ(port.Stop(), MMSYSERR_NOERROR);
    EXPECT_EQ(port.kinds.size(), 2u);
    EXPECT_EQ(port.QueuedHeaders(), 1u);
    EXPECT_EQ(port.Feed({0x03, 0xF7}), Messages{});
}

}  // namespace
