// The simulated controller in a browser, for the page's tests, its benchmark and its demo: the same
// firmware as tambrell-update-sim and the USB device program, set up by the same TAMBRELL_SIM
// script and writing the same report, as a WebAssembly module. standin_midi.js carries its
// messages as a Web MIDI device would, and lists the devices the script names.
#include "sim/sim_report.h"
#include "sim/sim_script.h"
#include "tools/common/device_session.h"

#include <emscripten.h>

#include <climits>
#include <deque>
#include <memory>
#include <stdexcept>
#include <string>

namespace {

SimSetup setup;
std::unique_ptr<DeviceSession> device;
std::deque<std::vector<uint8_t>> due;
std::vector<uint8_t> message;
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

// Sets the controller up afresh; returns "" or what is wrong with the script.
EMSCRIPTEN_KEEPALIVE const char* WebDeviceConfigure(const char* script)
{
    try {
        setup = ParseSimScript(script);
        // The lists are the stand-in MIDI device's to show; the controller behind them is the
        // session's.
        SimSetup controller = setup;
        controller.inputs = SimSetup().inputs;
        controller.outputs = SimSetup().outputs;
        controller.controllerName = SimSetup().controllerName;
        device = std::make_unique<DeviceSession>(controller);
        due.clear();
        return Handed("");
    } catch (const std::invalid_argument& problem) {
        return Handed(problem.what());
    }
}

// The port names of one direction, a line each; and the name of the ports that lead to the
// controller.
EMSCRIPTEN_KEEPALIVE const char* WebDevicePorts(int input)
{
    return Handed(Joined(input ? setup.inputs : setup.outputs));
}

EMSCRIPTEN_KEEPALIVE const char* WebDeviceControllerName()
{
    return Handed(setup.controllerName);
}

// One SysEx from the host at `nowMs` of the controller's clock; 0 when it is the frame the
// controller vanishes at.
EMSCRIPTEN_KEEPALIVE int WebDeviceReceive(const uint8_t* bytes, int size, double nowMs)
{
    return device->Receive(std::vector<uint8_t>(bytes, bytes + size), uint64_t(nowMs)) ? 1 : 0;
}

// The size of the next message the controller sends by `nowMs`, then at WebDeviceMessage();
// -1 when none is due.
EMSCRIPTEN_KEEPALIVE int WebDeviceTake(double nowMs)
{
    for (std::vector<uint8_t>& sent : device->TakeDue(uint64_t(nowMs))) due.push_back(sent);
    if (due.empty()) return -1;
    message = std::move(due.front());
    due.pop_front();
    return int(message.size());
}

EMSCRIPTEN_KEEPALIVE const uint8_t* WebDeviceMessage()
{
    return message.data();
}

// How many ms from `nowMs` until a message is due; -1 when none is waiting.
EMSCRIPTEN_KEEPALIVE int WebDeviceWaitMs(double nowMs)
{
    int wait = device->WaitMs(uint64_t(nowMs), INT_MAX);
    return wait == INT_MAX ? -1 : wait;
}

EMSCRIPTEN_KEEPALIVE const char* WebDeviceReport()
{
    return Handed(FormatReport(device->Counts()));
}

}  // extern "C"
