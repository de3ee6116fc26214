#include "sim/sim_script.h"

#include <cctype>
#include <sstream>
#include <stdexcept>

namespace {

std::string Trim(const std::string& text)
{
    size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos) return "";
    size_t last = text.find_last_not_of(" \t\r");
    return text.substr(first, last - first + 1);
}

std::vector<std::string> Split(const std::string& text, char separator)
{
    std::vector<std::string> parts;
    std::string part;
    std::istringstream stream(text);
    while (std::getline(stream, part, separator)) parts.push_back(Trim(part));
    return parts;
}

uint32_t Number(const std::string& text)
{
    if (text.empty() || text.size() > 9 ||
        text.find_first_not_of("0123456789") != std::string::npos) {
        throw std::invalid_argument("not a number: '" + text + "'");
    }
    return uint32_t(std::stoul(text));
}

uint8_t Code(const std::string& text)
{
    if (text.empty() || text.size() > 2 || !std::isxdigit(uint8_t(text[0])) ||
        !std::isxdigit(uint8_t(text.back()))) {
        throw std::invalid_argument("not a hex byte: '" + text + "'");
    }
    return uint8_t(std::stoul(text, nullptr, 16));
}

std::vector<uint8_t> Bytes(const std::string& text)
{
    std::vector<uint8_t> bytes;
    std::istringstream stream(text);
    std::string item;
    while (stream >> item) bytes.push_back(Code(item));
    if (bytes.empty()) throw std::invalid_argument("no bytes");
    return bytes;
}

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
        if (fault == AttemptFault::Reply) rule.code = Code(value);
        else if (fault == AttemptFault::Slow) rule.delayMs = Number(value);
        else rule.bytes = Bytes(value);
    }
    size_t dot = where.find('.');
    if (dot == std::string::npos) throw std::invalid_argument("not RECORD.ATTEMPT: '" + where + "'");
    rule.records = Range(Trim(where.substr(0, dot)));
    rule.attempts = Range(Trim(where.substr(dot + 1)));
    return rule;
}

std::vector<std::string> Names(const std::string& text)
{
    if (text.empty()) return {};
    return Split(text, ',');
}

uint32_t NumberOrAlways(const std::string& text)
{
    return text == "always" ? ALWAYS : Number(text);
}

// "NAME": sends back onto its own name; "A/B": a pair, each sending to the other.
void AddLoop(SimSetup& setup, const std::string& value)
{
    size_t slash = value.find('/');
    if (slash == std::string::npos) {
        setup.loops.push_back({value, value});
        return;
    }
    std::string a = Trim(value.substr(0, slash));
    std::string b = Trim(value.substr(slash + 1));
    setup.loops.push_back({a, b});
    setup.loops.push_back({b, a});
}

// "NAME" or "NAME:MODEL"
void AddOtherController(SimSetup& setup, const std::string& value)
{
    size_t colon = value.rfind(':');
    if (colon == std::string::npos) {
        setup.otherControllers.push_back({value, setup.firmware.model});
        return;
    }
    setup.otherControllers.push_back({Trim(value.substr(0, colon)), Code(Trim(value.substr(colon + 1)))});
}

// A Windows 11 PC of today: the controller among the MIDI service's default loopbacks, with the
// system synthesizer.
void ApplyPreset(SimSetup& setup, const std::string& name)
{
    if (name != "windows11") throw std::invalid_argument("the preset is windows11");
    const std::string a = "Default App Loopback (A)", b = "Default App Loopback (B)";
    const std::string basic = "Default Basic App Loopback";
    setup.inputs = {a, b, basic, setup.controllerName};
    setup.outputs = {"Microsoft GS Wavetable Synth", a, b, basic, setup.controllerName};
    AddLoop(setup, a + "/" + b);
    AddLoop(setup, basic);
}

