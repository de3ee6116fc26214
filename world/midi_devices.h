#pragma once

#include "controller/controller_setup.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// The MIDI devices a computer lists, and what is behind each: the simulated service's and the
// page's stand-in Web MIDI's.
struct MidiDevices {
    std::vector<std::string> inputs = {"quillstrand MIDI"};
    std::vector<std::string> outputs = {"Microsoft GS Wavetable Synth", "quillstrand MIDI"};
    // Ports with this name lead to the controller; the others lead nowhere (they ignore what they
    // are sent), unless a loopback or another controller is behind them.
    std::string controllerName = "quillstrand MIDI";
    // A loopback: every SysEx sent to output `from` comes straight back on input `to`.
    struct Loop {
        std::string from;
        std::string to;
    };
    std::vector<Loop> loops;
    // More controllers, each behind the ports of its name, with the default firmware of `model`
    // (the first controller's when none is given).
    struct OtherController {
        std::string name;
        std::optional<uint8_t> model;
    };
    std::vector<OtherController> otherControllers;
    // Devices of other makers that answer every SysEx they are sent with `answer`, on the input of
    // their name, as a synthesizer answers an inquiry.
    struct AnsweringDevice {
        std::string name;
        std::vector<uint8_t> answer;
    };
    std::vector<AnsweringDevice> answering;
    // Port numbers whose open fails: another program holds the device.
    std::vector<uint32_t> failingInputOpens;
    std::vector<uint32_t> failingOutputOpens;
    // How a browser shows a device that comes back: as new port objects, or (true) as its old ones
    // connected again, as Chromium may. Only the page's stand-in has port objects.
    bool portsReturnSame = false;
};

// A controller behind the ports of its name.
struct NamedController {
    std::string name;
    ControllerSetup setup;
};

// Every controller the devices lead to, `first` first: the one that the report, the unplug and
// the script's faults are about.
std::vector<NamedController> ControllersBehind(const MidiDevices& devices, const ControllerSetup& first);
