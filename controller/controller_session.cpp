#include "controller/controller_session.h"

#include <algorithm>

ControllerSession::ControllerSession(const ControllerSetup& setup, bool keepsLog)
    : firmware_(setup.firmware),
      unplugAtFrame_(setup.unplugAtFrame),
      restart_(setup.restart),
      restartAtMs_(setup.restartAtMs),
      away_(setup.plugInAtMs != 0),
      awayUntilMs_(setup.plugInAtMs),
      appearances_(away_ ? 0 : 1),
      keepsLog_(keepsLog)
{
}

bool ControllerSession::Arrives()
{
    ++framesArrived_;
    if (unplugAtFrame_ != 0 && framesArrived_ >= unplugAtFrame_) vanished_ = true;
    return !vanished_ && !away_;
}

bool ControllerSession::Away(uint64_t nowMs)
{
    if (restartAtMs_ != 0 && !restartedAtTime_ && nowMs >= restartAtMs_) {
        restartedAtTime_ = true;
        Leave(restartAtMs_);
    }
    if (away_ && nowMs >= awayUntilMs_) {
        away_ = false;
        ++appearances_;
    }
    return away_;
}

std::optional<uint64_t> ControllerSession::NextMove() const
{
    if (vanished_) return std::nullopt;
    if (away_) return awayUntilMs_;
    if (restartAtMs_ != 0 && !restartedAtTime_) return restartAtMs_;
    return std::nullopt;
}

// Its ports go, and it comes back with its firmware started afresh.
void ControllerSession::Leave(uint64_t nowMs)
{
    away_ = true;
    awayUntilMs_ = nowMs + restart_.awayMs;
    firmware_.Restart(awayUntilMs_ + restart_.busyMs);
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
    if (vanished_ || away_) return {};
    std::vector<std::vector<uint8_t>> due = firmware_.TakeDue(nowMs);
    if (keepsLog_) sent_.insert(sent_.end(), due.begin(), due.end());
    if (!due.empty()) answeredAtMs_ = nowMs;
    // Once its answer that it has the whole firmware has left, it restarts with it.
    const std::vector<uint8_t> complete = {0xF0, 0x77, 0xF7};
    if (restart_.enabled && std::find(due.begin(), due.end(), complete) != due.end()) Leave(nowMs);
    return due;
}

std::optional<uint64_t> ControllerSession::NextDue() const
{
    if (vanished_ || away_) return std::nullopt;
    return firmware_.NextDue();
}

int ControllerSession::WaitMs(uint64_t nowMs, int limitMs) const
{
    std::optional<uint64_t> next = NextDue();
    std::optional<uint64_t> move = NextMove();
    if (!next || (move && *move < *next)) next = move;
    if (!next) return limitMs;
    if (*next <= nowMs) return 0;
    return int(std::min<uint64_t>(*next - nowMs, uint64_t(limitMs)));
}
