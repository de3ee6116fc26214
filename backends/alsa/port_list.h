// Which MIDI ports the rawmidi devices of all cards offer in one direction, and their names.
#pragma once

#include <string>
#include <vector>

// One rawmidi device as its card describes it for one direction.
struct RawmidiDevice {
    int card;
    int device;
    std::string name;
    std::vector<std::string> subdeviceNames;  // one per subdevice, empty when unnamed
};

struct MidiPort {
    std::string address;  // what to open: "hw:CARD,DEVICE" or "hw:CARD,DEVICE,SUBDEVICE"
    std::string name;     // at most 31 characters, as a capability record holds it
};

// Every named subdevice is a port of its own (each jack of a USB interface has one); a device
// whose first subdevice has no name is a single port, however many subdevices it has, and is
// opened on whichever of them is free.
std::vector<MidiPort> ListMidiPorts(const std::vector<RawmidiDevice>& devices);
