// The Web MIDI backend under Node, over a stand-in MIDIAccess (fake_midi_access.js): what the
// program sees of the page's ports, and what it gets back of the messages that reach them. (An
// unplugged output and the cut-short SysEx through the whole tool: the browser scenarios.)
#include "platform/winmm.h"

#include <gtest/gtest.h>

#include <emscripten.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

EM_JS(void, UsePorts, (const char* inputs, const char* outputs), {
    fakeMidi.use(UTF8ToString(inputs).split(","), UTF8ToString(outputs).split(","));
});

EM_JS(void, Arrive, (int index, const uint8_t* bytes, int size), {
    const data = HEAPU8.slice(bytes, bytes + size);
    fakeMidi.input(index).dispatchEvent(Object.assign(new Event("midimessage"), {data}));
});

void Arrive(int index, const std::vector<uint8_t>& bytes)
{
    Arrive(index, bytes.data(), int(bytes.size()));
}

struct Returned {
    UINT message;
    std::vector<uint8_t> bytes;
};

std::vector<Returned> returned;

// As the tool's callback does: note what came back, queue the header again.
void CALLBACK OnInput(HMIDIIN handle, UINT message, DWORD_PTR, DWORD_PTR param1, DWORD_PTR)
{
    if (message != MIM_LONGDATA && message != MIM_LONGERROR) return;
    MIDIHDR* header = (MIDIHDR*)param1;
    returned.push_back({message, std::vector<uint8_t>(header->lpData,
                                                      header->lpData + header->dwBytesRecorded)});
    midiInAddBuffer(handle, header, sizeof *header);
}

TEST(WebMidiBackend, ListsThePagesPortsAsAWindowsProgramSeesThem)
{
    UsePorts("Midi Through Port-0,gone (unplugged),quillstrand MIDI interface with a long name",
             "Midi Through Port-0,quillstrand MIDI");
    ASSERT_EQ(midiInGetNumDevs(), 1u);
    ASSERT_EQ(midiOutGetNumDevs(), 1u);
    MIDIINCAPSA in;
    ASSERT_EQ(midiInGetDevCapsA(0, &in, sizeof in), MMSYSERR_NOERROR);
    EXPECT_STREQ(in.szPname, "quillstrand MIDI interface with");
    MIDIOUTCAPSA out;
    EXPECT_EQ(midiOutGetDevCapsA(1, &out, sizeof out), MMSYSERR_BADDEVICEID);
    HMIDIOUT handle;
    EXPECT_EQ(midiOutOpen(&handle, 1, 0, 0, CALLBACK_NULL), MMSYSERR_BADDEVICEID);
}

TEST(WebMidiBackend, HandsSysExBackInTheQueuedHeadersAsSleepReturns)
{
    UsePorts("quillstrand MIDI", "quillstrand MIDI");
    HMIDIIN handle;
    ASSERT_EQ(midiInOpen(&handle, 0, (DWORD_PTR)OnInput, 0, CALLBACK_FUNCTION), MMSYSERR_NOERROR);
    char buffers[2][8];
    MIDIHDR headers[2] = {};
    for (int i = 0; i < 2; ++i) {
        headers[i].lpData = buffers[i];
        headers[i].dwBufferLength = sizeof buffers[i];
        midiInPrepareHeader(handle, &headers[i], sizeof headers[i]);
        midiInAddBuffer(handle, &headers[i], sizeof headers[i]);
    }
    Arrive(0, {0xF0, 0x01, 0xF7});  // before input starts: lost, as on Windows
    ASSERT_EQ(midiInStart(handle), MMSYSERR_NOERROR);
    returned.clear();

    Arrive(0, {0x90, 0x40, 0x7F});  // a note never reaches the tool
    Arrive(0, {0xF0, 1, 2, 0xF7});
    Arrive(0, {0xF0, 0x20});  // a device that stopped in the middle of a message
    EXPECT_TRUE(returned.empty()) << "delivered before Sleep";
    Sleep(1);
    ASSERT_EQ(returned.size(), 2u);
    EXPECT_EQ(returned[0].message, UINT(MIM_LONGDATA));
    EXPECT_EQ(returned[0].bytes, (std::vector<uint8_t>{0xF0, 1, 2, 0xF7}));
    // Web MIDI hands over whole messages: one without its end byte is over at once.
    EXPECT_EQ(returned[1].message, UINT(MIM_LONGERROR));
    EXPECT_EQ(returned[1].bytes, (std::vector<uint8_t>{0xF0, 0x20}));
}

}  // namespace
