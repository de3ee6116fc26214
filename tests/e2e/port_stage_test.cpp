// Choosing and opening the ports, against simulated device lists. Every run must leave no port
// open, whatever its outcome.
#include "tests/e2e/console_text.h"
#include "tests/e2e/update_run.h"

#include <gtest/gtest.h>

namespace {

const std::string kImageName = "quillstrand.kit";
const std::string kOneRecordSent = Progress(0, 0) + kSuccess;

SimRun RunWith(const std::string& script)
{
    return RunUpdateOf({0x00, 0x04, 0x12, 0x34, 0xBA, 0xFF}, script);
}

TEST(PortStage, EndsWithoutAnyInputDevice)
{
    SimRun none = RunWith("in=");
    EXPECT_EQ(none.console,
              Opened(kImageName) + kNoDevice);
    EXPECT_EQ(none.report.inputsOpened + none.report.outputsOpened, 0u);
}

TEST(PortStage, PassesOverTheSystemsOwnOutputs)
{
    SimRun skipped = RunWith("out=microsoft gs WAVETABLE synth,quillstrand MIDI");
    EXPECT_EQ(skipped.console, Opened(kImageName) + kPorts + kOneRecordSent);
    EXPECT_EQ(skipped.report.outputsOpened, 1u);

    // Output 0 is only skipped outright when there is another; then every "Microsoft" port is
    // still passed over one by one, its name printed, and closed before the next is tried.
    SimRun lone = RunWith("out=Microsoft GS Wavetable Synth");
    EXPECT_EQ(lone.console, Opened(kImageName) + "MIDI IN DEVICE: quillstrand MIDI\r\n" +
                                "MIDI OUT DEVICE: Microsoft GS Wavetable Synth\r\n" +
                                "Error: The MIDI Out of device is missing!\n\n");
    EXPECT_EQ(lone.report.outputsOpened, 1u);

    SimRun mapper = RunWith("out=Microsoft GS Wavetable Synth,Microsoft MIDI Mapper,quillstrand MIDI");
    EXPECT_EQ(mapper.console, Opened(kImageName) + "MIDI IN DEVICE: quillstrand MIDI\r\n" +
                                  "MIDI OUT DEVICE: Microsoft MIDI Mapper\r\n" +
                                  "MIDI OUT DEVICE: quillstrand MIDI\r\n" + kOneRecordSent);
    EXPECT_EQ(mapper.report.outputsOpened, 2u);

    SimRun firstNotSynth = RunWith("out=quillstrand MIDI,Microsoft GS Wavetable Synth");
    EXPECT_EQ(firstNotSynth.console, Opened(kImageName) + kPorts + kOneRecordSent);
}

TEST(PortStage, ReportsAnInputThatCannotBeOpenedOrStarted)
{
    SimRun busy = RunWith("fail-open=in:0");
    EXPECT_EQ(busy.console, Opened(kImageName) + "Error: The MIDI In of device is missing!\n\n");
    EXPECT_EQ(busy.report.outputsOpened, 0u);

    SimRun notStarted = RunWith("fail-start=0");
    EXPECT_EQ(notStarted.console, Opened(kImageName) + "MIDI IN DEVICE: quillstrand MIDI\r\n" +
                                      "Error: The MIDI In of device is missing!\n\n");
    EXPECT_EQ(notStarted.report.inputsOpened, 1u);

    SimRun mapperOnly = RunWith("in=Microsoft MIDI Mapper");
    EXPECT_EQ(mapperOnly.console, Opened(kImageName) + "MIDI IN DEVICE: Microsoft MIDI Mapper\r\n" +
                                      "Error: The MIDI In of device is missing!\n\n");

    SimRun noBuffer = RunWith("fail-add-buffer=0");
    EXPECT_EQ(noBuffer.console, notStarted.console);
    EXPECT_EQ(noBuffer.report.framesSent.size(), 0u);

    SimRun outputBusy = RunWith("fail-open=out:1");
    EXPECT_EQ(outputBusy.console, Opened(kImageName) + "MIDI IN DEVICE: quillstrand MIDI\r\n" +
                                      "Error: The MIDI Out of device is missing!\n\n");
}

// What a user needs when the tool refuses the devices: each by its number, and the ports an
// update would settle on by the same rules, found without opening any.
TEST(PortStage, ListsTheDevicesAndThePortsAnUpdateWouldOpen)
{
    TempFolder folder;
    const std::pair<const char*, std::string> cases[] = {
        {"out=Microsoft GS Wavetable Synth,Microsoft MIDI Mapper,quillstrand MIDI,USB Synth",
         "MIDI IN 0: quillstrand MIDI\nMIDI OUT 0: Microsoft GS Wavetable Synth\nMIDI OUT 1: Microsoft MIDI Mapper\n"
         "MIDI OUT 2: quillstrand MIDI\nMIDI OUT 3: USB Synth\nAn update would open MIDI IN 0 and MIDI OUT 2.\n"},
        {"out=Microsoft GS Wavetable Synth", "An update would stop: it finds no MIDI OUT to use.\n"},
        {"in=Microsoft MIDI Mapper", "An update would stop: it finds no MIDI IN to use.\n"},
    };
    for (const auto& [script, ending] : cases) {
        SimRun run = RunSimulated(folder.path(), std::string("clock=virtual;") + script, {"--list"});
        EXPECT_EQ(run.console.substr(run.console.size() - std::min(run.console.size(), ending.size())), ending)
            << script;
        EXPECT_EQ(run.exitStatus, 0) << script;
        EXPECT_EQ(run.report.inputsOpened + run.report.outputsOpened, 0u) << script;
    }
    EXPECT_EQ(RunSimulated(folder.path(), std::string("clock=virtual;") + cases[0].first, {"-l"}).console,
              cases[0].second);
}

}  // namespace
