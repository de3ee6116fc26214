#include "controller/device_firmware.h"

#include <algorithm>

namespace {

const std::vector<uint8_t> IDENTIFY_REQUEST = {0xF0, 0x35, 0x62, 0x0E, 0x71, 0x48, 0x13, 0x59, 0xF7};
const uint8_t RECORD_OK = 0x1A;
const uint8_t CHECKSUM_ERROR = 0x20;
const uint8_t DAMAGED = 0x21;
const uint8_t RESETTING = 0x15;
const uint8_t COMPLETE = 0x77;

bool ChecksumHolds(const std::vector<uint8_t>& record)
{
    uint16_t sum = 0;
    size_t checksumAt = record.size() - 2;
    for (size_t i = 2; i < checksumAt; ++i) sum = uint16_t(sum + record[i]);
    return uint16_t(sum + record[checksumAt] + (record[checksumAt + 1] << 8)) == 0;
}

}  // namespace

bool IsIdentifyRequest(const std::vector<uint8_t>& sysex)
{
    return sysex == IDENTIFY_REQUEST;
}

DeviceFirmware::DeviceFirmware(FirmwareSetup setup)
    : setup_(std::move(setup)), assembler_(setup_.resyncGapMs), busyUntilMs_(setup_.restartingUntilMs)
{
    for (const ScheduledMessage& message : setup_.scheduled) Send(message.bytes, message.atMs, false);
}

void DeviceFirmware::Receive(const std::vector<uint8_t>& sysex, uint64_t nowMs)
{
    ReleaseHeld(nowMs);
    if (IsIdentifyRequest(sysex)) {
        AnswerIdentification(nowMs);
        return;
    }
    std::optional<std::vector<uint8_t>> bytes = DecodeDataFrame(sysex);
    if (!bytes || restarting_ || nowMs < busyUntilMs_) return;
    for (const std::vector<uint8_t>& record : assembler_.Add(*bytes, nowMs)) TakeRecord(record, nowMs);
}

void DeviceFirmware::AnswerIdentification(uint64_t nowMs)
{
    ++identifyRequests_;
    if (identifyRequests_ <= setup_.silentIdentifications) return;
    uint8_t code = restarting_ || nowMs < busyUntilMs_ ? RESETTING : setup_.model;
    Send({0xF0, code, 0xF7}, nowMs + setup_.replyDelayMs, false);
}

void DeviceFirmware::TakeRecord(const std::vector<uint8_t>& record, uint64_t nowMs)
{
    if (restarting_) return;
    ++attempt_;
    if (const AttemptRule* before = FindRule(AttemptFault::Before)) Send(before->bytes, nowMs, false);
    bool silent = FindRule(AttemptFault::Silent) ||
                  (setup_.silentFromRecord != 0 && accepted_ + 1 >= setup_.silentFromRecord);
    if (silent) return;

    const AttemptRule* scripted = FindRule(AttemptFault::Reply);
    uint8_t code = scripted ? scripted->code : OwnAnswer(record);
    bool late = FindRule(AttemptFault::Late) != nullptr;
    const AttemptRule* slow = FindRule(AttemptFault::Slow);
    uint32_t delayMs = slow ? slow->delayMs : setup_.replyDelayMs;
    if (code == RECORD_OK || code == COMPLETE) {
        flash_.insert(flash_.end(), record.begin(), record.end());
        ++accepted_;
        attempt_ = 0;
    }
    if (code == COMPLETE) restarting_ = true;
    Send({0xF0, code, 0xF7}, nowMs + delayMs, late);
}

uint8_t DeviceFirmware::OwnAnswer(const std::vector<uint8_t>& record) const
{
    if (record.size() < 4) return DAMAGED;
    if (!ChecksumHolds(record)) return CHECKSUM_ERROR;
    bool completes = setup_.firmwareSize != 0 && flash_.size() + record.size() >= setup_.firmwareSize;
    return completes ? COMPLETE : RECORD_OK;
}

// Rules apply to the attempt in progress: record accepted_ + 1, attempt attempt_.
const AttemptRule* DeviceFirmware::FindRule(AttemptFault fault) const
{
    for (const AttemptRule& rule : setup_.attemptRules) {
        if (rule.fault == fault && rule.records.Contains(accepted_ + 1) && rule.attempts.Contains(attempt_)) {
            return &rule;
        }
    }
    return nullptr;
}

void DeviceFirmware::Send(std::vector<uint8_t> bytes, uint64_t dueMs, bool held)
{
    outgoing_.push_back({dueMs, nextSequence_++, held, std::move(bytes)});
}

void DeviceFirmware::Restart(uint64_t busyUntilMs)
{
    assembler_.Forget();
    outgoing_.clear();
    attempt_ = 0;
    restarting_ = false;
    busyUntilMs_ = busyUntilMs;
}

// A held-back answer leaves once the host speaks again, ahead of anything this frame causes.
void DeviceFirmware::ReleaseHeld(uint64_t nowMs)
{
    for (Outgoing& message : outgoing_) {
        if (message.held) {
            message.held = false;
            message.dueMs = nowMs;
        }
    }
}

std::vector<std::vector<uint8_t>> DeviceFirmware::TakeDue(uint64_t nowMs)
{
    std::stable_sort(outgoing_.begin(), outgoing_.end(), [](const Outgoing& a, const Outgoing& b) {
        return a.dueMs != b.dueMs ? a.dueMs < b.dueMs : a.sequence < b.sequence;
    });
    std::vector<std::vector<uint8_t>> due;
    auto keep = std::stable_partition(outgoing_.begin(), outgoing_.end(), [&](const Outgoing& message) {
        return message.held || message.dueMs > nowMs;
    });
    for (auto it = keep; it != outgoing_.end(); ++it) due.push_back(std::move(it->bytes));
    outgoing_.erase(keep, outgoing_.end());
    return due;
}

std::optional<uint64_t> DeviceFirmware::NextDue() const
{
    std::optional<uint64_t> next;
    for (const Outgoing& message : outgoing_) {
        if (!message.held && (!next || message.dueMs < *next)) next = message.dueMs;
    }
    return next;
}
