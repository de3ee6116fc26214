// A simulation script: statements separated by ';' or line ends, each "key=value"; blanks around
// keys, values and list items are ignored. Numbers are decimal; codes and message bytes are
// hexadecimal (one or two digits each). Statements apply in order: list keys replace the list,
// fault keys add a fault.
//
//   clock=virtual|real      the controller's clock moves by the ms the host sleeps; "real"
//                           (the default) also sleeps them for real, "virtual" does not
//   in=NAME,NAME,...        input device names by device number; "in=" leaves none
//   out=NAME,NAME,...       output device names (default: Microsoft GS Wavetable Synth,
//                           quillstrand MIDI)
//   controller=NAME         ports with this name lead to the controller (quillstrand MIDI)
//   fail-open=in:N|out:N    opening that device fails (MMSYSERR_ALLOCATED)
//   fail-start=N            starting input device N fails (MMSYSERR_ERROR)
//   unplug=N                the controller is unplugged as the host sends it its N-th frame:
//                           that send and all later ones fail (MIDIERR_NODEVICE)
//   stall=F:N               the host stalls N ms before it sends the controller its F-th frame
//                           (the controller drops a record left half-received meanwhile)
//   still-playing=N         the first N output unprepares say MIDIERR_STILLPLAYING
//   stray=T                 at T ms the service hands back the tool's buffer holding a lone F0
//                           (MIM_LONGDATA, a count of 1), which no byte stream makes
//   model=CC                the model code it identifies itself with (34)
//   size=N                  the firmware's size in bytes: the record that completes it is
//                           answered 77 (restart) instead of 1A
//   delay=N                 every answer leaves N ms after what it answers
//   ident-silent=N|always   identification requests 1 to N (or all) get no answer
//   silent-from=R           records from R on get no answer
//   reply=R.A:CC            attempt A of record R is answered CC (1A and 77 keep the record)
//   silent=R.A              attempt A of record R is dropped without an answer
//   late=R.A                the answer to attempt A of record R is held back until the host
//                           sends its next frame (its wait has run out by then)
//   slow=R.A:N              the answer to attempt A of record R leaves N ms after the record
//   before=R.A:BYTES        the controller sends BYTES as it takes attempt A of record R, ahead
//                           of its answer: "before=1.1:F0 20; slow=1.1:5" a SysEx cut short by
//                           the answer's F0 5 ms later, "before=1.1:FE 90 40 7F" short messages
//   send=T:BYTES            the controller sends BYTES at T ms of its clock: "send=0:F0 34 F7"
//                           is an answer before the first request, "send=1:F0 20" a SysEx that
//                           what the controller sends next cuts short
//   resync=N                a record left half-received for more than N ms is dropped (20)
//
// R and A count from 1 and are a number, a range "2-5" or "*" (every). Records are counted as the
// controller sees them: record R is the one after R - 1 accepted records, and its attempts are
// counted until it is accepted.
//
// The controller's bytes reach the tool as one stream, read as the Windows service reads a MIDI
// input: a SysEx comes back with MIM_LONGDATA at its F7, with MIM_LONGERROR and the bytes so far
// when a status byte other than a real-time one cuts it short; every short message comes as one
// MIM_DATA, a real-time byte at once, even inside a SysEx.
//
// Example: "clock=virtual; ident-silent=5; model=15" is a controller restarting after 5 requests.
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
    } else if (key == "unplug") {
        setup.unplugAtFrame = Number(value);
    } else if (key == "stall") {
        size_t colon = value.find(':');
        if (colon == std::string::npos) throw std::invalid_argument("stall is F:N");
        setup.stalls.push_back({Number(Trim(value.substr(0, colon))), Number(Trim(value.substr(colon + 1)))});
    } else if (key == "still-playing") {
        setup.stillPlayingUnprepares = Number(value);
    } else if (key == "stray") {
        setup.strayAtMs.push_back(Number(value));
    } else if (key == "model") {
        firmware.model = Code(value);
    } else if (key == "size") {
        firmware.firmwareSize = Number(value);
    } else if (key == "delay") {
        firmware.replyDelayMs = Number(value);
    } else if (key == "ident-silent") {
        firmware.silentIdentifications = value == "always" ? ALWAYS : Number(value);
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
