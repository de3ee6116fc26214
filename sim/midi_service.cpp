#include "sim/midi_service.h"

#include "sim/inside_simulator.h"

#include <algorithm>
#include <cstring>

namespace {

bool Contains(const std::vector<uint32_t>& numbers, UINT n)
{
    return std::find(numbers.begin(), numbers.end(), n) != numbers.end();
}

uintptr_t Value(HMIDIIN handle)
{
    return reinterpret_cast<uintptr_t>(handle);
}

uintptr_t Value(HMIDIOUT handle)
{
    return reinterpret_cast<uintptr_t>(handle);
}

bool HeaderUsable(const MIDIHDR* header, UINT size)
{
    return header != nullptr && size >= sizeof(MIDIHDR) && header->lpData != nullptr;
}

}  // namespace

MidiService::MidiService() = default;

MidiService& SimulatedMidiService()
{
    static MidiService service;
    return service;
}

void MidiService::Configure(const SimSetup& setup)
{
    std::lock_guard<std::mutex> lock(mutex_);
    setup_ = setup;
    firmware_ = DeviceFirmware(setup.firmware);
    parser_ = MidiMessageReader();
    strays_.assign(setup.strayAtMs.begin(), setup.strayAtMs.end());
    std::sort(strays_.begin(), strays_.end());
    ports_.clear();
    prepared_.clear();
    clockMs_ = 0;
    controllerFrames_ = 0;
    unplugged_ = false;
    stillPlayingLeft_ = setup.stillPlayingUnprepares;
    counts_ = SimCounts();
}

SimCounts MidiService::Counts() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    SimCounts counts = counts_;
    for (const auto& entry : ports_) {
        ++(entry.second.input ? counts.inputsOpen : counts.outputsOpen);
        counts.headersQueued += unsigned(entry.second.queue.size());
    }
    counts.headersPrepared = unsigned(prepared_.size());
    counts.identifyRequests = firmware_.IdentifyRequests();
    counts.acceptedRecords = firmware_.AcceptedRecords();
    counts.droppedRecords = firmware_.DroppedRecords();
    counts.flash = firmware_.Flash();
    counts.clockMs = clockMs_;
    return counts;
}

bool MidiService::RealTime() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return setup_.clock == SimClock::Real;
}

UINT MidiService::DeviceCount(bool input) const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return UINT((input ? setup_.inputs : setup_.outputs).size());
}

bool MidiService::DeviceName(bool input, UINT_PTR id, char (&name)[MAXPNAMELEN]) const
{
    std::lock_guard<std::mutex> lock(mutex_);
    const std::vector<std::string>& names = input ? setup_.inputs : setup_.outputs;
    if (id >= names.size()) return false;
    std::memset(name, 0, sizeof name);
    names[id].copy(name, sizeof name - 1);
    return true;
}

MidiService::Port* MidiService::FindLocked(uintptr_t handle, bool input)
{
    auto found = ports_.find(handle);
    return found != ports_.end() && found->second.input == input ? &found->second : nullptr;
}

bool MidiService::LeadsToController(const Port& port) const
{
    const std::vector<std::string>& names = port.input ? setup_.inputs : setup_.outputs;
    return names[port.device] == setup_.controllerName;
}

bool MidiService::DeviceBusyLocked(bool input, UINT id) const
{
    return std::any_of(ports_.begin(), ports_.end(), [&](const auto& entry) {
        return entry.second.input == input && entry.second.device == id;
    });
}

MMRESULT MidiService::OpenLocked(bool input, UINT id, MidiInProc callback, DWORD_PTR instance,
                                 DWORD flags, uintptr_t* handle)
{
    if (id >= (input ? setup_.inputs : setup_.outputs).size()) return MMSYSERR_BADDEVICEID;
    // Windows and event notification are not simulated; the tool uses neither.
    if (flags != CALLBACK_NULL && !(input && flags == CALLBACK_FUNCTION)) return MMSYSERR_INVALFLAG;
    if (Contains(input ? setup_.failingInputOpens : setup_.failingOutputOpens, id)) {
        return MMSYSERR_ALLOCATED;
    }
    if (DeviceBusyLocked(input, id)) return MMSYSERR_ALLOCATED;

    Port port;
    port.input = input;
    port.device = id;
    port.callback = flags == CALLBACK_FUNCTION ? callback : nullptr;
    port.instance = instance;
    *handle = nextHandle_++;
    ports_[*handle] = port;
    ++(input ? counts_.inputsOpened : counts_.outputsOpened);
    return MMSYSERR_NOERROR;
}

