// The Web MIDI backend under Node, over a stand-in MIDIAccess (fake_midi_access.js): what the
// program sees of the page's ports, and what it gets back of the messages that reach them. (An
// unplugged output and the cut-short SysEx through the whole tool: the browser scenarios.)
#include "platform/winmm.h"

#include <gtest/gtest.h>

#include <emscripten.h>

#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace {

EM_JS(void, UsePorts, (const char* inputs, const char* outputs), {
    fakeMidi.use(UTF8ToString(inputs).split(","), UTF8ToString(outputs).split(","));
});

// As a browser does, only an open port hands on what its device sends.
EM_JS(void, Arrive, (int index, const uint8_t* bytes, int size), {
    const data = HEAPU8.slice(bytes, bytes + size);
    const port = fakeMidi.input(index);
    if (port.connection === "open") port.dispatchEvent(Object.assign(new Event("midimessage"), {data}));
});

EM_JS(int, OpenPageInputs, (), {
    return [...Module['midiAccess'].inputs.values()].filter((port) => port.connection !== 'closed')
        .length;
});

// The page's port is open already, as another part of the page may have opened it.
EM_JS(void, OpenedElsewhere, (int index), { fakeMidi.input(index).connection = "open"; });

void Arrive(int index, const std::vector<uint8_t>& bytes)
{
    Arrive(index, bytes.data(), int(bytes.size()));
}

struct Returned {
    UINT message;
    std::vector<uint8_t> bytes;
    HMIDIIN handle;
};

std::vector<Returned> returned;

// As the tool's callback does: note what came back, queue the header again (not an empty one,
// handed back as input is reset).
void CALLBACK OnInput(HMIDIIN handle, UINT message, DWORD_PTR, DWORD_PTR param1, DWORD_PTR)
{
    if (message != MIM_LONGDATA && message != MIM_LONGERROR) return;
    MIDIHDR* header = (MIDIHDR*)param1;
    if (header->dwBytesRecorded == 0) return;
    returned.push_back({message,
                        std::vector<uint8_t>(header->lpData, header->lpData + header->dwBytesRecorded),
                        handle});
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
    OpenedElsewhere(0);
    Arrive(0, {0xF0, 0x01, 0xF7});  // before input starts: lost, as on Windows
    ASSERT_EQ(midiInStart(handle), MMSYSERR_NOERROR);
    Sleep(1);  // the page's port opens
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
    midiInReset(handle);
    for (MIDIHDR& header : headers) midiInUnprepareHeader(handle, &header, sizeof header);
    EXPECT_EQ(midiInClose(handle), MMSYSERR_NOERROR);
}

// Opens input `id`, queues its one header and starts it, as the tool does.
HMIDIIN OpenWithHeader(UINT id, DWORD_PTR instance, MIDIHDR& header)
{
    HMIDIIN handle = nullptr;
    EXPECT_EQ(midiInOpen(&handle, id, (DWORD_PTR)OnInput, instance, CALLBACK_FUNCTION),
              MMSYSERR_NOERROR);
    midiInPrepareHeader(handle, &header, sizeof header);
    midiInAddBuffer(handle, &header, sizeof header);
    EXPECT_EQ(midiInStart(handle), MMSYSERR_NOERROR);
    return handle;
}

void CloseWithHeader(HMIDIIN handle, MIDIHDR& header)
{
    midiInReset(handle);
    midiInUnprepareHeader(handle, &header, sizeof header);
    EXPECT_EQ(midiInClose(handle), MMSYSERR_NOERROR);
}

// The search for the controller opens every input at once (whose messages the page scenarios
// follow), then closes them all and opens the controller's again at once: a browser's open of a
// port still closing must not leave it closed.
TEST(WebMidiBackend, OpensAnInputAgainRightAfterClosingIt)
{
    UsePorts("Keys 49,quillstrand MIDI,Default App Loopback (B)",
             "Keys 49,quillstrand MIDI,Default App Loopback (A)");
    HMIDIIN handles[3];
    char buffers[3][16];
    MIDIHDR headers[3] = {};
    for (int i = 0; i < 3; ++i) {
        headers[i].lpData = buffers[i];
        headers[i].dwBufferLength = sizeof buffers[i];
        handles[i] = OpenWithHeader(UINT(i), DWORD_PTR(100 + i), headers[i]);
    }
    HMIDIIN again;
    EXPECT_EQ(midiInOpen(&again, 1, (DWORD_PTR)OnInput, 0, CALLBACK_FUNCTION), MMSYSERR_ALLOCATED);
    Sleep(1);

    // It must end open, and hear its device.
    for (int i = 0; i < 3; ++i) CloseWithHeader(handles[i], headers[i]);
    HMIDIIN controller = OpenWithHeader(1, 7, headers[1]);
    Sleep(1);
    EXPECT_EQ(OpenPageInputs(), 1) << "only the controller's input is open";
    returned.clear();
    Arrive(0, {0xF0, 0x01, 0xF7});
    Arrive(1, {0xF0, 0x1A, 0xF7});
    Sleep(1);
    ASSERT_EQ(returned.size(), 1u);
    EXPECT_EQ(returned[0].handle, controller);
    EXPECT_EQ(returned[0].bytes, (std::vector<uint8_t>{0xF0, 0x1A, 0xF7}));
    CloseWithHeader(controller, headers[1]);
    Sleep(1);
    EXPECT_EQ(OpenPageInputs(), 0) << "every page port closed";
}

