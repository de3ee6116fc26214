// The simulated computer's devices in a browser, for the page's tests, its benchmark and its demo:
// the same world as behind tambrell-update-sim (world/), set up by the same TAMBRELL_SIM script
// (all but the simulated service's own statements) and writing the same report, as a WebAssembly
// module. standin_midi.js makes its ports the browser's Web MIDI objects and carries the frames
// and messages on the page's clock.
#include "controller/controller_script.h"
#include "controller/script_words.h"
#include "world/devices_script.h"
#include "world/run_report.h"
#include "world/simulated_world.h"

#include <emscripten.h>

#include <climits>
#include <deque>
#include <optional>
#include <stdexcept>
#include <string>

namespace {

SimulatedWorld world;
// What reaches the page's inputs next, in order.
std::deque<WorldMessage> due;
WorldMessage taken;
std::string text;

const char* Handed(std::string value)
{
    text = std::move(value);
    return text.c_str();
}

}  // namespace

extern "C" {

// Sets the devices up afresh from the devices' and the controller's statements; returns "" or
// what is wrong with the script.
EMSCRIPTEN_KEEPALIVE const char* WebDeviceConfigure(const char* script)
{
    try {
        MidiDevices devices;
        ControllerSetup first;
        ReadScript(script, {
            [&](const std::string& key, const std::string& value) { return ReadDevicesStatement(devices, key, value); },
            [&](const std::string& key, const std::string& value) { return ReadControllerStatement(first, key, value); },
        });
        world = SimulatedWorld(devices, first);
        due.clear();
        return Handed("");
    } catch (const std::invalid_argument& problem) {
        return Handed(problem.what());
    }
}

// The port names of one direction as listed now, a line each.
EMSCRIPTEN_KEEPALIVE const char* WebDevicePorts(int input)
{
    std::string joined;
    for (const std::string& name : world.Ports(input)) joined += name + "\n";
    return Handed(joined);
}

// Each listed port's key, in the same order: a port that leaves and comes back has a new one.
EMSCRIPTEN_KEEPALIVE const char* WebDevicePortKeys(int input)
{
    std::string joined;
    for (size_t port = 0; port < world.Ports(input).size(); ++port) {
        joined += std::to_string(world.PortKey(input, port)) + "\n";
    }
    return Handed(joined);
}

// Moves the controllers' restarts and plug-ins on to `nowMs`; 1 when the lists changed.
EMSCRIPTEN_KEEPALIVE int WebDeviceMoveTo(double nowMs)
{
    return world.MoveTo(uint64_t(nowMs));
}

// Whether a device that comes back shows its old port objects again (1) or new ones.
EMSCRIPTEN_KEEPALIVE int WebDevicePortsReturnSame()
{
    return world.Devices().portsReturnSame;
}

// Whether a port is still there, and whether it can be opened.
EMSCRIPTEN_KEEPALIVE int WebDeviceConnected(int input, int port)
{
    return world.Connected(input, size_t(port));
}

EMSCRIPTEN_KEEPALIVE int WebDeviceOpenFails(int input, int port)
{
    return world.OpenFails(input, size_t(port));
}

// One SysEx from the host reaches the output of key `key` at `nowMs` of the world's clock, after
// what is due by then; 0 when it does not: the port is gone, or its controller unplugged or away.
EMSCRIPTEN_KEEPALIVE int WebDeviceReceive(double key, const uint8_t* bytes, int size, double nowMs)
{
    std::vector<uint8_t> frame(bytes, bytes + size);
    for (WorldMessage& message : world.TakeDue(uint64_t(nowMs))) due.push_back(std::move(message));
    std::optional<size_t> port = world.PortListed(false, uint64_t(key));
    if (!port || !world.Reaches(*port)) return 0;
    for (WorldMessage& message : world.Carry(*port, frame)) due.push_back(std::move(message));
    world.Take(*port, frame, uint64_t(nowMs));
    return 1;
}

// The size of the next message for the page's inputs by `nowMs`, then at WebDeviceMessage(), for
// the inputs named WebDeviceMessageTo(); -1 when none is due.
EMSCRIPTEN_KEEPALIVE int WebDeviceTake(double nowMs)
{
    for (WorldMessage& message : world.TakeDue(uint64_t(nowMs))) due.push_back(std::move(message));
    if (due.empty()) return -1;
    taken = std::move(due.front());
    due.pop_front();
    return int(taken.bytes.size());
}

EMSCRIPTEN_KEEPALIVE const uint8_t* WebDeviceMessage()
{
    return taken.bytes.data();
}

EMSCRIPTEN_KEEPALIVE const char* WebDeviceMessageTo()
{
    return taken.input.c_str();
}

// How many ms from `nowMs` until a message is due or a controller moves; -1 when none is waiting.
EMSCRIPTEN_KEEPALIVE int WebDeviceWaitMs(double nowMs)
{
    if (!due.empty()) return 0;
    int wait = world.WaitMs(uint64_t(nowMs), INT_MAX);
    return wait == INT_MAX ? -1 : wait;
}

EMSCRIPTEN_KEEPALIVE const char* WebDeviceReport()
{
    RunCounts counts;
    world.Report(counts);
    return Handed(FormatReport(counts));
}

}  // extern "C"
