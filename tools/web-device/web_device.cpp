// The controllers in a browser, for the page's tests, its benchmark and its demo: the same
// controller as behind tambrell-update-sim and in the USB device program, set up by the same
// TAMBRELL_SIM script (all but the simulated service's own statements) and writing the same
// report, as a WebAssembly module. standin_midi.js carries their
// messages as a Web MIDI device would, lists the devices the script names, and sends back what a
// loopback gets.
#include "controller/controller_script.h"
#include "controller/controller_session.h"
#include "controller/device_firmware.h"
#include "controller/run_report.h"
#include "controller/script_words.h"

#include <emscripten.h>

#include <climits>
#include <deque>
#include <memory>
#include <stdexcept>
#include <string>

namespace {

struct Due {
    int controller;
    std::vector<uint8_t> message;
};

MidiDevices devices;
// Each behind the ports of its name; the report, the unplug and the script's faults are the
// first's, as in the simulated service.
std::vector<std::unique_ptr<ControllerSession>> controllers;
std::vector<std::string> controllerNames;
// Every frame a port took, whichever device is behind it, as the simulated service reports them.
std::vector<std::vector<uint8_t>> frames;
uint64_t foreignFrames = 0;
std::deque<Due> due;
Due taken;
std::string text;

const char* Handed(std::string value)
{
    text = std::move(value);
    return text.c_str();
}

std::string Joined(const std::vector<std::string>& names)
{
    std::string joined;
    for (const std::string& name : names) joined += name + "\n";
    return joined;
}

}  // namespace

extern "C" {

// Sets the devices and their controllers up afresh from the devices' and the controller's
// statements; returns "" or what is wrong with the script.
EMSCRIPTEN_KEEPALIVE const char* WebDeviceConfigure(const char* script)
{
    try {
        MidiDevices read;
        ControllerSetup first;
        ReadScript(script, {
            [&](const std::string& key, const std::string& value) { return ReadDevicesStatement(read, key, value); },
            [&](const std::string& key, const std::string& value) { return ReadControllerStatement(first, key, value); },
        });
        devices = read;
        controllers.clear();
        controllerNames.clear();
        for (const NamedController& controller : ControllersBehind(devices, first)) {
            controllers.push_back(std::make_unique<ControllerSession>(controller.setup));
            controllerNames.push_back(controller.name);
        }
        frames.clear();
        foreignFrames = 0;
        due.clear();
        return Handed("");
    } catch (const std::invalid_argument& problem) {
        return Handed(problem.what());
    }
}

// The port names of one direction, a line each.
EMSCRIPTEN_KEEPALIVE const char* WebDevicePorts(int input)
{
    return Handed(Joined(input ? devices.inputs : devices.outputs));
}

// The names of the ports behind which the controllers are, a line each, the first controller's
// first.
EMSCRIPTEN_KEEPALIVE const char* WebDeviceControllerNames()
{
    return Handed(Joined(controllerNames));
}

// The loopbacks, two lines each: the output, then the input it sends back on.
EMSCRIPTEN_KEEPALIVE const char* WebDeviceLoops()
{
    std::vector<std::string> lines;
    for (const MidiDevices::Loop& loop : devices.loops) {
        lines.push_back(loop.from);
        lines.push_back(loop.to);
    }
    return Handed(Joined(lines));
}

// One SysEx from the host to a port at `nowMs` of the controllers' clock, the port of controller
// `controller` (-1: a port with no controller behind it); 0 when it is the frame the first
// controller vanishes at.
EMSCRIPTEN_KEEPALIVE int WebDeviceReceive(int controller, const uint8_t* bytes, int size, double nowMs)
{
    std::vector<uint8_t> frame(bytes, bytes + size);
    if (controller >= 0 && !controllers[size_t(controller)]->Receive(frame, uint64_t(nowMs))) return 0;
    frames.push_back(frame);
    if (controller != 0 && !IsIdentifyRequest(frame)) ++foreignFrames;
    return 1;
}

// The size of the next message a controller sends by `nowMs`, then at WebDeviceMessage(), from
// the controller WebDeviceMessageFrom(); -1 when none is due.
EMSCRIPTEN_KEEPALIVE int WebDeviceTake(double nowMs)
{
    for (size_t i = 0; i < controllers.size(); ++i) {
        for (std::vector<uint8_t>& sent : controllers[i]->TakeDue(uint64_t(nowMs))) {
            due.push_back({int(i), std::move(sent)});
        }
    }
    if (due.empty()) return -1;
    taken = std::move(due.front());
    due.pop_front();
    return int(taken.message.size());
}

EMSCRIPTEN_KEEPALIVE const uint8_t* WebDeviceMessage()
{
    return taken.message.data();
}

EMSCRIPTEN_KEEPALIVE int WebDeviceMessageFrom()
{
    return taken.controller;
}

// How many ms from `nowMs` until a message is due; -1 when none is waiting.
EMSCRIPTEN_KEEPALIVE int WebDeviceWaitMs(double nowMs)
{
    int wait = INT_MAX;
    for (const auto& controller : controllers) wait = controller->WaitMs(uint64_t(nowMs), wait);
    return wait == INT_MAX ? -1 : wait;
}

EMSCRIPTEN_KEEPALIVE const char* WebDeviceReport()
{
    RunCounts counts = controllers.front()->Counts();
    counts.framesSent = frames;
    counts.foreignFrames = foreignFrames;
    return Handed(FormatReport(counts));
}

}  // extern "C"