MMRESULT MidiService::InOpen(HMIDIIN* handle, UINT id, DWORD_PTR callback, DWORD_PTR instance,
                             DWORD flags)
{
    if (handle == nullptr) return MMSYSERR_INVALPARAM;
    uintptr_t opened = 0;
    Delivery notice;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        MMRESULT result = OpenLocked(true, id, reinterpret_cast<MidiInProc>(callback), instance,
                                     flags, &opened);
        if (result != MMSYSERR_NOERROR) return result;
        const Port& port = ports_[opened];
        notice = {port.callback, opened, port.instance, 0, 0};
    }
    *handle = reinterpret_cast<HMIDIIN>(opened);
    Notify(notice, MIM_OPEN);
    return MMSYSERR_NOERROR;
}

MMRESULT MidiService::OutOpen(HMIDIOUT* handle, UINT id, DWORD_PTR callback, DWORD_PTR instance,
                              DWORD flags)
{
    if (handle == nullptr) return MMSYSERR_INVALPARAM;
    std::lock_guard<std::mutex> lock(mutex_);
    uintptr_t opened = 0;
    MMRESULT result = OpenLocked(false, id, reinterpret_cast<MidiInProc>(callback), instance, flags,
                                 &opened);
    if (result == MMSYSERR_NOERROR) *handle = reinterpret_cast<HMIDIOUT>(opened);
    return result;
}

MMRESULT MidiService::PrepareHeader(uintptr_t handle, bool input, MIDIHDR* header, UINT size)
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (FindLocked(handle, input) == nullptr) return MMSYSERR_INVALHANDLE;
    if (!HeaderUsable(header, size)) return MMSYSERR_INVALPARAM;
    header->dwFlags |= MHDR_PREPARED;
    prepared_.insert(header);
    return MMSYSERR_NOERROR;
}

MMRESULT MidiService::UnprepareHeader(uintptr_t handle, bool input, MIDIHDR* header, UINT size)
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (FindLocked(handle, input) == nullptr) return MMSYSERR_INVALHANDLE;
    if (!HeaderUsable(header, size)) return MMSYSERR_INVALPARAM;
    if (!(header->dwFlags & MHDR_PREPARED)) return MMSYSERR_NOERROR;
    if (header->dwFlags & MHDR_INQUEUE) return MIDIERR_STILLPLAYING;
    if (!input && stillPlayingLeft_ > 0) {
        --stillPlayingLeft_;
        return MIDIERR_STILLPLAYING;
    }
    header->dwFlags &= ~DWORD(MHDR_PREPARED);
    prepared_.erase(header);
    return MMSYSERR_NOERROR;
}

MMRESULT MidiService::InAddBuffer(HMIDIIN handle, MIDIHDR* header, UINT size)
{
    std::lock_guard<std::mutex> lock(mutex_);
    Port* port = FindLocked(Value(handle), true);
    if (port == nullptr) return MMSYSERR_INVALHANDLE;
    if (!HeaderUsable(header, size) || header->dwBufferLength == 0) return MMSYSERR_INVALPARAM;
    if (!(header->dwFlags & MHDR_PREPARED)) return MIDIERR_UNPREPARED;
    if (header->dwFlags & MHDR_INQUEUE) return MIDIERR_STILLPLAYING;
    header->dwFlags = (header->dwFlags & ~DWORD(MHDR_DONE)) | MHDR_INQUEUE;
    header->dwBytesRecorded = 0;
    port->queue.push_back(header);
    return MMSYSERR_NOERROR;
}

MMRESULT MidiService::InStart(HMIDIIN handle)
{
    std::lock_guard<std::mutex> lock(mutex_);
    Port* port = FindLocked(Value(handle), true);
    if (port == nullptr) return MMSYSERR_INVALHANDLE;
    if (Contains(setup_.failingStarts, port->device)) return MMSYSERR_ERROR;
    if (!port->started) {
        port->startedAtMs = clockMs_;
        parser_ = MidiMessageReader();
    }
    port->started = true;
    return MMSYSERR_NOERROR;
}

MMRESULT MidiService::InStop(HMIDIIN handle)
{
    std::lock_guard<std::mutex> lock(mutex_);
    Port* port = FindLocked(Value(handle), true);
    if (port == nullptr) return MMSYSERR_INVALHANDLE;
    port->started = false;
    return MMSYSERR_NOERROR;
}

