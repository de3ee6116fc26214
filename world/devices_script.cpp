#include "world/devices_script.h"

#include "controller/script_words.h"

#include <stdexcept>

namespace {

// "NAME": sends back onto its own name; "A/B": a pair, each sending to the other.
void AddLoop(MidiDevices& devices, const std::string& value)
{
    size_t slash = value.find('/');
    if (slash == std::string::npos) {
        devices.loops.push_back({value, value});
        return;
    }
    std::string a = Trim(value.substr(0, slash));
    std::string b = Trim(value.substr(slash + 1));
    devices.loops.push_back({a, b});
    devices.loops.push_back({b, a});
}

// "NAME" or "NAME:MODEL"
void AddOtherController(MidiDevices& devices, const std::string& value)
{
    size_t colon = value.rfind(':');
    if (colon == std::string::npos) {
        devices.otherControllers.push_back({value, std::nullopt});
        return;
    }
    devices.otherControllers.push_back({Trim(value.substr(0, colon)), HexByte(Trim(value.substr(colon + 1)))});
}

// A Windows 11 PC of today: the controller among the MIDI service's default loopbacks, with the
// system synthesizer.
void ApplyPreset(MidiDevices& devices, const std::string& name)
{
    if (name != "windows11") throw std::invalid_argument("the preset is windows11");
    const std::string a = "Default App Loopback (A)", b = "Default App Loopback (B)";
    const std::string basic = "Default Basic App Loopback";
    devices.inputs = {a, b, basic, devices.controllerName};
    devices.outputs = {"Microsoft GS Wavetable Synth", a, b, basic, devices.controllerName};
    AddLoop(devices, a + "/" + b);
    AddLoop(devices, basic);
}

std::vector<std::string> Names(const std::string& text)
{
    if (text.empty()) return {};
    return Split(text, ',');
}

// "in:N" or "out:N"
void AddFailingOpen(MidiDevices& devices, const std::string& value)
{
    size_t colon = value.find(':');
    std::string direction = Trim(value.substr(0, colon));
    if (colon == std::string::npos || (direction != "in" && direction != "out")) {
        throw std::invalid_argument("fail-open is in:N or out:N");
    }
    (direction == "in" ? devices.failingInputOpens : devices.failingOutputOpens)
        .push_back(Number(Trim(value.substr(colon + 1))));
}

// "NAME:BYTES"
void AddAnsweringDevice(MidiDevices& devices, const std::string& value)
{
    size_t colon = value.rfind(':');
    if (colon == std::string::npos) throw std::invalid_argument("answering is NAME:BYTES");
    devices.answering.push_back({Trim(value.substr(0, colon)), HexBytes(value.substr(colon + 1))});
}

// "new" or "same"
bool PortsReturnSame(const std::string& value)
{
    if (value != "new" && value != "same") throw std::invalid_argument("ports-return is new or same");
    return value == "same";
}

}  // namespace

bool ReadDevicesStatement(MidiDevices& devices, const std::string& key, const std::string& value)
{
    if (key == "in") {
        devices.inputs = Names(value);
    } else if (key == "out") {
        devices.outputs = Names(value);
    } else if (key == "controller") {
        devices.controllerName = value;
    } else if (key == "loop") {
        AddLoop(devices, value);
    } else if (key == "second") {
        AddOtherController(devices, value);
    } else if (key == "preset") {
        ApplyPreset(devices, value);
    } else if (key == "fail-open") {
        AddFailingOpen(devices, value);
    } else if (key == "answering") {
        AddAnsweringDevice(devices, value);
    } else if (key == "ports-return") {
        devices.portsReturnSame = PortsReturnSame(value);
    } else {
        return false;
    }
    return true;
}
