#pragma once

#include "sim/firmware_setup.h"

#include <cstdint>
#include <string>
#include <vector>

// How the device's clock moves where the simulator supplies the host's Sleep: only by the ms the
// host sleeps (Virtual), or by the same ms while Sleep also really sleeps them (Real).
enum class SimClock { Virtual, Real };

// The simulated MIDI service: its device lists, its faults, and the controller behind it.
struct SimSetup {
    SimClock clock = SimClock::Real;
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
    // More controllers, each behind the ports of its name, with the default firmware of `model`.
    // They take part in identification and records; the report is the first controller's.
    struct OtherController {
        std::string name;
        uint8_t model;
    };
    std::vector<OtherController> otherControllers;

    // Device numbers whose open fails (the port is in use elsewhere).
    std::vector<uint32_t> failingInputOpens;
    std::vector<uint32_t> failingOutputOpens;
    // Input device numbers whose start fails, and whose buffers cannot be queued.
    std::vector<uint32_t> failingStarts;
    std::vector<uint32_t> failingAddBuffers;
    // The controller is unplugged as the host sends its n-th frame (counted from 1): that send and
    // all later ones fail, and the controller sends nothing more. 0: never.
    uint32_t unplugAtFrame = 0;
    // The host stalls for `ms` before its `frame`-th frame to the controller (counted from 1), as
    // a busy browser does: the send takes that long, and what the controller sends meanwhile
    // reaches the host first.
    struct Stall {
        uint32_t frame;
        uint32_t ms;
    };
    std::vector<Stall> stalls;
    // The first n output unprepares say the frame is still playing; ALWAYS: every one until the
    // output is reset, as a service that never finishes a send.
    uint32_t stillPlayingUnprepares = 0;
    // At these ms the service hands the host its buffer holding a lone 0xF0, as MIM_LONGDATA:
    // a SysEx of one byte, which no controller's byte stream makes.
    std::vector<uint32_t> strayAtMs;

    FirmwareSetup firmware;
};
