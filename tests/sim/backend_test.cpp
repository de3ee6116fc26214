// The winmm calls that ship, over the simulated backend, driven as a host drives them; time passes
// as a host sleeps (AdvanceSimulatedClock moves the clock as the host's Sleep does, without
// sleeping). Beside the calls' own rules, what the simulated device must do as Windows does, where
// doing otherwise would let a fault of the tool pass.
#include "backends/sim/inside_simulator.h"
#include "backends/sim/sim_script.h"
#include "backends/sim/simulator.h"
#include "tests/sim/fake_host.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

using Bytes = std::vector<uint8_t>;

void Simulate(const std::string& script)
{
    ConfigureSimulator(ParseSimScript("clock=virtual; " + script));
}

const HMIDIIN BOGUS_IN = reinterpret_cast<HMIDIIN>(uintptr_t(0x1234));
const HMIDIOUT BOGUS_OUT = reinterpret_cast<HMIDIOUT>(uintptr_t(0x1234));

TEST(SimBackend, OpensEachDeviceOnceAndRefusesBadNumbersAndDeadHandles)
{
    Simulate("");
    HMIDIIN in = nullptr;
    HMIDIOUT out = nullptr;
    EXPECT_EQ(midiInOpen(&in, 1, 0, 0, CALLBACK_NULL), MMSYSERR_BADDEVICEID);
    EXPECT_EQ(midiOutOpen(&out, 2, 0, 0, CALLBACK_NULL), MMSYSERR_BADDEVICEID);

    ASSERT_EQ(midiInOpen(&in, 0, 0, 0, CALLBACK_NULL), MMSYSERR_NOERROR);
    HMIDIIN again = nullptr;
    EXPECT_EQ(midiInOpen(&again, 0, 0, 0, CALLBACK_NULL), MMSYSERR_ALLOCATED);
    ASSERT_EQ(midiOutOpen(&out, 1, 0, 0, CALLBACK_NULL), MMSYSERR_NOERROR);

    EXPECT_EQ(midiInStart(BOGUS_IN), MMSYSERR_INVALHANDLE);
    EXPECT_EQ(midiOutClose(BOGUS_OUT), MMSYSERR_INVALHANDLE);
    // A handle of the other direction is no handle here.
    EXPECT_EQ(midiInClose(reinterpret_cast<HMIDIIN>(out)), MMSYSERR_INVALHANDLE);

    EXPECT_EQ(midiInClose(in), MMSYSERR_NOERROR);
    EXPECT_EQ(midiInClose(in), MMSYSERR_INVALHANDLE);
    EXPECT_EQ(midiInReset(in), MMSYSERR_INVALHANDLE);
    // The device is free again.
    HMIDIIN reopened = nullptr;
    ASSERT_EQ(midiInOpen(&reopened, 0, 0, 0, CALLBACK_NULL), MMSYSERR_NOERROR);

    RunCounts counts = SimulatorCounts();
    EXPECT_EQ(counts.inputsOpened, 2u);
    EXPECT_EQ(counts.inputsClosed, 1u);
    EXPECT_EQ(counts.inputsOpen, 1u);
    EXPECT_EQ(counts.outputsOpened, 1u);
    EXPECT_EQ(counts.outputsOpen, 1u);
    EXPECT_EQ(midiOutClose(out), MMSYSERR_NOERROR);
    EXPECT_EQ(midiInClose(reopened), MMSYSERR_NOERROR);
    EXPECT_EQ(SimulatorCounts().outputsOpen + SimulatorCounts().inputsOpen, 0u);
}

