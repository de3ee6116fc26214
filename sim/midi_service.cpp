#include "sim/midi_service.h"

#include "platform/midi_header.h"
#include "sim/inside_simulator.h"

#include <algorithm>
#include <cstring>

namespace {

bool Contains(const std::vector<uint32_t>& numbers, UINT n)
{
    return std::find(numbers.begin(), numbers.end(), n) != numbers.end();
}

void MarkDone(MIDIHDR* header)
{
    header->dwFlags = (header->dwFlags & ~DWORD(MHDR_INQUEUE)) | MHDR_DONE;
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
    reader_ = MidiMessageReader();
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

MidiService::Port* MidiService::FindLocked(PortId id)
{
    auto found = ports_.find(id);
    return found != ports_.end() ? &found->second : nullptr;
}

bool MidiService::LeadsToController(const Port& port) const
{
    const std::vector<std::string>& names = port.input ? setup_.inputs : setup_.outputs;
    return names[port.device] == setup_.controllerName;
}

MMRESULT MidiService::Open(bool input, UINT device, MidiInCallback callback, DWORD_PTR instance,
                           HMIDIIN handle, PortId* id)
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (device >= (input ? setup_.inputs : setup_.outputs).size()) return MMSYSERR_BADDEVICEID;
    if (Contains(input ? setup_.failingInputOpens : setup_.failingOutputOpens, device)) {
        return MMSYSERR_ALLOCATED;
    }
    bool busy = std::any_of(ports_.begin(), ports_.end(), [&](const auto& entry) {
        return entry.second.input == input && entry.second.device == device;
    });
    if (busy) return MMSYSERR_ALLOCATED;

    Port& port = ports_[*id = nextId_++];
    port.input = input;
    port.device = device;
    port.callback = callback;
    port.handle = handle;
    port.instance = instance;
    ++(input ? counts_.inputsOpened : counts_.outputsOpened);
    return MMSYSERR_NOERROR;
}

void MidiService::Close(PortId id)
{
    std::lock_guard<std::mutex> lock(mutex_);
    auto found = ports_.find(id);
    if (found == ports_.end()) return;
    ++(found->second.input ? counts_.inputsClosed : counts_.outputsClosed);
    ports_.erase(found);
}

MMRESULT MidiService::Prepare(PortId id, MIDIHDR* header, UINT size)
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (FindLocked(id) == nullptr) return MMSYSERR_INVALHANDLE;
    MMRESULT result = PrepareHeader(header, size);
    if (result == MMSYSERR_NOERROR) prepared_.insert(header);
    return result;
}

MMRESULT MidiService::Unprepare(PortId id, MIDIHDR* header, UINT size)
{
    std::lock_guard<std::mutex> lock(mutex_);
    Port* port = FindLocked(id);
    if (port == nullptr) return MMSYSERR_INVALHANDLE;
    if (!port->input && stillPlayingLeft_ > 0 && IsHeaderUsable(header, size) &&
        (header->dwFlags & MHDR_PREPARED)) {
        --stillPlayingLeft_;
        return MIDIERR_STILLPLAYING;
    }
    MMRESULT result = UnprepareHeader(header, size);
    if (result == MMSYSERR_NOERROR) prepared_.erase(header);
    return result;
}

MMRESULT MidiService::AddBuffer(PortId id, MIDIHDR* header, UINT size)
{
    std::lock_guard<std::mutex> lock(mutex_);
    Port* port = FindLocked(id);
    if (port == nullptr) return MMSYSERR_INVALHANDLE;
    MMRESULT result = QueueHeader(header, size);
    if (result == MMSYSERR_NOERROR) port->queue.push_back(header);
    return result;
}

MMRESULT MidiService::Start(PortId id)
{
    std::lock_guard<std::mutex> lock(mutex_);
    Port* port = FindLocked(id);
    if (port == nullptr) return MMSYSERR_INVALHANDLE;
    if (Contains(setup_.failingStarts, port->device)) return MMSYSERR_ERROR;
    if (!port->started) {
        port->startedAtMs = clockMs_;
        reader_ = MidiMessageReader();
    }
    port->started = true;
    return MMSYSERR_NOERROR;
}

// Messages are delivered whole, so no buffer ever holds part of one to hand back here.
MMRESULT MidiService::Stop(PortId id)
{
    std::lock_guard<std::mutex> lock(mutex_);
    Port* port = FindLocked(id);
    if (port == nullptr) return MMSYSERR_INVALHANDLE;
    port->started = false;
    return MMSYSERR_NOERROR;
}

