#pragma once

#include "controller/firmware_setup.h"
#include "controller/record_assembler.h"

#include <cstdint>
#include <optional>
#include <vector>

// Whether a SysEx (F0 to F7) is the host's identification request.
bool IsIdentifyRequest(const std::vector<uint8_t>& sysex);

// The controller's update firmware, as the device runs it: it answers identification with its
// model, takes records sent as hex text frames, checks each record's checksum, keeps the good
// ones in its flash and answers every record with a one-byte code. Times are the device's clock
// in ms, supplied by whoever carries the messages.
class DeviceFirmware {
public:
    explicit DeviceFirmware(FirmwareSetup setup = {});

    // One SysEx from the host, F0 to F7 included.
    void Receive(const std::vector<uint8_t>& sysex, uint64_t nowMs);
    // The SysEx messages the device sends by `nowMs`, in the order they leave it.
    std::vector<std::vector<uint8_t>> TakeDue(uint64_t nowMs);
    // When the next message is due; nothing when none is waiting (or only held-back ones).
    std::optional<uint64_t> NextDue() const;

    // The accepted records, laid end to end as the image holds them.
    const std::vector<uint8_t>& Flash() const { return flash_; }
    unsigned AcceptedRecords() const { return accepted_; }
    unsigned IdentifyRequests() const { return identifyRequests_; }
    unsigned DroppedRecords() const { return assembler_.DroppedRecords(); }
    // After answering 0x77 the device restarts: it answers identification with 0x15 and takes
    // no more records.
    bool Restarting() const { return restarting_; }
    // Starts the firmware afresh, as the device does when it restarts: what it was receiving or
    // about to send is gone, its flash stays, and it answers identification 0x15 until
    // `busyUntilMs`.
    void Restart(uint64_t busyUntilMs);
    const FirmwareSetup& Setup() const { return setup_; }

private:
    struct Outgoing {
        uint64_t dueMs;
        uint64_t sequence;
        bool held;
        std::vector<uint8_t> bytes;
    };

    void AnswerIdentification(uint64_t nowMs);
    void TakeRecord(const std::vector<uint8_t>& record, uint64_t nowMs);
    uint8_t OwnAnswer(const std::vector<uint8_t>& record) const;
    const AttemptRule* FindRule(AttemptFault fault) const;
    void Send(std::vector<uint8_t> bytes, uint64_t dueMs, bool held);
    void ReleaseHeld(uint64_t nowMs);

    FirmwareSetup setup_;
    RecordAssembler assembler_;
    std::vector<uint8_t> flash_;
    std::vector<Outgoing> outgoing_;
    uint64_t nextSequence_ = 0;
    unsigned accepted_ = 0;
    unsigned attempt_ = 0;
    unsigned identifyRequests_ = 0;
    bool restarting_ = false;
    uint64_t busyUntilMs_;
};