// The header rules are the ones that ship (backends/winmm/midi_calls.cpp and midi_header.cpp).
TEST(SimBackend, KeepsTheHeaderFlagRulesAndHandsQueuedBuffersBackOnReset)
{
    Simulate("");
    FakeHost host;
    host.requeue = false;
    ASSERT_EQ(midiInOpen(&host.in, 0, 0, 0, CALLBACK_NULL), MMSYSERR_NOERROR);
    host.Close();

    ASSERT_EQ(midiInOpen(&host.in, 0, reinterpret_cast<DWORD_PTR>(nullptr), 0, CALLBACK_FUNCTION),
              MMSYSERR_NOERROR);
    midiInClose(host.in);
    host.in = nullptr;

    FakeHost queued;
    queued.requeue = false;
    ASSERT_EQ(midiInOpen(&queued.in, 0, 0, 0, CALLBACK_NULL), MMSYSERR_NOERROR);
    MIDIHDR& header = queued.header;
    header.lpData = queued.buffer;
    header.dwBufferLength = sizeof queued.buffer;
    EXPECT_EQ(midiInAddBuffer(queued.in, &header, sizeof header), MIDIERR_UNPREPARED);
    EXPECT_EQ(midiInPrepareHeader(queued.in, &header, sizeof header - 1), MMSYSERR_INVALPARAM);
    ASSERT_EQ(midiInPrepareHeader(queued.in, &header, sizeof header), MMSYSERR_NOERROR);
    EXPECT_EQ(header.dwFlags, DWORD(MHDR_PREPARED));
    ASSERT_EQ(midiInAddBuffer(queued.in, &header, sizeof header), MMSYSERR_NOERROR);
    EXPECT_EQ(header.dwFlags, DWORD(MHDR_PREPARED | MHDR_INQUEUE));
    EXPECT_EQ(midiInAddBuffer(queued.in, &header, sizeof header), MIDIERR_STILLPLAYING);
    EXPECT_EQ(midiInUnprepareHeader(queued.in, &header, sizeof header), MIDIERR_STILLPLAYING);
    EXPECT_EQ(midiInClose(queued.in), MIDIERR_STILLPLAYING);
    EXPECT_EQ(SimulatorCounts().headersQueued, 1u);

    EXPECT_EQ(midiInReset(queued.in), MMSYSERR_NOERROR);
    EXPECT_EQ(header.dwFlags, DWORD(MHDR_PREPARED | MHDR_DONE));
    EXPECT_EQ(midiInUnprepareHeader(queued.in, &header, sizeof header), MMSYSERR_NOERROR);
    EXPECT_EQ(header.dwFlags, DWORD(MHDR_DONE));
    EXPECT_EQ(midiInClose(queued.in), MMSYSERR_NOERROR);
    queued.in = nullptr;
    RunCounts counts = SimulatorCounts();
    EXPECT_EQ(counts.headersQueued, 0u);
    EXPECT_EQ(counts.headersPrepared, 0u);

    // Only a prepared header is sent, and nothing of a refused one leaves.
    Simulate("still-playing=1");
    FakeHost sender;
    ASSERT_EQ(sender.OpenOutput(1), MMSYSERR_NOERROR);
    char data[] = {char(0xF0), char(0xF7)};
    MIDIHDR sent{};
    sent.lpData = data;
    sent.dwBufferLength = sizeof data;
    EXPECT_EQ(midiOutLongMsg(sender.out, &sent, sizeof sent), MIDIERR_UNPREPARED);
    EXPECT_EQ(midiOutLongMsg(sender.out, nullptr, sizeof sent), MMSYSERR_INVALPARAM);
    EXPECT_TRUE(SimulatorCounts().framesSent.empty());
    ASSERT_EQ(midiOutPrepareHeader(sender.out, &sent, sizeof sent), MMSYSERR_NOERROR);
    ASSERT_EQ(midiOutLongMsg(sender.out, &sent, sizeof sent), MMSYSERR_NOERROR);
    EXPECT_EQ(sent.dwFlags, DWORD(MHDR_PREPARED | MHDR_DONE));
    EXPECT_EQ(midiOutUnprepareHeader(sender.out, &sent, sizeof sent), MIDIERR_STILLPLAYING);
    EXPECT_EQ(midiOutUnprepareHeader(sender.out, &sent, sizeof sent), MMSYSERR_NOERROR);
    EXPECT_EQ(SimulatorCounts().headersPrepared, 0u);
}

TEST(SimBackend, CallsBackOnItsOwnThreadForOpenResetAndClose)
{
    Simulate("");
    FakeHost host;
    ASSERT_EQ(host.OpenInput(0), MMSYSERR_NOERROR);
    host.Close();
    std::vector<CallbackSeen> seen = host.Seen();
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen[0].message, UINT(MIM_OPEN));
    // The queued buffer comes back empty and done before midiInReset returns.
    EXPECT_EQ(seen[1].message, UINT(MIM_LONGDATA));
    EXPECT_EQ(seen[1].header, &host.header);
    EXPECT_EQ(seen[1].flags, DWORD(MHDR_PREPARED | MHDR_DONE));
    EXPECT_TRUE(seen[1].bytes.empty());
    EXPECT_EQ(seen[2].message, UINT(MIM_CLOSE));
    for (const CallbackSeen& call : seen) {
        EXPECT_NE(call.thread, std::this_thread::get_id());
        // The host's own code, as far as a count of its heap use is concerned.
        EXPECT_FALSE(call.insideSimulator);
    }
    EXPECT_FALSE(InsideSimulator());
}

