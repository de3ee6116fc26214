// The TAMBRELL_SIM script's statements of the controller and the devices, and the run report.
#include "controller/controller_script.h"
#include "controller/script_words.h"
#include "world/devices_script.h"
#include "world/run_report.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

// The controller's and the devices' statements, as every program with a controller reads them.
struct Read {
    ControllerSetup controller;
    MidiDevices devices;
};

Read ReadBoth(const std::string& script)
{
    Read read;
    ReadScript(script, {
        [&](const std::string& key, const std::string& value) { return ReadDevicesStatement(read.devices, key, value); },
        [&](const std::string& key, const std::string& value) {
            return ReadControllerStatement(read.controller, key, value);
        },
    });
    return read;
}

TEST(SetupScript, ReadsEveryStatementOfTheControllerAndTheDevices)
{
    Read read = ReadBoth(
        " in=A, B\nout=;controller=B;loop=L;loop=X/Y;second=C;second=D:2B;"
        "unplug=40;model=2A;size=1000;delay=7;ident-silent=5;"
        "silent-from=9;reply=2.1-19:21;silent=*.3;late=4.*;send=0:F0;send=12:f0 1 f7;resync=30;");
    EXPECT_EQ(read.devices.inputs, (std::vector<std::string>{"A", "B"}));
    EXPECT_TRUE(read.devices.outputs.empty());
    EXPECT_EQ(read.devices.controllerName, "B");
    ASSERT_EQ(read.devices.loops.size(), 3u);
    EXPECT_EQ(read.devices.loops[0].from + read.devices.loops[0].to, "LL");
    EXPECT_EQ(read.devices.loops[1].from + read.devices.loops[1].to, "XY");
    EXPECT_EQ(read.devices.loops[2].from + read.devices.loops[2].to, "YX");
    EXPECT_EQ(read.controller.unplugAtFrame, 40u);

    // Another controller without a model has the first one's, wherever the model is set.
    std::vector<NamedController> behind = ControllersBehind(read.devices, read.controller);
    ASSERT_EQ(behind.size(), 3u);
    EXPECT_EQ(behind[0].name, "B");
    EXPECT_EQ(behind[0].setup.unplugAtFrame, 40u);
    EXPECT_EQ(behind[1].name, "C");
    EXPECT_EQ(behind[1].setup.firmware.model, 0x2A);
    EXPECT_EQ(behind[1].setup.unplugAtFrame, 0u);
    EXPECT_TRUE(behind[1].setup.firmware.attemptRules.empty());
    EXPECT_EQ(behind[2].setup.firmware.model, 0x2B);

    const FirmwareSetup& firmware = read.controller.firmware;
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

    EXPECT_EQ(ReadBoth("ident-silent=always").controller.firmware.silentIdentifications, ALWAYS);
    Read defaults = ReadBoth("");
    EXPECT_EQ(defaults.devices.inputs, std::vector<std::string>{"quillstrand MIDI"});
    EXPECT_EQ(defaults.controller.firmware.model, 0x34);
    EXPECT_EQ(ReadBoth("preset=windows11").devices.inputs.size(), 4u);

    Read moving = ReadBoth("restarting=500; restart=200:300; restart-at=50; plug-in=70; ports-return=same");
    EXPECT_EQ(moving.controller.firmware.restartingUntilMs, 500u);
    EXPECT_EQ(moving.controller.restart.awayMs + moving.controller.restart.busyMs * 1000, 300200u);
    EXPECT_EQ(moving.controller.restartAtMs, 50u);
    EXPECT_EQ(moving.controller.plugInAtMs, 70u);
    EXPECT_TRUE(moving.devices.portsReturnSame);
    EXPECT_FALSE(ReadBoth("restart=never").controller.restart.enabled);
}

TEST(SetupScript, NamesTheStatementItCannotRead)
{
    for (const char* bad : {"nonsense=1", "model", "model=134", "unplug=-1", "unplug=1x", "reply=2:20",
                            "reply=2.1", "silent=2", "send=F0", "send=0:", "size=99999999999", "preset=mac",
                            "second=B:1FF", "stall=2:100", "restart=500", "plug-in=soon",
                            "ports-return=old"}) {
        try {
            ReadBoth(std::string("model=20;") + bad);
            ADD_FAILURE() << bad << " was taken";
        } catch (const std::invalid_argument& problem) {
            EXPECT_EQ(std::string(problem.what()).find(std::string("'") + bad + "'"), 0u) << problem.what();
        }
    }
}

TEST(RunReport, ReadsBackWhatItWrote)
{
    RunCounts counts;
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
    RunCounts read = ParseReport(text);
    EXPECT_EQ(read.framesSent, counts.framesSent);
    EXPECT_EQ(read.messagesDelivered, counts.messagesDelivered);
    EXPECT_EQ(read.flash, counts.flash);
    EXPECT_EQ(FormatReport(read), text);
    EXPECT_THROW(ParseReport("frames 2\n"), std::runtime_error);
}

}  // namespace
