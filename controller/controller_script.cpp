#include "controller/controller_script.h"

#include "controller/script_words.h"

#include <stdexcept>

namespace {

NumberRange Range(const std::string& text)
{
    if (text == "*") return NumberRange();
    size_t dash = text.find('-');
    if (dash == std::string::npos) return {Number(text), Number(text)};
    return {Number(Trim(text.substr(0, dash))), Number(Trim(text.substr(dash + 1)))};
}

// "R.A", "R.A:CC" (a reply's code), "R.A:N" (a slow answer's delay) or "R.A:BYTES"
AttemptRule Attempt(const std::string& text, AttemptFault fault)
{
    AttemptRule rule;
    rule.fault = fault;
    std::string where = text;
    if (fault == AttemptFault::Reply || fault == AttemptFault::Slow || fault == AttemptFault::Before) {
        size_t colon = text.find(':');
        if (colon == std::string::npos) throw std::invalid_argument("no value after ':'");
        where = Trim(text.substr(0, colon));
        std::string value = Trim(text.substr(colon + 1));
        if (fault == AttemptFault::Reply) rule.code = HexByte(value);
        else if (fault == AttemptFault::Slow) rule.delayMs = Number(value);
        else rule.bytes = HexBytes(value);
    }
    size_t dot = where.find('.');
    if (dot == std::string::npos) throw std::invalid_argument("not RECORD.ATTEMPT: '" + where + "'");
    rule.records = Range(Trim(where.substr(0, dot)));
    rule.attempts = Range(Trim(where.substr(dot + 1)));
    return rule;
}

const struct {
    const char* key;
    AttemptFault fault;
} ATTEMPT_KEYS[] = {
    {"reply", AttemptFault::Reply}, {"silent", AttemptFault::Silent}, {"late", AttemptFault::Late},
    {"slow", AttemptFault::Slow},   {"before", AttemptFault::Before},
};

// The firmware's settings that are one number each.
const struct {
    const char* key;
    uint32_t FirmwareSetup::*field;
} NUMBER_KEYS[] = {
    {"size", &FirmwareSetup::firmwareSize},          {"delay", &FirmwareSetup::replyDelayMs},
    {"silent-from", &FirmwareSetup::silentFromRecord}, {"resync", &FirmwareSetup::resyncGapMs},
};

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

}  // namespace

bool ReadControllerStatement(ControllerSetup& setup, const std::string& key, const std::string& value)
{
    FirmwareSetup& firmware = setup.firmware;
    for (const auto& attempt : ATTEMPT_KEYS) {
        if (key == attempt.key) {
            firmware.attemptRules.push_back(Attempt(value, attempt.fault));
            return true;
        }
    }
    for (const auto& number : NUMBER_KEYS) {
        if (key == number.key) {
            firmware.*number.field = Number(value);
            return true;
        }
    }
    if (key == "unplug") {
        setup.unplugAtFrame = Number(value);
    } else if (key == "model") {
        firmware.model = HexByte(value);
    } else if (key == "ident-silent") {
        firmware.silentIdentifications = NumberOrAlways(value);
    } else if (key == "send") {
        size_t colon = value.find(':');
        if (colon == std::string::npos) throw std::invalid_argument("send is T:BYTES");
        firmware.scheduled.push_back({Number(Trim(value.substr(0, colon))), HexBytes(value.substr(colon + 1))});
    } else {
        return false;
    }
    return true;
}

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
    } else {
        return false;
    }
    return true;
}