// The frames page output `index` was sent, each as its bytes in decimal: "240 1 247|240 2 247".
EM_JS(void, PageSent, (int index, char* text, int size), {
    stringToUTF8(fakeMidi.output(index).sent.map((frame) => frame.join(" ")).join("|"), text, size);
});

EM_JS(void, ClosesTakeMs, (int ms), { fakeMidi.closeMs = ms; });

// Until every open and close of a page port asked for is done, and what waited behind it too.
EM_ASYNC_JS(void, PortChangesDone, (), {
    while (webMidi.changes.size > 0) await Promise.all(webMidi.changes.values());
});

std::string PageSent(int index)
{
    char text[256];
    PageSent(index, text, sizeof text);
    return text;
}

// Sends a frame as the tool does; the first call that fails says why.
MMRESULT SendResult(HMIDIOUT handle, std::vector<uint8_t> bytes)
{
    MIDIHDR header = {};
    header.lpData = (LPSTR)bytes.data();
    header.dwBufferLength = DWORD(bytes.size());
    MMRESULT result = midiOutPrepareHeader(handle, &header, sizeof header);
    if (result == MMSYSERR_NOERROR) result = midiOutLongMsg(handle, &header, sizeof header);
    MMRESULT unprepared = midiOutUnprepareHeader(handle, &header, sizeof header);
    return result != MMSYSERR_NOERROR ? result : unprepared;
}

void SendFrame(HMIDIOUT handle, std::vector<uint8_t> bytes)
{
    ASSERT_EQ(SendResult(handle, std::move(bytes)), MMSYSERR_NOERROR);
}

// The search closes the controller's output and the update opens it again at once: the frames
// sent next must not go to a page port that is still closing.
TEST(WebMidiBackend, SendsWhatAnOutputOpenedAgainAtOnceIsGiven)
{
    UsePorts("quillstrand MIDI", "quillstrand MIDI");
    HMIDIOUT handle;
    ASSERT_EQ(midiOutOpen(&handle, 0, 0, 0, CALLBACK_NULL), MMSYSERR_NOERROR);
    SendFrame(handle, {0xF0, 0x35, 0xF7});
    Sleep(1);
    ClosesTakeMs(3);
    EXPECT_EQ(midiOutClose(handle), MMSYSERR_NOERROR);
    ASSERT_EQ(midiOutOpen(&handle, 0, 0, 0, CALLBACK_NULL), MMSYSERR_NOERROR);
    SendFrame(handle, {0xF0, 1, 0xF7});
    Sleep(1);  // the page's port is closing
    SendFrame(handle, {0xF0, 2, 0xF7});
    PortChangesDone();
    EXPECT_EQ(PageSent(0), "240 53 247|240 1 247|240 2 247");
    EXPECT_EQ(midiOutClose(handle), MMSYSERR_NOERROR);
}

// A page port of the fake's maps (keyed from 0 in the order the ports came) unplugged or
// connected again; a new port at the end of its map.
EM_JS(void, SetState, (int input, int key, const char* state), {
    fakeMidi.setState(input ? fakeMidi.input(key) : fakeMidi.output(key), UTF8ToString(state));
});
EM_JS(void, PlugIn, (int input, const char* name), { fakeMidi.plugIn(input, UTF8ToString(name)); });

// A message from the device once the frames handed over have left (one seen before is held back
// as no answer to them), delivered.
void ArriveAfterTheFrames(int index, const std::vector<uint8_t>& bytes)
{
    Sleep(1);  // the pause after a frame, which the browser keeps
    Sleep(1);  // a wait on the page's clock, past the last frame's time
    Arrive(index, bytes);
    Sleep(1);
}

std::string InputName(UINT id)
{
    MIDIINCAPSA caps;
    return midiInGetDevCapsA(id, &caps, sizeof caps) == MMSYSERR_NOERROR ? caps.szPname : "(none)";
}

