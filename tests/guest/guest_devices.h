#pragma once

#include <string>
#include <vector>

// The devices of a guest scenario (the devices column of scripts/guest/scenarios.txt), and the
// ports a program in the guest lists for them.

enum class GuestDevice {
    Controller,  // a USB device carrying the controller
    Keys,        // a USB device of another maker that answers no SysEx
    Through,     // the sequencer's own loopback port, "Midi Through"
};

// "controller,keys", "none", ...; throws std::invalid_argument on a device it does not know.
std::vector<GuestDevice> ParseDevices(const std::string& column);

struct SeenPort {
    size_t device;  // its place in the scenario's list, from 0
    std::string name;
};

// The program a scenario's kind runs: "wine_64" is Wine's (the 64-bit one), "web_firefox" the
// page's.
std::string ProgramOf(const std::string& kind);

// The ports (each an input and an output of the same name) that a program of the scenario's
// kind lists, in its order.
std::vector<SeenPort> PortsSeen(const std::string& kind, const std::vector<GuestDevice>& devices);
