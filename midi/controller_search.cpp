#include "midi/controller_search.h"

#include "midi/input_buffer.h"
#include "midi/midi_link.h"
#include "midi/port_name.h"
#include "midi/sysex_send.h"
#include "midi/system_port.h"

#include <atomic>
#include <string.h>

// Inputs listened to at once; a computer with more lists the controller among the first.
static const unsigned MAX_LISTENED = 32;
static const unsigned REQUESTS_PER_OUTPUT = 3;
static const uint16_t POLLS_PER_REQUEST = 100;
static const uint16_t QUIET_POLLS = 2 * POLLS_PER_REQUEST;
static const uint16_t MAX_QUIET_WAIT_POLLS = 1500;
static const UINT NO_OUTPUT = 0xFFFFFFFFu;

// One input listened to during the search. The callback thread counts what it hears; the main
// thread reads the counts.
struct ListenedInput {
    UINT device;
    HMIDIIN handle;
    MIDIHDR header;
    uint8_t buffer[RX_BUFFER_SIZE];
    std::atomic<bool> listening;
    std::atomic<uint32_t> answers;  // SysEx of 2 bytes or more, other than the request
    std::atomic<uint32_t> echoes;   // the request itself, come back through a loopback
    UINT answeredOutput;            // the output whose request it answered first
};

static ListenedInput listened[MAX_LISTENED];
static unsigned listenedCount;
// The question of the search under way; the callback thread compares what it hears with it.
static const uint8_t* question;
static unsigned questionLength;

static bool IsRequestEcho(const MIDIHDR* header)
{
    const uint8_t* bytes = (const uint8_t*)header->lpData;
    return header->dwBytesRecorded == questionLength + 2 && bytes[0] == 0xF0 &&
           memcmp(bytes + 1, question, questionLength) == 0 && bytes[questionLength + 1] == 0xF7;
}

static void CALLBACK OnSearchInput(HMIDIIN, UINT message, DWORD_PTR instance, DWORD_PTR param1,
                                   DWORD_PTR)
{
    if (message != MIM_LONGDATA && message != MIM_LONGERROR) return;
    ListenedInput& input = listened[instance];
    const MIDIHDR* header = (const MIDIHDR*)param1;
    if (message == MIM_LONGDATA && header->dwBytesRecorded >= 2) {
        ++(IsRequestEcho(header) ? input.echoes : input.answers);
    }
    if (input.listening) RequeueInputBuffer(input.handle, &input.header);
}

// Opens, queues and starts every input but the system's own; one that another program holds or
// that cannot listen is passed over.
static void ListenToInputs()
{
    listenedCount = 0;
    uint16_t inputs = (uint16_t)midiInGetNumDevs();
    for (UINT id = 0; id < inputs && listenedCount < MAX_LISTENED; ++id) {
        char name[MAXPNAMELEN];
        ReadPortName(true, id, name);
        if (IsSystemPort(name)) continue;
        ListenedInput& input = listened[listenedCount];
        input.device = id;
        input.answers = 0;
        input.echoes = 0;
        input.answeredOutput = NO_OUTPUT;
        if (midiInOpen(&input.handle, id, (DWORD_PTR)OnSearchInput, listenedCount, CALLBACK_FUNCTION) !=
            MMSYSERR_NOERROR) {
            continue;
        }
        input.listening = true;
        if (QueueInputBuffer(input.handle, &input.header, input.buffer, RX_BUFFER_SIZE) != MMSYSERR_NOERROR ||
            midiInStart(input.handle) != MMSYSERR_NOERROR) {
            input.listening = false;
            CloseInputWithBuffer(input.handle, &input.header);
            continue;
        }
        ++listenedCount;
    }
}

static void StopListening()
{
    for (unsigned i = 0; i < listenedCount; ++i) {
        listened[i].listening = false;
        CloseInputWithBuffer(listened[i].handle, &listened[i].header);
    }
}

static uint32_t Total(std::atomic<uint32_t> ListenedInput::*count)
{
    uint32_t total = 0;
    for (unsigned i = 0; i < listenedCount; ++i) total += listened[i].*count;
    return total;
}