// The controller's ports as the tool has them open: its input with a header queued, its output.
struct OpenPair {
    char buffer[16];
    MIDIHDR header = {};
    HMIDIIN input = nullptr;
    HMIDIOUT output = nullptr;
};

void OpenBoth(UINT in, UINT out, OpenPair& pair)
{
    pair.header.lpData = pair.buffer;
    pair.header.dwBufferLength = sizeof pair.buffer;
    pair.input = OpenWithHeader(in, 0, pair.header);
    ASSERT_EQ(midiOutOpen(&pair.output, out, 0, 0, CALLBACK_NULL), MMSYSERR_NOERROR);
}

void CloseBoth(OpenPair& pair)
{
    CloseWithHeader(pair.input, pair.header);
    EXPECT_EQ(midiOutClose(pair.output), MMSYSERR_NOERROR);
}

// Devices come and go while the tool waits for the controller: it reads the list again, by Web
// MIDI's order, and the ports it has open stay the same ports whatever number they have now.
TEST(WebMidiBackend, FollowsThePortListAndKeepsEachOpenPort)
{
    UsePorts("Keys 49,quillstrand MIDI", "Keys 49,quillstrand MIDI");
    OpenPair pair;
    OpenBoth(1, 1, pair);
    Sleep(1);

    SetState(true, 0, "disconnected");
    SetState(false, 0, "disconnected");
    PlugIn(true, "Pads");
    ASSERT_EQ(midiInGetNumDevs(), 2u);
    EXPECT_EQ(InputName(0), "quillstrand MIDI");
    EXPECT_EQ(InputName(1), "Pads");
    EXPECT_EQ(midiOutGetNumDevs(), 1u);
    HMIDIIN again;
    EXPECT_EQ(midiInOpen(&again, 0, (DWORD_PTR)OnInput, 0, CALLBACK_FUNCTION), MMSYSERR_ALLOCATED);

    returned.clear();
    SendFrame(pair.output, {0xF0, 0x35, 0xF7});
    ArriveAfterTheFrames(1, {0xF0, 0x34, 0xF7});
    EXPECT_EQ(PageSent(1), "240 53 247");
    ASSERT_EQ(returned.size(), 1u);
    EXPECT_EQ(returned[0].handle, pair.input);
    CloseBoth(pair);
}

// A device that left is a new device when it comes back, even when the browser turns its old port
// objects connected again (Chromium may): the handles of before stay unplugged, and the device
// opened again by its number works.
TEST(WebMidiBackend, TakesADeviceThatCameBackForANewOne)
{
    UsePorts("quillstrand MIDI", "quillstrand MIDI");
    OpenPair pair;
    OpenBoth(0, 0, pair);
    Sleep(1);

    for (const char* state : {"disconnected", "connected"}) {
        SetState(true, 0, state);
        SetState(false, 0, state);
    }
    ASSERT_EQ(midiInGetNumDevs(), 1u);
    returned.clear();
    ArriveAfterTheFrames(0, {0xF0, 0x01, 0xF7});
    EXPECT_TRUE(returned.empty()) << "heard through a handle of the device that left";
    EXPECT_EQ(SendResult(pair.output, {0xF0, 0x01, 0xF7}), MMRESULT(MIDIERR_NODEVICE));
    CloseBoth(pair);

    OpenBoth(0, 0, pair);
    ArriveAfterTheFrames(0, {0xF0, 0x02, 0xF7});
    ASSERT_EQ(returned.size(), 1u);
    EXPECT_EQ(returned[0].bytes, (std::vector<uint8_t>{0xF0, 0x02, 0xF7}));
    EXPECT_EQ(SendResult(pair.output, {0xF0, 0x02, 0xF7}), MMSYSERR_NOERROR);
    EXPECT_EQ(PageSent(0), "240 2 247");
    CloseBoth(pair);
    Sleep(1);
    EXPECT_EQ(OpenPageInputs(), 0) << "every page port closed";
}