TEST(SimBackend, DeliversRepliesOnlyAsTheHostSleeps)
{
    Simulate("delay=5");
    FakeHost host;
    ASSERT_TRUE(host.Connect());
    ASSERT_EQ(host.Send(IdentifyRequest()), MMSYSERR_NOERROR);
    AdvanceSimulatedClock(4);
    EXPECT_TRUE(host.Received().empty());
    AdvanceSimulatedClock(1);
    ASSERT_EQ(host.Received(), std::vector<Bytes>{Bytes({0xF0, 0x34, 0xF7})});
    CallbackSeen reply = host.Seen().back();
    EXPECT_EQ(reply.flags & (MHDR_DONE | MHDR_INQUEUE), DWORD(MHDR_DONE));
    EXPECT_NE(reply.thread, std::this_thread::get_id());

    RunCounts counts = SimulatorCounts();
    EXPECT_EQ(counts.framesSent, std::vector<Bytes>{IdentifyRequest()});
    EXPECT_EQ(counts.identifyRequests, 1u);
    EXPECT_EQ(counts.sleeps, 2u);
    EXPECT_EQ(counts.clockMs, 5u);
}

// Else a tool that never started its input, or never queued its buffer again, would pass.
TEST(SimBackend, DeliversNothingToAnInputNotStartedOrWithNoBufferQueued)
{
    Simulate("send=0:F0 01 F7; send=2:F0 02 F7; send=3:F0 03 F7");
    FakeHost idle;
    ASSERT_EQ(midiInOpen(&idle.in, 0, 0, 0, CALLBACK_NULL), MMSYSERR_NOERROR);
    AdvanceSimulatedClock(1);
    idle.Close();
    FakeHost unqueued;
    unqueued.requeue = false;
    ASSERT_EQ(unqueued.OpenInput(0), MMSYSERR_NOERROR);
    AdvanceSimulatedClock(1);
    AdvanceSimulatedClock(1);
    EXPECT_EQ(unqueued.Received(), std::vector<Bytes>{Bytes({0xF0, 0x02, 0xF7})});
    EXPECT_EQ(SimulatorCounts().messagesDropped, 2u);
}

TEST(SimBackend, ReadsTheControllersBytesAsTheWindowsServiceDoes)
{
    // A SysEx cut short by the next send's F0, real-time inside a SysEx, a note and its running
    // status, a SysEx cut short by a note; then a stray byte.
    Simulate("send=0:F0 20; send=1:F0 FE 1A F7 90 40 7F 41 00; send=2:F0 01 80 40 00; stray=3");
    FakeHost host;
    ASSERT_EQ(host.OpenInput(0), MMSYSERR_NOERROR);
    for (int ms = 0; ms < 3; ++ms) AdvanceSimulatedClock(1);
    std::vector<std::pair<UINT, Bytes>> seen;
    for (const CallbackSeen& callback : host.Seen()) {
        if (callback.message == MIM_OPEN) continue;
        Bytes packed = {uint8_t(callback.param1), uint8_t(callback.param1 >> 8), uint8_t(callback.param1 >> 16)};
        seen.emplace_back(callback.message, callback.message == MIM_DATA ? packed : callback.bytes);
    }
    const UINT data = MIM_DATA, error = MIM_LONGERROR, sysex = MIM_LONGDATA;
    EXPECT_EQ(seen, (std::vector<std::pair<UINT, Bytes>>{
                        {error, {0xF0, 0x20}}, {data, {0xFE, 0, 0}}, {sysex, {0xF0, 0x1A, 0xF7}},
                        {data, {0x90, 0x40, 0x7F}}, {data, {0x90, 0x41, 0x00}},
                        {error, {0xF0, 0x01}}, {data, {0x80, 0x40, 0x00}}, {sysex, {0xF0}}}));
}

}  // namespace
