#pragma once

#include "controller/controller_session.h"
#include "world/midi_devices.h"
#include "world/run_counts.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// A message on its way to the input of this name: from controller `controller`, or (-1) from a
// loopback or an answering device.
struct WorldMessage {
    std::string input;
    std::vector<uint8_t> bytes;
    int controller = -1;
};

// A simulated computer's MIDI devices and what is behind each port: the controllers, loopbacks,
// devices that answer and devices that ignore SysEx; which frame reached which port, and the
// unplug. The same behind the simulated service and the page's stand-in Web MIDI: each carries
// the frames and messages as its transport does, on its own clock.
class SimulatedWorld {
public:
    SimulatedWorld();
    explicit SimulatedWorld(const MidiDevices& devices, const ControllerSetup& first);

    const MidiDevices& Devices() const { return devices_; }
    const std::vector<std::string>& Ports(bool input) const;
    bool OpenFails(bool input, size_t port) const;
    // The controller behind a port: its index, -1 for none. The first is the one that the report,
    // the unplug and the script's faults are about.
    int ControllerBehind(bool input, size_t port) const;
    ControllerSession& Controller(int index) { return controllers_[size_t(index)].session; }
    // Whether the port is there: the ports of an unplugged controller's name are gone.
    bool Connected(bool input, size_t port) const;

    // A frame from the host to `output`, in three steps that a transport can do things between:
    // whether it reaches the device (false from the frame that unplugs the controller on: a
    // failed send); then it is counted, and what loopbacks and answering devices send back at once
    // is returned; then the controller behind the port, if any, takes it at `nowMs`.
    bool Reaches(size_t output);
    std::vector<WorldMessage> Carry(size_t output, const std::vector<uint8_t>& frame);
    void Take(size_t output, const std::vector<uint8_t>& frame, uint64_t nowMs);

    // What the controllers send by `nowMs`, each for the input of its name.
    std::vector<WorldMessage> TakeDue(uint64_t nowMs);
    std::optional<uint64_t> NextDue() const;
    // How long a transport may wait before a message is due (at most `limitMs`).
    int WaitMs(uint64_t nowMs, int limitMs) const;

    // The frames that reached a port and the first controller's side.
    void Report(RunCounts& counts) const;

private:
    struct Behind {
        std::string name;
        ControllerSession session;
    };
    MidiDevices devices_;
    std::vector<Behind> controllers_;
    std::vector<std::vector<uint8_t>> framesSent_;
    uint64_t failedSends_ = 0;
    uint64_t foreignFrames_ = 0;
};