// What the page's thread did meanwhile: a task of the page's, and the frames handed over by then.
EM_JS(void, PostPageTask, (), {
    fakeMidi.taskSaw = -1;
    setTimeout(() => { fakeMidi.taskSaw = fakeMidi.output(0).sent.length; }, 0);
});
EM_JS(int, PageTaskSaw, (), { return fakeMidi.taskSaw; });
// The first fault in the pace of the `frames` frames sent, or "": each leaves exactly 1 ms after
// the one before when it was handed over ahead of its time, else (the page's thread was held up
// past that time, as on a busy machine) as soon as the page could, never sooner; none is handed
// over further ahead than a lead of about one record.
EM_JS(void, PaceFault, (int frames, char* text, int size), {
    const times = fakeMidi.output(0).times;
    let fault = times.length === frames ? "" : `${times.length} frames sent`;
    for (let i = 1; i < times.length && !fault; ++i) {
        const after = times[i][0] - times[i - 1][0];
        const ahead = times[i][0] - times[i][1];
        if (ahead > 0 ? Math.abs(after - 1) > 1e-6 : after < 1 - 1e-6) {
            fault = `frame ${i} leaves ${after} ms after the one before`;
        } else if (ahead > 17) {
            fault = `frame ${i} handed over ${ahead} ms ahead`;
        }
    }
    stringToUTF8(fault, text, size);
});
EM_JS(double, PageClock, (), { return performance.now(); });
EM_JS(double, LastFrameAt, (), { return fakeMidi.output(0).times.at(-1)[0]; });
EM_JS(int, PageClears, (), { return fakeMidi.output(0).clears; });

std::string PaceFault(int frames)
{
    char text[256];
    PaceFault(frames, text, sizeof text);
    return text;
}

// A record goes out as the tool sends it: a frame, Sleep(1), the next. The page hands its frames
// to the browser in one go, each stamped 1 ms after the one before, so that nothing else the page
// does can come between two of them; a longer run is handed over no further ahead than a lead of
// about one record. Then the wait for the answer lasts until the last frame's pause is over.
TEST(WebMidiBackend, HandsTheBrowserEachFrameWithItsTime)
{
    UsePorts("quillstrand MIDI", "quillstrand MIDI");
    HMIDIOUT handle;
    ASSERT_EQ(midiOutOpen(&handle, 0, 0, 0, CALLBACK_NULL), MMSYSERR_NOERROR);
    const int recordFrames = 12;
    const int longRun = 60;
    PostPageTask();
    for (int frame = 0; frame < longRun; ++frame) {
        SendFrame(handle, {0xF0, uint8_t(frame), 0xF7});
        Sleep(1);
        if (frame == recordFrames - 1) {
            EXPECT_EQ(PageTaskSaw(), -1) << "the page had a turn in the middle of a record";
        }
    }
    EXPECT_EQ(PaceFault(longRun), "");
    Sleep(1);  // the wait for an answer
    EXPECT_GE(PageClock(), LastFrameAt() + 2) << "the answer was waited for from the last frame's time";
    EXPECT_NE(PageTaskSaw(), -1) << "the page has had its turn";

    // A run that ends with frames still to leave takes them back.
    SendFrame(handle, {0xF0, 0x7F, 0xF7});
    EXPECT_EQ(midiOutReset(handle), MMSYSERR_NOERROR);
    EXPECT_EQ(PageClears(), 1);
    EXPECT_EQ(midiOutClose(handle), MMSYSERR_NOERROR);
}

// The page hands a record's frames over ahead, so an answer may reach it before the last of them
// has left: that one answers an earlier send. It is held back, ends no wait, and comes back only
// just ahead of the next message that arrives after the frames left, which replaces it.
TEST(WebMidiBackend, HandsBackAMessageThatCameBeforeTheLastFrameLeftOnlyAheadOfALaterOne)
{
    UsePorts("quillstrand MIDI", "quillstrand MIDI");
    HMIDIOUT output;
    ASSERT_EQ(midiOutOpen(&output, 0, 0, 0, CALLBACK_NULL), MMSYSERR_NOERROR);
    char buffer[16];
    MIDIHDR header = {};
    header.lpData = buffer;
    header.dwBufferLength = sizeof buffer;
    HMIDIIN input = OpenWithHeader(0, 0, header);
    Sleep(1);
    returned.clear();

    // A record of twelve frames: the last is due 11 ms after the first.
    for (uint8_t frame = 0; frame < 12; ++frame) {
        SendFrame(output, {0xF0, frame, 0xF7});
        Sleep(1);
    }
    Arrive(0, {0xF0, 0x1A, 0xF7});
    const double lastFrameAt = LastFrameAt();
    for (int poll = 0; poll < 20; ++poll) Sleep(1);
    EXPECT_GT(PageClock(), lastFrameAt);
    EXPECT_TRUE(returned.empty()) << "taken as the answer to frames that had not left";

    Arrive(0, {0xF0, 0x20, 0xF7});
    Sleep(1);
    ASSERT_EQ(returned.size(), 2u);
    EXPECT_EQ(returned[0].bytes, (std::vector<uint8_t>{0xF0, 0x1A, 0xF7}));
    EXPECT_EQ(returned[1].bytes, (std::vector<uint8_t>{0xF0, 0x20, 0xF7}));
    CloseWithHeader(input, header);
    EXPECT_EQ(midiOutClose(output), MMSYSERR_NOERROR);
}

}  // namespace
