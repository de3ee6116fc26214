#include "controller/controller_session.h"

#include <algorithm>

ControllerSession::ControllerSession(const ControllerSetup& setup, bool keepsLog)
    : firmware_(setup.firmware), unplugAtFrame_(setup.unplugAtFrame), keepsLog_(keepsLog)
{
}

bool ControllerSession::Arrives()
{
    ++framesArrived_;
    if (unplugAtFrame_ != 0 && framesArrived_ >= unplugAtFrame_) vanished_ = true;
    return !vanished_;
}

void ControllerSession::Take(const std::vector<uint8_t>& sysex, uint64_t nowMs)
{
    if (keepsLog_) {
        received_.push_back(sysex);
        if (answeredAtMs_) roundTripsMs_.push_back(nowMs - *answeredAtMs_);
    }
    answeredAtMs_.reset();
    firmware_.Receive(sysex, nowMs);
}

bool ControllerSession::Receive(const std::vector<uint8_t>& sysex, uint64_t nowMs)
{
    if (!Arrives()) return false;
    Take(sysex, nowMs);
    return true;
}

std::vector<std::vector<uint8_t>> ControllerSession::TakeDue(uint64_t nowMs)
{
    if (vanished_) return {};
    std::vector<std::vector<uint8_t>> due = firmware_.TakeDue(nowMs);
    if (keepsLog_) sent_.insert(sent_.end(), due.begin(), due.end());
    if (!due.empty()) answeredAtMs_ = nowMs;
    return due;
}

std::optional<uint64_t> ControllerSession::NextDue() const
{
    if (vanished_) return std::nullopt;
    return firmware_.NextDue();
}

int ControllerSession::WaitMs(uint64_t nowMs, int limitMs) const
{
    std::optional<uint64_t> next = NextDue();
    if (!next) return limitMs;
    if (*next <= nowMs) return 0;
    return int(std::min<uint64_t>(*next - nowMs, uint64_t(limitMs)));
}