// Every queued buffer comes back through the callback, marked done, before this returns.
MMRESULT MidiService::InReset(HMIDIIN handle)
{
    std::vector<Delivery> returned;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        Port* port = FindLocked(Value(handle), true);
        if (port == nullptr) return MMSYSERR_INVALHANDLE;
        port->started = false;
        for (MIDIHDR* header : port->queue) {
            returned.push_back({port->callback, Value(handle), port->instance, DWORD_PTR(header), 0});
        }
        port->queue.clear();
    }
    thread_.Run([&] {
        for (const Delivery& delivery : returned) {
            {
                std::lock_guard<std::mutex> lock(mutex_);
                MIDIHDR* header = reinterpret_cast<MIDIHDR*>(delivery.param1);
                header->dwFlags = (header->dwFlags & ~DWORD(MHDR_INQUEUE)) | MHDR_DONE;
            }
            Notify(delivery, MIM_LONGDATA);
        }
    });
    return MMSYSERR_NOERROR;
}

MMRESULT MidiService::InClose(HMIDIIN handle)
{
    Delivery notice;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        Port* port = FindLocked(Value(handle), true);
        if (port == nullptr) return MMSYSERR_INVALHANDLE;
        if (!port->queue.empty()) return MIDIERR_STILLPLAYING;
        notice = {port->callback, Value(handle), port->instance, 0, 0};
        ports_.erase(Value(handle));
        ++counts_.inputsClosed;
    }
    Notify(notice, MIM_CLOSE);
    return MMSYSERR_NOERROR;
}

// A frame is done when this returns. Whatever the controller sent up to now reaches the host
// before the frame reaches the controller.
MMRESULT MidiService::OutLongMsg(HMIDIOUT handle, MIDIHDR* header, UINT size)
{
    std::vector<uint8_t> frame;
    std::vector<MidiMessage> due;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        Port* port = FindLocked(Value(handle), false);
        if (port == nullptr) return MMSYSERR_INVALHANDLE;
        if (!HeaderUsable(header, size)) return MMSYSERR_INVALPARAM;
        if (!(header->dwFlags & MHDR_PREPARED)) return MIDIERR_UNPREPARED;
        bool toController = LeadsToController(*port);
        if (toController && setup_.unplugAtFrame != 0 && ++controllerFrames_ >= setup_.unplugAtFrame) {
            unplugged_ = true;
        }
        if (toController && unplugged_) {
            ++counts_.failedSends;
            return MIDIERR_NODEVICE;
        }
        const uint8_t* data = reinterpret_cast<const uint8_t*>(header->lpData);
        frame.assign(data, data + header->dwBufferLength);
        counts_.framesSent.push_back(frame);
        header->dwFlags = (header->dwFlags & ~DWORD(MHDR_INQUEUE)) | MHDR_DONE;
        if (!toController) return MMSYSERR_NOERROR;
        due = TakeDueLocked();
    }
    Deliver(due);
    std::lock_guard<std::mutex> lock(mutex_);
    firmware_.Receive(frame, clockMs_);
    return MMSYSERR_NOERROR;
}

MMRESULT MidiService::OutReset(HMIDIOUT handle)
{
    std::lock_guard<std::mutex> lock(mutex_);
    return FindLocked(Value(handle), false) != nullptr ? MMSYSERR_NOERROR : MMSYSERR_INVALHANDLE;
}

MMRESULT MidiService::OutClose(HMIDIOUT handle)
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (FindLocked(Value(handle), false) == nullptr) return MMSYSERR_INVALHANDLE;
    ports_.erase(Value(handle));
    ++counts_.outputsClosed;
    return MMSYSERR_NOERROR;
}

CallbackThread::Ticket MidiService::Advance(uint32_t ms)
{
    std::lock_guard<std::mutex> lock(mutex_);
    clockMs_ += ms;
    ++counts_.sleeps;
    counts_.sleptMs += ms;
    std::optional<uint64_t> next = NextDueLocked();
    // A Sleep inside a callback only moves the clock: the thread cannot wait for itself.
    if (!next || *next > clockMs_ || thread_.IsCurrent()) return 0;
    return thread_.Post([this] { DeliverDue(); });
}

void MidiService::AwaitDelivery(CallbackThread::Ticket ticket)
{
    thread_.Await(ticket);
}

