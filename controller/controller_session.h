#pragma once

#include "controller/controller_setup.h"
#include "controller/device_firmware.h"

#include <cstdint>
#include <optional>
#include <vector>

// One controller as a transport carries it: its firmware, the frames it received and the messages
// it sent, and its unplug. The transport supplies the clock: the simulated service's, or a device
// program's across a real MIDI link.
class ControllerSession {
public:
    // A transport that keeps its own record of the frames and messages asks for no log.
    explicit ControllerSession(const ControllerSetup& setup, bool keepsLog = true);

    // The host's next frame reaches the controller; false from the frame it is unplugged at on,
    // after which it answers nothing more.
    bool Arrives();
    // That frame, a SysEx from the host, as the controller takes it.
    void Take(const std::vector<uint8_t>& sysex, uint64_t nowMs);
    // Both at once, for a transport with nothing to do between them.
    bool Receive(const std::vector<uint8_t>& sysex, uint64_t nowMs);
    // What the controller sends by `nowMs`.
    std::vector<std::vector<uint8_t>> TakeDue(uint64_t nowMs);
    // When its next message is due; nothing when none is waiting.
    std::optional<uint64_t> NextDue() const;
    // How long the transport may wait for the host before something is due or the controller
    // moves (at most `limitMs`).
    int WaitMs(uint64_t nowMs, int limitMs) const;
    bool Vanished() const { return vanished_; }
    // Whether the controller is away at `nowMs`: restarting, or not plugged in yet. Its ports are
    // not listed, a frame to it does not arrive, and it sends nothing. Moves its restarts on to
    // `nowMs`; a transport asks before anything else at that time.
    bool Away(uint64_t nowMs);
    // How many times its ports have appeared: each time it is a new device to the host.
    unsigned Appearances() const { return appearances_; }
    // When it next leaves or comes back, if it is to.
    std::optional<uint64_t> NextMove() const;
    unsigned FramesArrived() const { return framesArrived_; }

    const DeviceFirmware& Firmware() const { return firmware_; }
    // The frames it received and the messages it sent (none without the log).
    const std::vector<std::vector<uint8_t>>& Received() const { return received_; }
    const std::vector<std::vector<uint8_t>>& Sent() const { return sent_; }
    // For each answer the host went on after: ms from the answer leaving to the host's next frame
    // arriving, the round trip that the host's wait for an answer must cover.
    const std::vector<uint64_t>& RoundTripsMs() const { return roundTripsMs_; }

private:
    void Leave(uint64_t nowMs);

    DeviceFirmware firmware_;
    uint32_t unplugAtFrame_;
    RestartSetup restart_;
    uint32_t restartAtMs_;
    bool restartedAtTime_ = false;
    bool away_;
    uint64_t awayUntilMs_;
    unsigned appearances_;
    bool keepsLog_;
    unsigned framesArrived_ = 0;
    bool vanished_ = false;
    std::vector<std::vector<uint8_t>> received_;
    std::vector<std::vector<uint8_t>> sent_;
    std::optional<uint64_t> answeredAtMs_;
    std::vector<uint64_t> roundTripsMs_;
};
