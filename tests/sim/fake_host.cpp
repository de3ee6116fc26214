#include "tests/sim/fake_host.h"

#include "backends/sim/inside_simulator.h"

FakeHost::~FakeHost()
{
    Close();
}

void CALLBACK FakeHost::OnInput(HMIDIIN, UINT message, DWORD_PTR instance, DWORD_PTR param1, DWORD_PTR)
{
    FakeHost* host = reinterpret_cast<FakeHost*>(instance);
    CallbackSeen seen;
    seen.message = message;
    seen.thread = std::this_thread::get_id();
    seen.insideSimulator = InsideSimulator();
    seen.header = reinterpret_cast<MIDIHDR*>(param1);
    seen.param1 = param1;
    bool handedBack = message == MIM_LONGDATA || message == MIM_LONGERROR;
    if (handedBack) {
        seen.flags = seen.header->dwFlags;
        seen.bytes.assign(seen.header->lpData, seen.header->lpData + seen.header->dwBytesRecorded);
    }
    bool requeue;
    {
        std::lock_guard<std::mutex> lock(host->mutex_);
        host->seen_.push_back(seen);
        requeue = host->requeue;
    }
    if (handedBack && requeue) {
        midiInUnprepareHeader(host->in, &host->header, sizeof(MIDIHDR));
        midiInPrepareHeader(host->in, &host->header, sizeof(MIDIHDR));
        midiInAddBuffer(host->in, &host->header, sizeof(MIDIHDR));
    }
}

MMRESULT FakeHost::OpenInput(UINT id)
{
    MMRESULT result = midiInOpen(&in, id, reinterpret_cast<DWORD_PTR>(&OnInput),
                                 reinterpret_cast<DWORD_PTR>(this), CALLBACK_FUNCTION);
    if (result != MMSYSERR_NOERROR) return result;
    header.lpData = buffer;
    header.dwBufferLength = sizeof buffer;
    midiInPrepareHeader(in, &header, sizeof header);
    midiInAddBuffer(in, &header, sizeof header);
    return midiInStart(in);
}

MMRESULT FakeHost::OpenOutput(UINT id)
{
    return midiOutOpen(&out, id, 0, 0, CALLBACK_NULL);
}

bool FakeHost::Connect()
{
    return OpenInput(0) == MMSYSERR_NOERROR && OpenOutput(1) == MMSYSERR_NOERROR;
}

MMRESULT FakeHost::Send(const std::vector<uint8_t>& frame)
{
    std::vector<char> data(frame.begin(), frame.end());
    MIDIHDR sent{};
    sent.lpData = data.data();
    sent.dwBufferLength = DWORD(data.size());
    MMRESULT result = midiOutPrepareHeader(out, &sent, sizeof sent);
    if (result == MMSYSERR_NOERROR) result = midiOutLongMsg(out, &sent, sizeof sent);
    while (midiOutUnprepareHeader(out, &sent, sizeof sent) == MIDIERR_STILLPLAYING) {
    }
    return result;
}

void FakeHost::Close()
{
    if (in != nullptr) {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            requeue = false;
        }
        midiInStop(in);
        midiInReset(in);
        midiInUnprepareHeader(in, &header, sizeof header);
        midiInClose(in);
        in = nullptr;
    }
    if (out != nullptr) {
        midiOutReset(out);
        midiOutClose(out);
        out = nullptr;
    }
}

std::vector<CallbackSeen> FakeHost::Seen()
{
    std::lock_guard<std::mutex> lock(mutex_);
    return seen_;
}

std::vector<std::vector<uint8_t>> FakeHost::Received()
{
    std::vector<std::vector<uint8_t>> received;
    for (const CallbackSeen& seen : Seen()) {
        if (seen.message == MIM_LONGDATA) received.push_back(seen.bytes);
    }
    return received;
}

std::vector<uint8_t> IdentifyRequest()
{
    return {0xF0, 0x35, 0x62, 0x0E, 0x71, 0x48, 0x13, 0x59, 0xF7};
}
