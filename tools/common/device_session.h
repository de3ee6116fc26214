#pragma once

#include "sim/device_firmware.h"
#include "sim/sim_counts.h"
#include "sim/sim_setup.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// The simulated controller as one process carries it across a real MIDI link: the same firmware
// as in the simulated service, the frames it received and the messages it sent, and its unplug.
// The transport supplies the clock.
class DeviceSession {
public:
    // Takes a setup read from a simulation script; throws std::invalid_argument for what only
    // the simulated service can do (its device lists, its clock, failing opens and sends, the
    // host's stalls).
    explicit DeviceSession(const SimSetup& setup);

    // One SysEx from the host. False when it is the frame the controller vanishes at: it is not
    // taken, and the controller answers nothing more.
    bool Receive(const std::vector<uint8_t>& sysex, uint64_t nowMs);
    // What the controller sends by `nowMs`.
    std::vector<std::vector<uint8_t>> TakeDue(uint64_t nowMs);
    // How long the transport may wait for the host before something is due (at most `limitMs`).
    int WaitMs(uint64_t nowMs, int limitMs) const;
    bool Vanished() const { return vanished_; }

    // The run report in the simulated service's format, with the controller's side filled in.
    SimCounts Counts() const;
    // For each answer the host went on after: ms from the answer leaving to the host's next frame
    // arriving, the round trip that the host's wait for an answer must cover.
    const std::vector<uint64_t>& RoundTripsMs() const { return roundTripsMs_; }

private:
    DeviceFirmware firmware_;
    uint32_t unplugAtFrame_;
    bool vanished_ = false;
    std::vector<std::vector<uint8_t>> received_;
    std::vector<std::vector<uint8_t>> sent_;
    std::optional<uint64_t> answeredAtMs_;
    std::vector<uint64_t> roundTripsMs_;
};
