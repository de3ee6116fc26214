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
    {"restarting", &FirmwareSetup::restartingUntilMs},
};

// "AWAY:BUSY", or "never": it stays and answers 0x15 after its update.
RestartSetup Restart(const std::string& value)
{
    if (value == "never") return {false, 0, 0};
    size_t colon = value.find(':');
    if (colon == std::string::npos) throw std::invalid_argument("restart is AWAY:BUSY or never");
    return {true, Number(Trim(value.substr(0, colon))), Number(Trim(value.substr(colon + 1)))};
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
    } else if (key == "restart") {
        setup.restart = Restart(value);
    } else if (key == "restart-at") {
        setup.restartAtMs = Number(value);
    } else if (key == "plug-in") {
        setup.plugInAtMs = Number(value);
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