// Every queued buffer comes back through the callback, marked done, before this returns.
MMRESULT MidiService::Reset(PortId id)
{
    std::vector<Delivery> returned;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        Port* port = FindLocked(id);
        if (port == nullptr) return MMSYSERR_INVALHANDLE;
        port->started = false;
        for (MIDIHDR* header : port->queue) returned.push_back(DeliveryLocked(*port, DWORD_PTR(header)));
        port->queue.clear();
    }
    thread_.Run([&] {
        for (const Delivery& delivery : returned) {
            {
                std::lock_guard<std::mutex> lock(mutex_);
                MarkDone(reinterpret_cast<MIDIHDR*>(delivery.param1));
            }
            Notify(delivery, MIM_LONGDATA);
        }
    });
    return MMSYSERR_NOERROR;
}

bool MidiService::HasQueuedHeaders(PortId id)
{
    std::lock_guard<std::mutex> lock(mutex_);
    Port* port = FindLocked(id);
    return port != nullptr && !port->queue.empty();
}

void MidiService::Notify(PortId id, UINT message)
{
    Delivery notice;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        Port* port = FindLocked(id);
        if (port == nullptr) return;
        notice = DeliveryLocked(*port, 0);
    }
    Notify(notice, message);
}

// A frame is done when this returns. Whatever the controller sent up to now reaches the host
// before the frame reaches the controller.
MMRESULT MidiService::LongMsg(PortId id, MIDIHDR* header)
{
    std::vector<uint8_t> frame;
    std::vector<MidiMessage> due;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        Port* port = FindLocked(id);
        if (port == nullptr) return MMSYSERR_INVALHANDLE;
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
        MarkDone(header);
        if (!toController) return MMSYSERR_NOERROR;
        due = TakeDueLocked();
    }
    Deliver(due);
    std::lock_guard<std::mutex> lock(mutex_);
    firmware_.Receive(frame, clockMs_);
    return MMSYSERR_NOERROR;
}

MMRESULT MidiService::OutReset(PortId id)
{
    std::lock_guard<std::mutex> lock(mutex_);
    return FindLocked(id) != nullptr ? MMSYSERR_NOERROR : MMSYSERR_INVALHANDLE;
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
MidiService::Port* MidiService::ListeningLocked()
{
    for (auto& entry : ports_) {
        if (entry.second.input && entry.second.started && LeadsToController(entry.second)) {
            return &entry.second;
        }
    }
    return nullptr;
}

MidiService::Delivery MidiService::DeliveryLocked(const Port& port, DWORD_PTR param1) const
{
    return {port.callback, port.handle, port.instance, param1, 0};
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
    for (const std::vector<uint8_t>& bytes : sent) {
        if (ListeningLocked() == nullptr) {
            ++counts_.messagesDropped;
            continue;
        }
        for (MidiMessage& message : reader_.Feed(bytes.data(), bytes.size())) {
            due.push_back(std::move(message));
        }
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
            if (message.sysex) {
                DeliverSysex(message);
            } else {
                DeliverShort(message.packed);
            }
        }
    });
}

// Runs on the callback thread, as the ones below.
void MidiService::DeliverShort(uint32_t packed)
{
    Delivery delivery;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        Port* port = ListeningLocked();
        if (port == nullptr) {
            ++counts_.messagesDropped;
            return;
        }
        delivery = DeliveryLocked(*port, packed);
        delivery.timestamp = DWORD_PTR(clockMs_ - port->startedAtMs);
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
            Port* port = ListeningLocked();
            if (port == nullptr || port->queue.empty()) {
                ++counts_.messagesDropped;
                return;
            }
            MIDIHDR* header = port->queue.front();
            // Written from where the queued header says it is filled to, as every backend does.
            size_t room = header->dwBufferLength - std::min(header->dwBytesRecorded, header->dwBufferLength);
            size_t length = std::min(bytes.size() - offset, room);
            if (length == 0) {  // a header queued full: the rules that queued it are wrong
                ++counts_.messagesDropped;
                return;
            }
            port->queue.pop_front();
            std::memcpy(header->lpData + header->dwBytesRecorded, bytes.data() + offset, length);
            header->dwBytesRecorded += DWORD(length);
            MarkDone(header);
            if (offset == 0 && message.complete) counts_.messagesDelivered.push_back(bytes);
            offset += length;
            last = offset == bytes.size();
            delivery = DeliveryLocked(*port, DWORD_PTR(header));
            delivery.timestamp = DWORD_PTR(clockMs_ - port->startedAtMs);
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
        delivery.callback(delivery.handle, message, delivery.instance, delivery.param1,
                          delivery.timestamp);
    });
}
