#include "tools/common/device_session.h"

#include <algorithm>
#include <stdexcept>

namespace {

const SimSetup& CheckedForLink(const SimSetup& setup)
{
    const SimSetup defaults;
    if (setup.clock != defaults.clock) throw std::invalid_argument("clock: the link has real time only");
    if (setup.inputs != defaults.inputs || setup.outputs != defaults.outputs ||
        setup.controllerName != defaults.controllerName || !setup.loops.empty() ||
        !setup.otherControllers.empty()) {
        throw std::invalid_argument("in, out, controller, loop, second, preset: the link's devices are the system's");
    }
    if (!setup.failingInputOpens.empty() || !setup.failingOutputOpens.empty() ||
        !setup.failingStarts.empty() || !setup.failingAddBuffers.empty() || setup.stillPlayingUnprepares != 0 ||
        !setup.strayAtMs.empty()) {
        throw std::invalid_argument("fail-open, fail-start, fail-add-buffer, still-playing, stray: not on a real link");
    }
    // The host's stalls are the host's own: a device cannot make them, and ignoring one would
    // pass a scenario that never ran.
    if (!setup.stalls.empty()) throw std::invalid_argument("stall: the host's pace is not the device's to set");
    return setup;
}

}  // namespace

DeviceSession::DeviceSession(const SimSetup& setup)
    : firmware_(CheckedForLink(setup).firmware), unplugAtFrame_(setup.unplugAtFrame)
{
}

bool DeviceSession::Receive(const std::vector<uint8_t>& sysex, uint64_t nowMs)
{
    if (vanished_) return false;
    if (unplugAtFrame_ != 0 && received_.size() + 1 >= unplugAtFrame_) {
        vanished_ = true;
        return false;
    }
    received_.push_back(sysex);
    if (answeredAtMs_) roundTripsMs_.push_back(nowMs - *answeredAtMs_);
    answeredAtMs_.reset();
    firmware_.Receive(sysex, nowMs);
    return true;
}

std::vector<std::vector<uint8_t>> DeviceSession::TakeDue(uint64_t nowMs)
{
    if (vanished_) return {};
    std::vector<std::vector<uint8_t>> due = firmware_.TakeDue(nowMs);
    sent_.insert(sent_.end(), due.begin(), due.end());
    if (!due.empty()) answeredAtMs_ = nowMs;
    return due;
}

int DeviceSession::WaitMs(uint64_t nowMs, int limitMs) const
{
    std::optional<uint64_t> next = firmware_.NextDue();
    if (!next) return limitMs;
    if (*next <= nowMs) return 0;
    return int(std::min<uint64_t>(*next - nowMs, uint64_t(limitMs)));
}

SimCounts DeviceSession::Counts() const
{
    SimCounts counts;
    counts.framesSent = received_;
    counts.messagesDelivered = sent_;
    counts.identifyRequests = firmware_.IdentifyRequests();
    counts.acceptedRecords = firmware_.AcceptedRecords();
    counts.droppedRecords = firmware_.DroppedRecords();
    counts.flash = firmware_.Flash();
    return counts;
}
