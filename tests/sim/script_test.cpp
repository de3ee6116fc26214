// The TAMBRELL_SIM script and the run report.
#include "sim/sim_report.h"
#include "sim/sim_script.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

TEST(SimScript, ReadsEveryStatement)
{
    SimSetup setup = ParseSimScript(
        " clock = virtual ;in=A, B\nout=;controller=B;fail-open=in:1;fail-open=out: 2\n"
        "fail-start=0;unplug=40;still-playing=3;model=2A;size=1000;delay=7;ident-silent=5;"
        "silent-from=9;reply=2.1-19:21;silent=*.3;late=4.*;send=0:F0;send=12:f0 1 f7;resync=30;");
    EXPECT_EQ(setup.clock, SimClock::Virtual);
    EXPECT_EQ(setup.inputs, (std::vector<std::string>{"A", "B"}));
    EXPECT_TRUE(setup.outputs.empty());
    EXPECT_EQ(setup.controllerName, "B");
    EXPECT_EQ(setup.failingInputOpens, std::vector<uint32_t>{1});
    EXPECT_EQ(setup.failingOutputOpens, std::vector<uint32_t>{2});
    EXPECT_EQ(setup.failingStarts, std::vector<uint32_t>{0});
    EXPECT_EQ(setup.unplugAtFrame, 40u);
    EXPECT_EQ(setup.stillPlayingUnprepares, 3u);

    const FirmwareSetup& firmware = setup.firmware;
    EXPECT_EQ(firmware.model, 0x2A);
    EXPECT_EQ(firmware.firmwareSize, 1000u);
    EXPECT_EQ(firmware.replyDelayMs, 7u);
    EXPECT_EQ(firmware.silentIdentifications, 5u);
    EXPECT_EQ(firmware.silentFromRecord, 9u);
    EXPECT_EQ(firmware.resyncGapMs, 30u);
    ASSERT_EQ(firmware.attemptRules.size(), 3u);
    const AttemptRule& reply = firmware.attemptRules[0];
    EXPECT_EQ(reply.fault, AttemptFault::Reply);
    EXPECT_EQ(reply.code, 0x21);
    EXPECT_TRUE(reply.records.Contains(2) && !reply.records.Contains(1) && !reply.records.Contains(3));
    EXPECT_TRUE(reply.attempts.Contains(1) && reply.attempts.Contains(19) && !reply.attempts.Contains(20));
    const AttemptRule& silent = firmware.attemptRules[1];
    EXPECT_EQ(silent.fault, AttemptFault::Silent);
    EXPECT_TRUE(silent.records.Contains(1) && silent.records.Contains(60000));
    EXPECT_TRUE(silent.attempts.Contains(3) && !silent.attempts.Contains(2));
    EXPECT_EQ(firmware.attemptRules[2].fault, AttemptFault::Late);
    ASSERT_EQ(firmware.scheduled.size(), 2u);
    EXPECT_EQ(firmware.scheduled[0].bytes, std::vector<uint8_t>{0xF0});
    EXPECT_EQ(firmware.scheduled[1].atMs, 12u);
    EXPECT_EQ(firmware.scheduled[1].bytes, (std::vector<uint8_t>{0xF0, 0x01, 0xF7}));

    EXPECT_EQ(ParseSimScript("ident-silent=always").firmware.silentIdentifications, ALWAYS);
    SimSetup defaults = ParseSimScript("");
    EXPECT_EQ(defaults.clock, SimClock::Real);
    EXPECT_EQ(defaults.inputs, std::vector<std::string>{"quillstrand MIDI"});
    EXPECT_EQ(defaults.firmware.model, 0x34);
}

TEST(SimScript, NamesTheStatementItCannotRead)
{
    for (const char* bad : {"clock=fast", "nonsense=1", "model", "model=134", "unplug=-1", "unplug=1x",
                            "reply=2:20", "reply=2.1", "silent=2", "send=F0", "send=0:", "fail-open=up:1",
                            "size=99999999999", "preset=mac"}) {
        try {
            ParseSimScript(std::string("clock=virtual;") + bad);
            ADD_FAILURE() << bad << " was taken";
        } catch (const std::invalid_argument& problem) {
            EXPECT_EQ(std::string(problem.what()).find(std::string("'") + bad + "'"), 0u) << problem.what();
        }
    }
}

TEST(SimReport, ReadsBackWhatItWrote)
{
    SimCounts counts;
    counts.framesSent = {{0xF0, 0x30, 0xF7}, {0xF0, 0x41, 0x42, 0xF7}};
    counts.messagesDelivered = {{0xF0}, {0xF0, 0x1A, 0xF7}};
    for (int i = 0; i < 70; ++i) counts.flash.push_back(uint8_t(i * 3));
    counts.failedSends = 1;
    counts.identifyRequests = 2;
    counts.acceptedRecords = 3;
    counts.droppedRecords = 4;
    counts.messagesDropped = 5;
    counts.inputsOpened = 6;
    counts.inputsClosed = 7;
    counts.outputsOpened = 8;
    counts.outputsClosed = 9;
    counts.inputsOpen = 10;
    counts.outputsOpen = 11;
    counts.headersPrepared = 12;
    counts.headersQueued = 13;
    counts.sleeps = 14;
    counts.sleptMs = 15;
    counts.clockMs = 16;

    std::string text = FormatReport(counts);
    EXPECT_NE(text.find("frame F0 41 42 F7\n"), std::string::npos);
    SimCounts read = ParseReport(text);
    EXPECT_EQ(read.framesSent, counts.framesSent);
    EXPECT_EQ(read.messagesDelivered, counts.messagesDelivered);
    EXPECT_EQ(read.flash, counts.flash);
    EXPECT_EQ(FormatReport(read), text);
    EXPECT_THROW(ParseReport("frames 2\n"), std::runtime_error);
}

}  // namespace
