#pragma once

#include "controller/controller_setup.h"
#include "world/midi_devices.h"

#include <cstdint>
#include <vector>

// How the device's clock moves where the simulator supplies the host's Sleep: only by the ms the
// host sleeps (Virtual), or by the same ms while Sleep also really sleeps them (Real).
enum class SimClock { Virtual, Real };

// The simulated MIDI service: its clock and its own faults, the devices of the simulated computer
// and the first controller behind them.
struct SimSetup {
    SimClock clock = SimClock::Real;

    // Input device numbers whose start fails, and whose buffers cannot be queued.
    std::vector<uint32_t> failingStarts;
    std::vector<uint32_t> failingAddBuffers;
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
    // The service is busy when the host sends its `frame`-th frame to the controller (counted from
    // 1): the first `times` sends of it (ALWAYS: every one) say MIDIERR_NOTREADY.
    struct NotReady {
        uint32_t frame;
        uint32_t times;
    };
    std::vector<NotReady> notReady;
    // At these ms the service hands the host its buffer holding a lone 0xF0, as MIM_LONGDATA:
    // a SysEx of one byte, which no controller's byte stream makes.
    std::vector<uint32_t> strayAtMs;

    MidiDevices devices;
    ControllerSetup controller;
};
