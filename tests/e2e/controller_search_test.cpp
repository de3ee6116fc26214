// Several MIDI devices: the controller found by asking each output who it is, or named by the
// user, against simulated computers with loopbacks, other devices and more than one controller.
#include "tests/e2e/console_text.h"
#include "tests/e2e/update_run.h"

#include <gtest/gtest.h>

namespace {

const std::vector<uint8_t> kImage = {0x00, 0x04, 0x12, 0x34, 0xBA, 0xFF};
const std::string kStart = Opened("quillstrand.kit");
const std::string kUpdated = kStart + kPorts + Progress(0, 0) + kSuccess;
const std::string kNoDevice = "Error: Did not find the USB Audio device, please check!\n\n";
// The controller's ports first, then a keyboard whose ports ignore SysEx.
const std::string kWithKeys = "in=quillstrand MIDI,USB Keys; out=quillstrand MIDI,USB Keys;";

SimRun RunWith(const std::string& script)
{
    return RunUpdateOf(kImage, script);
}

SimRun RunNaming(const std::string& script, const std::vector<std::string>& arguments)
{
    TempFolder folder;
    folder.Write("quillstrand.kit", ToImageText(kImage));
    return RunSimulated(folder.path(), "clock=virtual;" + script, arguments);
}

// What reached a port other than the controller's: the identification request alone.
void ExpectOnlyRequestsElsewhere(const SimRun& run, const std::string& script)
{
    EXPECT_EQ(run.report.foreignFrames, 0u) << script;
}

TEST(ControllerSearch, FindsTheControllerWhereverItIsListed)
{
    const char* scripts[] = {
        "preset=windows11",
        // As the service lists it on some PCs: the controller first, then the loopbacks.
        "in=quillstrand MIDI,Default App Loopback (A),Default App Loopback (B);"
        "out=Microsoft GS Wavetable Synth,quillstrand MIDI,Default App Loopback (A),Default App Loopback (B);"
        "loop=Default App Loopback (A)/Default App Loopback (B)",
        "in=Midi Through Port-0,quillstrand MIDI; out=Midi Through Port-0,quillstrand MIDI; loop=Midi Through Port-0",
        "in=USB Keys,quillstrand MIDI; out=quillstrand MIDI,USB Keys",
    };
    for (const char* script : scripts) {
        SimRun run = RunWith(script);
        EXPECT_EQ(run.console, kUpdated) << script;
        EXPECT_EQ(run.report.flash, kImage) << script;
        // One request found it, one more identified it.
        EXPECT_EQ(run.report.identifyRequests, 2u) << script;
        ExpectOnlyRequestsElsewhere(run, script);
    }
}

TEST(ControllerSearch, AsksEachOutputAtMostThreeTimesAndALoopbackOnce)
{
    // Answers 250 ms after each request: the first answer comes in the third request's wait, the
    // next two while the keyboard is asked, and must not be taken for the keyboard's.
    SimRun slow = RunNaming(kWithKeys + std::string("delay=250"), {"--list"});
    EXPECT_EQ(slow.console.substr(slow.console.rfind("An update")), "An update would open MIDI IN 0 and MIDI OUT 0.\n");
    EXPECT_EQ(slow.report.identifyRequests, 3u);

    SimRun silent = RunWith("preset=windows11; ident-silent=always");
    EXPECT_EQ(silent.console, kStart + kNoDevice);
    EXPECT_EQ(silent.report.identifyRequests, 3u);
    // Three to the controller, one to each of the three loopbacks.
    EXPECT_EQ(silent.report.framesSent.size(), 6u);
    ExpectOnlyRequestsElsewhere(silent, "silent");
}

TEST(ControllerSearch, EndsAsWithNoDeviceWhenTheControllerCannotBeReached)
{
    // Its input held by another program, failing to start or to take a buffer; none at all.
    const char* scripts[] = {
        "preset=windows11; fail-open=in:3",
        "preset=windows11; fail-start=3",
        "preset=windows11; fail-add-buffer=3",
        "preset=windows11; fail-open=out:4",
        "in=Default App Loopback (A),Default App Loopback (B); out=Default App Loopback (A),Default App Loopback (B);"
        "loop=Default App Loopback (A)/Default App Loopback (B)",
    };
    for (const char* script : scripts) {
        SimRun run = RunWith(script);
        EXPECT_EQ(run.console, kStart + kNoDevice) << script;
        EXPECT_EQ(run.report.flash.size(), 0u) << script;
        ExpectOnlyRequestsElsewhere(run, script);
    }
}

TEST(ControllerSearch, RefusesTwoControllers)
{
    SimRun two = RunWith("preset=windows11; in=quillstrand MIDI,quillstrand MIDI 2,Default App Loopback (A);"
                         "out=quillstrand MIDI 2,quillstrand MIDI,Default App Loopback (A);"
                         "second=quillstrand MIDI 2");
    EXPECT_EQ(two.console, kStart + "Error:Does your computer have identified 2 USB audiol devices, Please "
                                    "remove the other USB audiol devices!\n\n");
    EXPECT_EQ(two.report.identifyRequests, 1u);
    EXPECT_EQ(two.report.flash.size(), 0u);
    ExpectOnlyRequestsElsewhere(two, "two");
}

TEST(ControllerSearch, LeavesTheModelToIdentification)
{
    SimRun other = RunWith(kWithKeys + std::string("model=35"));
    EXPECT_EQ(other.console, kStart + kPorts + "Error: The device and the upgrade file is not matched!\n\n");
    SimRun restarting = RunWith(kWithKeys + std::string("model=15"));
    EXPECT_EQ(restarting.console, kStart + kPorts + "Please wait the system reset and retry again!\n\n");
    EXPECT_EQ(restarting.report.identifyRequests, 2u);
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
    SimRun keys = RunNaming(kWithKeys, {"-d", "keys"});
    EXPECT_EQ(keys.console, kStart + "MIDI IN DEVICE: USB Keys\r\nMIDI OUT DEVICE: USB Keys\r\n" + kNotResponding);

    SimRun unknown = RunNaming("preset=windows11", {"--device", "Piano"});
    EXPECT_EQ(unknown.console, kStart + "Error: No MIDI device is named like 'Piano'.\n\n");
    EXPECT_EQ(unknown.exitStatus, 2);
    EXPECT_EQ(unknown.report.inputsOpened + unknown.report.outputsOpened, 0u);
    // An input alone holds the name: no pair.
    SimRun halfNamed = RunNaming("in=quillstrand MIDI,Piano; out=quillstrand MIDI", {"-d", "piano"});
    EXPECT_EQ(halfNamed.console, kStart + "Error: No MIDI device is named like 'piano'.\n\n");

    for (const std::vector<std::string>& arguments :
         {std::vector<std::string>{"-d"}, {"--device", ""}, {"--device="}, {"quillstrand.kit", "--device"}}) {
        SimRun refused = RunNaming("", arguments);
        EXPECT_EQ(refused.console, "") << arguments.size();
        EXPECT_EQ(refused.exitStatus, 64) << arguments.size();
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
        EXPECT_EQ(run.report.foreignFrames, 0u) << script;
    }
    SimRun named = RunNaming("preset=windows11", {"-d", "quill", "--list"});
    EXPECT_EQ(named.console.substr(named.console.find("MIDI OUT 4")),
              "MIDI OUT 4: quillstrand MIDI\nAn update would open MIDI IN 3 and MIDI OUT 4.\n");
    EXPECT_EQ(named.report.inputsOpened, 0u);
}

}  // namespace
