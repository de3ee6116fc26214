#include "midi/midi_link.h"

#include "midi/console_texts.h"
#include "midi/input_buffer.h"
#include "midi/port_name.h"
#include "midi/reply_handover.h"
#include "midi/system_port.h"

#include <atomic>
#include <stdio.h>
#include <string.h>

static uint8_t RxBuffer[RX_BUFFER_SIZE];

// The callback thread reads these; the main thread changes them.
static std::atomic<HMIDIIN> inputHandle{nullptr};
static std::atomic<bool> inputOpen{false};
static MIDIHDR inputHeader;

static HMIDIOUT outputHandle;
static bool outputOpen;
static MIDIHDR outputHeader;

static bool announcing = true;
static char inputName[MAXPNAMELEN];
static char outputName[MAXPNAMELEN];

// Opens input `id` and prints its name. Once the port is open it stays marked open whatever
// follows, so that the close takes its buffer back.
static uint16_t OpenInput(UINT id, char name[MAXPNAMELEN])
{
    HMIDIIN handle;
    MMRESULT result = midiInOpen(&handle, id, (DWORD_PTR)OnMidiInput, 0, CALLBACK_FUNCTION);
    if (result != MMSYSERR_NOERROR) {
        inputOpen = false;
        return (uint16_t)result;
    }
    inputHandle = handle;
    inputOpen = true;
    ReadPortName(true, id, name);
    memcpy(inputName, name, MAXPNAMELEN);
    if (announcing) printf(TEXT_MIDI_IN_DEVICE, name);
    result = QueueInputBuffer(handle, &inputHeader, RxBuffer, RX_BUFFER_SIZE);
    if (result == MMSYSERR_NOERROR) result = midiInStart(handle);
    return (uint16_t)result;
}

static uint16_t OpenOutput(UINT id, char name[MAXPNAMELEN])
{
    MMRESULT result = midiOutOpen(&outputHandle, id, 0, 0, CALLBACK_NULL);
    if (result != MMSYSERR_NOERROR) {
        outputOpen = false;
        return (uint16_t)result;
    }
    ReadPortName(false, id, name);
    memcpy(outputName, name, MAXPNAMELEN);
    if (announcing) printf(TEXT_MIDI_OUT_DEVICE, name);
    outputOpen = true;
    return 0;
}

uint16_t OpenMidiIn(UINT id)
{
    for (;; ++id) {
        char name[MAXPNAMELEN];
        uint16_t result = OpenInput(id, name);
        // A system port is passed over whether or not it could listen.
        if (!inputOpen || !IsSystemPort(name)) return result;
        CloseMidiIn();
    }
}

uint16_t OpenMidiOut(UINT id)
{
    for (;; ++id) {
        char name[MAXPNAMELEN];
        uint16_t result = OpenOutput(id, name);
        if (result != 0 || !IsSystemPort(name)) return result;
        CloseMidiOut();
    }
}

uint16_t OpenMidiInDevice(UINT id)
{
    char name[MAXPNAMELEN];
    return OpenInput(id, name);
}

uint16_t OpenMidiOutDevice(UINT id)
{
    char name[MAXPNAMELEN];
    return OpenOutput(id, name);
}

void AnnouncePorts(bool announce)
{
    announcing = announce;
}

const char* OpenPortName(bool input)
{
    return input ? inputName : outputName;
}

int CloseMidiIn()
{
    // Cleared first, so that a buffer handed back from now on is not queued again.
    if (!inputOpen.exchange(false)) return 0;
    CloseInputWithBuffer(inputHandle, &inputHeader);
    return 1;
}

int CloseMidiOut()
{
    if (!outputOpen) return 0;
    outputOpen = false;
    CloseOutput(outputHandle);
    return 1;
}

uint16_t SendSysEx(const uint8_t* data, unsigned length)
{
    return SendSysExOn(outputHandle, &outputHeader, data, length);
}

void CALLBACK OnMidiInput(HMIDIIN, UINT message, DWORD_PTR, DWORD_PTR param1, DWORD_PTR)
{
    // A SysEx cut short comes back as a long error: no reply, but its buffer is needed again.
    if (message != MIM_LONGDATA && message != MIM_LONGERROR) return;
    const MIDIHDR* header = (const MIDIHDR*)param1;
    if (message == MIM_LONGDATA) {
        DWORD count = header->dwBytesRecorded;
        PublishReply((uint16_t)count, count >= 2 ? (uint8_t)header->lpData[1] : 0);
    }
    if (inputOpen) RequeueInputBuffer(inputHandle, &inputHeader);
}