// Waits until no input has answered for longer than two requests lie apart, or the quiet never
// comes: a slow controller's answers to earlier requests, still on their way, would otherwise be
// taken for the answer to the next.
static void AwaitQuiet()
{
    uint32_t answers = Total(&ListenedInput::answers);
    uint16_t quietPolls = 0;
    for (uint16_t polls = 0; polls < MAX_QUIET_WAIT_POLLS && quietPolls < QUIET_POLLS; ++polls) {
        Sleep(1);
        uint32_t now = Total(&ListenedInput::answers);
        quietPolls = now == answers ? quietPolls + 1 : 0;
        answers = now;
    }
}

// Pairs `output` with every input that answered since `answersBefore`.
static bool ClaimAnswers(UINT output, const uint32_t* answersBefore)
{
    bool claimed = false;
    for (unsigned i = 0; i < listenedCount; ++i) {
        if (listened[i].answers != answersBefore[i]) {
            listened[i].answeredOutput = output;
            claimed = true;
        }
    }
    return claimed;
}

// Sends the request to `output` up to `requests` times, each followed by a wait that ends early once
// an input answers. A loopback, which only sends the request back, is asked once; its echo does
// not end the wait, as an echo that came late from another loopback would cut short the wait for
// the controller.
static void AskOutput(UINT output, unsigned requests)
{
    HMIDIOUT handle;
    if (midiOutOpen(&handle, output, 0, 0, CALLBACK_NULL) != MMSYSERR_NOERROR) return;
    MIDIHDR header;
    uint32_t answersBefore[MAX_LISTENED];
    for (unsigned i = 0; i < listenedCount; ++i) answersBefore[i] = listened[i].answers;
    bool answered = false;
    for (unsigned request = 0; request < requests && !answered; ++request) {
        uint32_t echoesBefore = Total(&ListenedInput::echoes);
        if (SendSysExOn(handle, &header, question, questionLength) != 0) break;
        for (uint16_t polls = 0; polls < POLLS_PER_REQUEST && !answered; ++polls) {
            Sleep(1);
            answered = ClaimAnswers(output, answersBefore);
        }
        if (Total(&ListenedInput::echoes) != echoesBefore) break;
    }
    CloseOutput(handle);
}

// The inputs paired with an output, and the last of them.
static SearchResult Tally(unsigned* slot)
{
    SearchResult result = {SEARCH_NONE, 0, 0, 0};
    for (unsigned i = 0; i < listenedCount; ++i) {
        if (listened[i].answeredOutput == NO_OUTPUT) continue;
        ++result.answeringInputs;
        *slot = i;
        result.input = listened[i].device;
        result.output = listened[i].answeredOutput;
    }
    if (result.answeringInputs == 1) result.outcome = SEARCH_FOUND;
    if (result.answeringInputs > 1) result.outcome = SEARCH_SEVERAL;
    return result;
}

SearchResult FindController(const uint8_t* identifyRequest, unsigned length)
{
    question = identifyRequest;
    questionLength = length;
    ListenToInputs();
    uint16_t outputs = (uint16_t)midiOutGetNumDevs();
    for (UINT id = 0; id < outputs && listenedCount > 0; ++id) {
        char name[MAXPNAMELEN];
        ReadPortName(false, id, name);
        if (!IsSystemPort(name)) AskOutput(id, REQUESTS_PER_OUTPUT);
    }
    unsigned slot = 0;
    SearchResult result = Tally(&slot);
    if (result.outcome == SEARCH_FOUND) {
        // One answer may be a message the device sent on its own while another output was asked,
        // or a slow device's answer to an earlier request: that output would get the firmware.
        // Once every answer on its way has come, the pair must answer once more, and once only:
        // more answers were a slow device's to earlier requests, one of them taken for this one.
        AwaitQuiet();
        ListenedInput& input = listened[slot];
        input.answeredOutput = NO_OUTPUT;
        uint32_t answersBefore = input.answers;
        AskOutput(result.output, 1);
        AwaitQuiet();
        if (input.answers - answersBefore > 1) input.answeredOutput = NO_OUTPUT;
        result = Tally(&slot);
    }
    StopListening();
    return result;
}
