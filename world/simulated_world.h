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
    // The ports listed now, by name, in the order the computer lists them.
    const std::vector<std::string>& Ports(bool input) const;
    // Each listed port's own number, never given again: a port that leaves and comes back is a new
    // port, at the end of the list. Where a key is listed now, if it still is.
    uint64_t PortKey(bool input, size_t port) const;
    std::optional<size_t> PortListed(bool input, uint64_t key) const;
    // Moves the controllers' restarts and plug-ins on to `nowMs`: the ports of one that left are
    // no longer listed, those of one that came back are listed anew. True when the lists changed.
    bool MoveTo(uint64_t nowMs);
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

    // What the controllers send by `nowMs`, each for the input of its name. A controller whose
    // last answer leaves now may leave with it: MoveTo then takes its ports off the lists.
    std::vector<WorldMessage> TakeDue(uint64_t nowMs);
    std::optional<uint64_t> NextDue() const;
    // How long a transport may wait before a message is due or a controller moves (at most
    // `limitMs`).
    int WaitMs(uint64_t nowMs, int limitMs) const;

    // The frames that reached a port and the first controller's side.
    void Report(RunCounts& counts) const;

private:
    struct Behind {
        std::string name;
        ControllerSession session;
        unsigned listedAppearance = 1;  // the appearance whose ports are listed; 0: none
        size_t inputs = 0;              // how many ports of each direction it has
        size_t outputs = 0;
    };
    void Unlist(const std::string& name);
    void List(const Behind& controller);

    MidiDevices devices_;
    std::vector<uint64_t> inputKeys_;
    std::vector<uint64_t> outputKeys_;
    uint64_t nextKey_ = 0;
    std::vector<Behind> controllers_;
    std::vector<std::vector<uint8_t>> framesSent_;
    uint64_t failedSends_ = 0;
    uint64_t foreignFrames_ = 0;
};