void Apply(SimSetup& setup, const std::string& key, const std::string& value)
{
    FirmwareSetup& firmware = setup.firmware;
    if (key == "clock") {
        if (value != "virtual" && value != "real") throw std::invalid_argument("clock is virtual or real");
        setup.clock = value == "virtual" ? SimClock::Virtual : SimClock::Real;
    } else if (key == "in") {
        setup.inputs = Names(value);
    } else if (key == "out") {
        setup.outputs = Names(value);
    } else if (key == "controller") {
        setup.controllerName = value;
    } else if (key == "fail-open") {
        size_t colon = value.find(':');
        std::string direction = Trim(value.substr(0, colon));
        if (colon == std::string::npos || (direction != "in" && direction != "out")) {
            throw std::invalid_argument("fail-open is in:N or out:N");
        }
        (direction == "in" ? setup.failingInputOpens : setup.failingOutputOpens)
            .push_back(Number(Trim(value.substr(colon + 1))));
    } else if (key == "fail-start") {
        setup.failingStarts.push_back(Number(value));
    } else if (key == "fail-add-buffer") {
        setup.failingAddBuffers.push_back(Number(value));
    } else if (key == "loop") {
        AddLoop(setup, value);
    } else if (key == "second") {
        AddOtherController(setup, value);
    } else if (key == "preset") {
        ApplyPreset(setup, value);
    } else if (key == "unplug") {
        setup.unplugAtFrame = Number(value);
    } else if (key == "stall") {
        size_t colon = value.find(':');
        if (colon == std::string::npos) throw std::invalid_argument("stall is F:N");
        setup.stalls.push_back({Number(Trim(value.substr(0, colon))), Number(Trim(value.substr(colon + 1)))});
    } else if (key == "still-playing") {
        setup.stillPlayingUnprepares = NumberOrAlways(value);
    } else if (key == "stray") {
        setup.strayAtMs.push_back(Number(value));
    } else if (key == "model") {
        firmware.model = Code(value);
    } else if (key == "size") {
        firmware.firmwareSize = Number(value);
    } else if (key == "delay") {
        firmware.replyDelayMs = Number(value);
    } else if (key == "ident-silent") {
        firmware.silentIdentifications = NumberOrAlways(value);
    } else if (key == "silent-from") {
        firmware.silentFromRecord = Number(value);
    } else if (key == "reply") {
        firmware.attemptRules.push_back(Attempt(value, AttemptFault::Reply));
    } else if (key == "silent") {
        firmware.attemptRules.push_back(Attempt(value, AttemptFault::Silent));
    } else if (key == "late") {
        firmware.attemptRules.push_back(Attempt(value, AttemptFault::Late));
    } else if (key == "slow") {
        firmware.attemptRules.push_back(Attempt(value, AttemptFault::Slow));
    } else if (key == "before") {
        firmware.attemptRules.push_back(Attempt(value, AttemptFault::Before));
    } else if (key == "send") {
        size_t colon = value.find(':');
        if (colon == std::string::npos) throw std::invalid_argument("send is T:BYTES");
        firmware.scheduled.push_back({Number(Trim(value.substr(0, colon))), Bytes(value.substr(colon + 1))});
    } else if (key == "resync") {
        firmware.resyncGapMs = Number(value);
    } else {
        throw std::invalid_argument("unknown key");
    }
}

}  // namespace

SimSetup ParseSimScript(const std::string& script)
{
    SimSetup setup;
    std::string lines = script;
    for (char& c : lines) {
        if (c == '\n') c = ';';
    }
    for (const std::string& statement : Split(lines, ';')) {
        if (statement.empty()) continue;
        size_t equals = statement.find('=');
        try {
            if (equals == std::string::npos) throw std::invalid_argument("no '='");
            Apply(setup, Trim(statement.substr(0, equals)), Trim(statement.substr(equals + 1)));
        } catch (const std::invalid_argument& problem) {
            throw std::invalid_argument("'" + statement + "': " + problem.what());
        }
    }
    return setup;
}
