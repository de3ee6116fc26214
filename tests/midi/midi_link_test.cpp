// The MIDI link's calls in this process, over the simulated service.
#include "backends/sim/simulator.h"
#include "midi/midi_link.h"

#include <gtest/gtest.h>

namespace {

void Simulate(SimSetup setup = {})
{
    setup.clock = SimClock::Virtual;
    ConfigureSimulator(setup);
}

TEST(MidiLink, FramesSysExAndRefusesWhatDoesNotFitOneFrame)
{
    Simulate();
    testing::internal::CaptureStdout();
    ASSERT_EQ(OpenMidiOut(1), 0);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "MIDI OUT DEVICE: quillstrand MIDI\r\n");

    uint8_t data[47];
    for (unsigned i = 0; i < sizeof data; ++i) data[i] = uint8_t('0' + i % 10);
    EXPECT_EQ(SendSysEx(data, 0), 0);
    EXPECT_EQ(SendSysEx(data, 46), 0);
    EXPECT_EQ(SendSysEx(data, 47), MMSYSERR_INVALPARAM);

    RunCounts counts = SimulatorCounts();
    ASSERT_EQ(counts.framesSent.size(), 2u);
    EXPECT_EQ(counts.framesSent[0], (std::vector<uint8_t>{0xF0, 0xF7}));
    std::vector<uint8_t> full{0xF0};
    full.insert(full.end(), data, data + 46);
    full.push_back(0xF7);
    EXPECT_EQ(counts.framesSent[1], full);
    EXPECT_EQ(CloseMidiOut(), 1);
}

TEST(MidiLink, WaitsForAFrameStillPlayingBeforeReturning)
{
    SimSetup setup;
    setup.stillPlayingUnprepares = 2;
    Simulate(setup);
    testing::internal::CaptureStdout();
    ASSERT_EQ(OpenMidiOut(1), 0);
    testing::internal::GetCapturedStdout();
    const uint8_t data[] = {0x31, 0x32};
    // Returns only once the header is really unprepared, however often it was still playing.
    EXPECT_EQ(SendSysEx(data, 2), 0);
    EXPECT_EQ(SimulatorCounts().sleptMs, 200u);
    EXPECT_EQ(SimulatorCounts().headersPrepared, 0u);
    CloseMidiOut();
}

TEST(MidiLink, ClosesEachPortOnceAndGivesTheInputBufferBack)
{
    Simulate();
    EXPECT_EQ(CloseMidiIn(), 0);
    EXPECT_EQ(CloseMidiOut(), 0);
    testing::internal::CaptureStdout();
    ASSERT_EQ(OpenMidiIn(0), 0);
    ASSERT_EQ(OpenMidiOut(1), 0);
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(CloseMidiIn(), 1);
    EXPECT_EQ(CloseMidiIn(), 0);
    EXPECT_EQ(CloseMidiOut(), 1);
    EXPECT_EQ(CloseMidiOut(), 0);
    RunCounts counts = SimulatorCounts();
    EXPECT_EQ(counts.inputsClosed, 1u);
    EXPECT_EQ(counts.outputsClosed, 1u);
    EXPECT_EQ(counts.inputsOpen + counts.outputsOpen, 0u);
    EXPECT_EQ(counts.headersPrepared + counts.headersQueued, 0u);
}

}  // namespace
