#include "midi/midi_link.h"

#include "midi/console_texts.h"
#include "midi/port_name.h"
#include "midi/reply_handover.h"
#include "midi/system_port.h"

#include <atomic>
#include <stdio.h>
#include <string.h>

uint8_t RxBuffer[RX_BUFFER_SIZE];

// The callback thread reads these; the main thread changes them.
static std::atomic<HMIDIIN> inputHandle{nullptr};
static std::atomic<bool> inputOpen{false};
static MIDIHDR inputHeader;

static HMIDIOUT outputHandle;
static bool outputOpen;
static MIDIHDR outputHeader;

// How long a close waits for the input header to come back from the service.
static const int HEADER_RETURN_MS = 1000;

uint16_t OpenMidiIn(UINT id)
{
    for (;; ++id) {
        HMIDIIN handle;
        MMRESULT result = midiInOpen(&handle, id, (DWORD_PTR)OnMidiInput, 0, CALLBACK_FUNCTION);
        if (result != MMSYSERR_NOERROR) {
            inputOpen = false;
            return (uint16_t)result;
        }
        inputHandle = handle;

        char name[MAXPNAMELEN];
        ReadPortName(true, id, name);
        printf(TEXT_MIDI_IN_DEVICE, name);

        memset(&inputHeader, 0, sizeof inputHeader);
        inputHeader.lpData = (LPSTR)RxBuffer;
        inputHeader.dwBufferLength = RX_BUFFER_SIZE;
        midiInPrepareHeader(handle, &inputHeader, sizeof inputHeader);
        midiInAddBuffer(handle, &inputHeader, sizeof inputHeader);
        inputOpen = true;
        MMRESULT started = midiInStart(handle);

        if (!IsSystemPort(name)) return (uint16_t)started;
        CloseMidiIn();
    }
}

uint16_t OpenMidiOut(UINT id)
{
    for (;; ++id) {
        MMRESULT result = midiOutOpen(&outputHandle, id, 0, 0, CALLBACK_NULL);
        if (result != MMSYSERR_NOERROR) {
            outputOpen = false;
            return (uint16_t)result;
        }

        char name[MAXPNAMELEN];
        ReadPortName(false, id, name);
        printf(TEXT_MIDI_OUT_DEVICE, name);
        outputOpen = true;

        if (!IsSystemPort(name)) return 0;
        CloseMidiOut();
    }
}

int CloseMidiIn()
{
    // Cleared first, so that a header handed back from now on is not queued again.
    if (!inputOpen.exchange(false)) return 0;
    HMIDIIN handle = inputHandle;
    // Stop recording, then make the service hand the queued header back.
    midiInStop(handle);
    midiInReset(handle);
    // The callback may have been re-queueing the header just as we cleared the flag: reset until
    // the service has really given it back, or the close below is refused.
    for (int waited = 0; (inputHeader.dwFlags & MHDR_INQUEUE) && waited < HEADER_RETURN_MS; ++waited) {
        Sleep(1);
        midiInReset(handle);
    }
    // The service must be done with RxBuffer before the port goes.
    midiInUnprepareHeader(handle, &inputHeader, sizeof inputHeader);
    midiInClose(handle);
    return 1;
}

int CloseMidiOut()
{
    if (!outputOpen) return 0;
    outputOpen = false;
    // Nothing should be pending after a synchronous send; the reset makes sure the close holds.
    midiOutReset(outputHandle);
    midiOutClose(outputHandle);
    return 1;
}

uint16_t SendSysEx(const uint8_t* data, unsigned length)
{
    if (length > SYSEX_MAX_DATA) return MMSYSERR_INVALPARAM;
    uint8_t frame[SYSEX_MAX_DATA + 2];
    frame[0] = 0xF0;
    memcpy(frame + 1, data, length);
    frame[length + 1] = 0xF7;

    memset(&outputHeader, 0, sizeof outputHeader);
    outputHeader.lpData = (LPSTR)frame;
    outputHeader.dwBufferLength = length + 2;
    MMRESULT result = midiOutPrepareHeader(outputHandle, &outputHeader, sizeof outputHeader);
    if (result != MMSYSERR_NOERROR) return (uint16_t)result;
    result = midiOutLongMsg(outputHandle, &outputHeader, sizeof outputHeader);
    if (result != MMSYSERR_NOERROR) {
        // The frame lives on this call's stack: leave no prepared header pointing at it.
        midiOutUnprepareHeader(outputHandle, &outputHeader, sizeof outputHeader);
        return (uint16_t)result;
    }
    while (midiOutUnprepareHeader(outputHandle, &outputHeader, sizeof outputHeader) ==
           MIDIERR_STILLPLAYING) {
        Sleep(100);
    }
    return 0;
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
    if (!inputOpen) return;
    // Straight back to the service, ready for the next reply.
    HMIDIIN handle = inputHandle;
    midiInUnprepareHeader(handle, &inputHeader, sizeof inputHeader);
    midiInPrepareHeader(handle, &inputHeader, sizeof inputHeader);
    midiInAddBuffer(handle, &inputHeader, sizeof inputHeader);
}
