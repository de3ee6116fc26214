// Against the real alsa-lib of a machine that has no sound card (a build machine, say).
#include "backends/alsa/rawmidi_stream.h"
#include "platform/winmm.h"

#include <alsa/asoundlib.h>
#include <gtest/gtest.h>

namespace {

bool HasSoundCard()
{
    int card = -1;
    return snd_card_next(&card) >= 0 && card >= 0;
}

TEST(MachineWithoutSoundCard, OffersNoMidiPortAndPrintsNothing)
{
    if (HasSoundCard()) GTEST_SKIP() << "this machine has a sound card";
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();

    EXPECT_EQ(midiInGetNumDevs(), 0u);
    EXPECT_EQ(midiOutGetNumDevs(), 0u);
    HMIDIIN input = nullptr;
    HMIDIOUT output = nullptr;
    EXPECT_EQ(midiInOpen(&input, 0, 0, 0, CALLBACK_FUNCTION), MMSYSERR_BADDEVICEID);
    EXPECT_EQ(midiOutOpen(&output, 0, 0, 0, CALLBACK_NULL), MMSYSERR_BADDEVICEID);
    MIDIINCAPSA inCaps;
    MIDIOUTCAPSA outCaps;
    EXPECT_EQ(midiInGetDevCapsA(0, &inCaps, sizeof inCaps), MMSYSERR_BADDEVICEID);
    EXPECT_EQ(midiOutGetDevCapsA(0, &outCaps, sizeof outCaps), MMSYSERR_BADDEVICEID);
    // alsa-lib reports a port that is not there on standard error, unless told not to.
    std::unique_ptr<InputSource> source;
    std::unique_ptr<OutputSink> sink;
    EXPECT_NE(OpenRawmidiInput("hw:7,0", source), MMSYSERR_NOERROR);
    EXPECT_NE(OpenRawmidiOutput("hw:7,0,1", sink), MMSYSERR_NOERROR);
    EXPECT_NE(OpenRawmidiOutput("nonsense", sink), MMSYSERR_NOERROR);

    std::string errors = testing::internal::GetCapturedStderr();
    std::string console = testing::internal::GetCapturedStdout();
    EXPECT_EQ(errors, "");
    EXPECT_EQ(console, "");
}

TEST(MachineWithoutSoundCard, RefusesHandlesItNeverGaveOut)
{
    int notAPort = 0;
    auto input = reinterpret_cast<HMIDIIN>(&notAPort);
    auto output = reinterpret_cast<HMIDIOUT>(&notAPort);
    MIDIHDR header{};
    EXPECT_EQ(midiInPrepareHeader(input, &header, sizeof header), MMSYSERR_INVALHANDLE);
    EXPECT_EQ(midiInAddBuffer(input, &header, sizeof header), MMSYSERR_INVALHANDLE);
    EXPECT_EQ(midiInStart(input), MMSYSERR_INVALHANDLE);
    EXPECT_EQ(midiInReset(input), MMSYSERR_INVALHANDLE);
    EXPECT_EQ(midiInClose(nullptr), MMSYSERR_INVALHANDLE);
    EXPECT_EQ(midiOutLongMsg(output, &header, sizeof header), MMSYSERR_INVALHANDLE);
    EXPECT_EQ(midiOutClose(output), MMSYSERR_INVALHANDLE);
    EXPECT_EQ(midiInOpen(nullptr, 0, 0, 0, CALLBACK_FUNCTION), MMSYSERR_INVALPARAM);
}

}  // namespace
