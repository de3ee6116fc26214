// Several MIDI devices: the controller found by asking each output who it is, or named by the
// user, against simulated computers with loopbacks, other devices and more than one controller.
#include "tests/e2e/console_text.h"
#include "tests/e2e/update_run.h"

#include <gtest/gtest.h>

namespace {

const std::vector<uint8_t> kImage = {0x00, 0x04, 0x12, 0x34, 0xBA, 0xFF};
const std::string kStart = Opened("quillstrand.kit");
const std::string kUpdated = kStart + kPorts + Progress(0, 0) + kSuccess;
const std::string kWithKeys = "in=quillstrand MIDI,USB Keys; out=quillstrand MIDI,USB Keys;";

SimRun RunWith(const std::string& script)
{
    SimRun run = RunUpdateOf(kImage, script);
    // Nothing but the identification request reaches a port other than the controller's.
    EXPECT_EQ(run.report.foreignFrames, 0u) << script;
    return run;
}

SimRun RunNaming(const std::string& script, const std::vector<std::string>& arguments)
{
    TempFolder folder;
    folder.Write("quillstrand.kit", ToImageText(kImage));
    return RunSimulated(folder.path(), "clock=virtual;" + script, arguments);
}

TEST(ControllerSearch, FindsTheControllerWhereverItIsListed)
{
    for (const char* script : {"preset=windows11",
                               "in=Midi Through Port-0,quillstrand MIDI; out=Midi Through Port-0,quillstrand MIDI;"
                               "loop=Midi Through Port-0",
                               "in=USB Keys,quillstrand MIDI; out=quillstrand MIDI,USB Keys"}) {
        SimRun run = RunWith(script);
        EXPECT_EQ(run.console, kUpdated) << script;
        EXPECT_EQ(run.report.flash, kImage) << script;
        // Found, confirmed, identified.
        EXPECT_EQ(run.report.identifyRequests, 3u) << script;
    }
    // The device decides on its model only when identified: restarting, it says so.
    EXPECT_EQ(RunWith(kWithKeys + std::string("model=15")).console,
              kStart + kPorts + kWaitingRestart + kResetting);
}

TEST(ControllerSearch, EndsAsWithoutADeviceWhenNoPairAnswersTwice)
{
    // Silent: three requests to the controller, one to each loopback, which sends it back.
    SimRun silent = RunWith("preset=windows11; ident-silent=always");
    EXPECT_EQ(silent.console, kStart + kNoDevice);
    EXPECT_EQ(silent.report.framesSent.size(), 6u);
    for (const char* script : {
             // A message the controller sends on its own while a loopback is asked, and answers too
             // slow for any wait: that loopback must not get the firmware.
             "preset=windows11; send=0:F0 20 F7; delay=1010",
             // Too slow for any wait, listed before a keyboard: its answers to earlier requests come
             // while the keyboard is asked, and must not send the firmware there.
             "in=quillstrand MIDI,USB Keys; out=quillstrand MIDI,USB Keys; delay=350",
             // The same at 250 ms, with a message of its own that comes while the keyboard is asked
             // once more, unless its late answers are awaited first.
             "in=quillstrand MIDI,USB Keys; out=quillstrand MIDI,USB Keys; delay=250; send=800:F0 34 F7",
             // Its message on its own pairs it with a loopback, and its answers, slower than the
             // quiet awaited, begin as that loopback is asked once more.
             "preset=windows11; send=0:F0 21 F7; delay=600",
             // Its input held by another program or failing to start, its output held, or no
             // controller at all.
             "preset=windows11; fail-open=in:3", "preset=windows11; fail-start=3", "preset=windows11; fail-open=out:4",
             "in=Keys,Default Basic App Loopback; out=Keys,Default Basic App Loopback; loop=Default Basic App Loopback"}) {
        SimRun run = RunWith(script);
        EXPECT_EQ(run.console, kStart + kNoDevice) << script;
        EXPECT_EQ(run.report.flash.size(), 0u) << script;
    }
}

// A second controller, or another maker's synthesizer that answers every SysEx: either answer
// looks like a controller's.
TEST(ControllerSearch, RefusesTwoControllers)
{
    for (const char* script : {"in=quillstrand MIDI,quillstrand MIDI 2,Keys; out=quillstrand MIDI 2,quillstrand MIDI,Keys;"
                               "second=quillstrand MIDI 2:35",
                               "in=Synth,quillstrand MIDI; out=Synth,quillstrand MIDI; answering=Synth:F0 7E 7F 06 02 41 F7"}) {
        SimRun two = RunWith(script);
        EXPECT_EQ(two.console, kStart + "Error:Does your computer have identified 2 USB audiol devices, Please "
                                        "remove the other USB audiol devices!\n\n") << script;
        EXPECT_EQ(two.report.identifyRequests, 1u) << script;
    }
}

TEST(ControllerSearch, OpensTheNamedDeviceWithoutAsking)
{
    for (const std::vector<std::string>& arguments :
         {std::vector<std::string>{"-d", "QUILLSTRAND"}, {"--device", "strand"}, {"--device=quillstrand MIDI"}}) {
        SimRun named = RunNaming("preset=windows11", arguments);
        EXPECT_EQ(named.console, kUpdated) << arguments[0];
        EXPECT_EQ(named.report.identifyRequests, 1u) << arguments[0];
        EXPECT_EQ(named.report.inputsOpened, 1u) << arguments[0];
    }

    // No input, or no output, holds the name: nothing is opened.
    for (const char* script : {"preset=windows11", "in=quillstrand MIDI,Piano; out=quillstrand MIDI"}) {
        SimRun unknown = RunNaming(script, {"--device", "piano"});
        EXPECT_EQ(unknown.console, kStart + "Error: No MIDI device is named like 'piano'.\n\n") << script;
        EXPECT_EQ(unknown.exitStatus, 2) << script;
        EXPECT_EQ(unknown.report.inputsOpened + unknown.report.outputsOpened, 0u) << script;
    }
}

TEST(ControllerSearch, ListSaysWhichPairAnUpdateWouldOpen)
{
    const std::string asking = "Several MIDI input devices: each output is asked which is the controller.\n";
    const std::pair<std::string, std::string> cases[] = {
        {"preset=windows11", asking + "An update would open MIDI IN 3 and MIDI OUT 4.\n"},
        {"preset=windows11; ident-silent=always",
         asking + "An update would stop: no MIDI device answered as the controller.\n"},
        {"in=quillstrand MIDI,Other; out=Other,quillstrand MIDI; second=Other",
         asking + "An update would stop: 2 MIDI inputs answered as the controller. Connect only the one to "
                  "update, or name it with --device.\n"},
        {"in=", "An update would stop: there is no MIDI input device.\n"},
    };
    for (const auto& [script, ending] : cases) {
        SimRun run = RunNaming(script, {"--list"});
        ASSERT_GE(run.console.size(), ending.size()) << script;
        EXPECT_EQ(run.console.substr(run.console.size() - ending.size()), ending) << script;
        EXPECT_EQ(run.exitStatus, 0) << script;
        EXPECT_EQ(run.report.inputsOpen + run.report.outputsOpen, 0u) << script;
    }
    SimRun named = RunNaming("preset=windows11", {"-d", "quill", "--list"});
    EXPECT_EQ(named.console.substr(named.console.find("MIDI OUT 4")),
              "MIDI OUT 4: quillstrand MIDI\nAn update would open MIDI IN 3 and MIDI OUT 4.\n");
    EXPECT_EQ(named.report.inputsOpened, 0u);
}

}  // namespace