std::optional<uint64_t> MidiService::NextDueLocked() const
{
    std::optional<uint64_t> next = firmware_.NextDue();
    if (!strays_.empty() && (!next || strays_.front() < *next)) next = strays_.front();
    return next;
}

// The started input that leads to the controller, if any.
MidiService::Port* MidiService::ListeningLocked(uintptr_t* handle)
{
    for (auto& entry : ports_) {
        if (entry.second.input && entry.second.started && LeadsToController(entry.second)) {
            *handle = entry.first;
            return &entry.second;
        }
    }
    return nullptr;
}

// What reaches the host by now, read from the controller's bytes while an input listens to them
// (bytes sent to no listener are lost). An unplugged controller's bytes never arrive.
std::vector<MidiMessage> MidiService::TakeDueLocked()
{
    std::vector<MidiMessage> due;
    for (; !strays_.empty() && strays_.front() <= clockMs_; strays_.pop_front()) {
        due.push_back({true, true, {0xF0}, 0});
    }
    std::vector<std::vector<uint8_t>> sent = firmware_.TakeDue(clockMs_);
    if (unplugged_) return {};
    uintptr_t handle = 0;
    for (const std::vector<uint8_t>& bytes : sent) {
        if (ListeningLocked(&handle) == nullptr) {
            ++counts_.messagesDropped;
            continue;
        }
        for (MidiMessage& message : parser_.Feed(bytes.data(), bytes.size())) due.push_back(std::move(message));
    }
    return due;
}

void MidiService::DeliverDue()
{
    std::vector<MidiMessage> due;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        due = TakeDueLocked();
    }
    Deliver(due);
}

void MidiService::Deliver(const std::vector<MidiMessage>& messages)
{
    if (messages.empty()) return;
    thread_.Run([&] {
        for (const MidiMessage& message : messages) {
            if (!message.sysex) {
                DeliverShort(message.packed);
            } else {
                DeliverSysex(message);
            }
        }
    });
}

// Runs on the callback thread, as the ones below.
void MidiService::DeliverShort(DWORD packed)
{
    Delivery delivery;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        uintptr_t handle = 0;
        Port* port = ListeningLocked(&handle);
        if (port == nullptr) {
            ++counts_.messagesDropped;
            return;
        }
        delivery = {port->callback, handle, port->instance, packed,
                    DWORD_PTR(clockMs_ - port->startedAtMs)};
    }
    Notify(delivery, MIM_DATA);
}

// The bytes go into the first queued buffer and the buffer goes back to the host; a message
// longer than the buffer goes on in the next queued one, and only its last part can say that it
// was cut short.
void MidiService::DeliverSysex(const MidiMessage& message)
{
    const std::vector<uint8_t>& bytes = message.bytes;
    size_t offset = 0;
    while (offset < bytes.size()) {
        Delivery delivery;
        bool last = false;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            uintptr_t handle = 0;
            Port* port = ListeningLocked(&handle);
            if (port == nullptr || port->queue.empty()) {
                ++counts_.messagesDropped;
                return;
            }
            MIDIHDR* header = port->queue.front();
            port->queue.pop_front();
            size_t length = std::min<size_t>(bytes.size() - offset, header->dwBufferLength);
            std::memcpy(header->lpData, bytes.data() + offset, length);
            header->dwBytesRecorded = DWORD(length);
            header->dwFlags = (header->dwFlags & ~DWORD(MHDR_INQUEUE)) | MHDR_DONE;
            if (offset == 0 && message.complete) counts_.messagesDelivered.push_back(bytes);
            offset += length;
            last = offset == bytes.size();
            delivery = {port->callback, handle, port->instance, DWORD_PTR(header),
                        DWORD_PTR(clockMs_ - port->startedAtMs)};
        }
        Notify(delivery, last && !message.complete ? UINT(MIM_LONGERROR) : UINT(MIM_LONGDATA));
    }
}

// Calls the host's callback on the callback thread, never holding the service's lock: the
// callback may call back in (to queue its buffer again).
void MidiService::Notify(const Delivery& delivery, UINT message)
{
    if (delivery.callback == nullptr) return;
    thread_.Run([&] {
        SimulatorScope host(false);
        delivery.callback(reinterpret_cast<HMIDIIN>(delivery.handle), message, delivery.instance,
                          delivery.param1, delivery.timestamp);
    });
}
