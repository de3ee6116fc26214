#include "tests/soak/soak_faults.h"

#include <cstdio>

size_t RecordFrames(const SoakImage& image)
{
    size_t frames = 0;
    for (const auto& record : image.records) frames += (record.size() + 22) / 23;
    return frames;
}

namespace {

// Every reply code the protocol names, and a few it does not.
const uint8_t REPLY_CODES[] = {0x1A, 0x20, 0x21, 0x22, 0x24, 0x25, 0x77, 0x15, 0x34, 0x00, 0x55, 0x7F};

uint8_t RandomCode(std::mt19937_64& random)
{
    return random() % 2 ? REPLY_CODES[random() % sizeof REPLY_CODES] : uint8_t(random() % 0x80);
}

std::string Hex(uint8_t value)
{
    char text[3];
    snprintf(text, sizeof text, "%02X", value);
    return text;
}

uint64_t Between(std::mt19937_64& random, uint64_t low, uint64_t high)
{
    return low + random() % (high - low + 1);
}

// A record, or a range of records, and an attempt or range of attempts, as the script reads them.
std::string Where(const SoakImage& image, std::mt19937_64& random)
{
    uint64_t record = Between(random, 1, image.records.size());
    uint64_t attempt = Between(random, 1, 21);
    std::string attempts = std::to_string(attempt);
    if (random() % 4 == 0) attempts += "-" + std::to_string(attempt + random() % 20);
    if (random() % 6 == 0) attempts = "*";  // until the host gives up
    return std::to_string(record) + "." + attempts;
}

// How late answers may be in a run. A send the device loses (a silent attempt, a half record it
// drops) and an answer late past its record's wait (50 + 1,000 polls) that lands in the lost
// send's wait look exactly like a lost send and an answer in time: the host cannot know, and the
// soak never combines them. One answer too many that the host takes in time (doubled, or a "kept"
// of the device's own) shows only in the quiet before the success, at least 100 ms and twice the
// longest answer: a device whose answers vary by more than that hides it, and so does a lost send.
// So a run either loses nothing and answers up to 1,500 ms late, or may lose sends and answers
// within 1,000 ms, or has one answer too many, loses nothing and answers within 100 ms.
struct Lateness {
    bool lossless;
    uint64_t maxMs;
    bool answerTooMany;
};

// The host stalls between two frames, as a busy browser does. A device that may lose sends drops
// the half record after its resync gap (20 ms, or the quiet second some devices need); the other
// keeps it through any stall.
std::string Stall(const SoakImage& image, std::mt19937_64& random, Lateness lateness)
{
    std::string statement = "stall=" + std::to_string(Between(random, 2, RecordFrames(image) + 2)) + ":" +
                            std::to_string(Between(random, 0, 1500));
    if (lateness.lossless) return statement + "; resync=60000";
    return random() % 2 == 0 ? statement + "; resync=1000" : statement;
}

// An answer late by up to the run's most, mostly to a record's first attempt, which every record
// has. True when it is later than the record's wait, so that answers lag behind sends.
bool AddLateAnswer(const SoakImage& image, std::mt19937_64& random, Lateness lateness, SoakFaults& faults)
{
    uint64_t ms = Between(random, 0, lateness.maxMs);
    uint64_t attempt = random() % 4 ? 1 : Between(random, 2, 3);
    faults.script += "; slow=" + std::to_string(Between(random, 1, image.records.size())) + "." +
                     std::to_string(attempt) + ":" + std::to_string(ms);
    bool pastTheWait = ms > 1050;
    faults.kinds.push_back(pastTheWait ? "answer past its wait" : "answer late within its wait");
    return pastTheWait;
}

// An answer doubled, with the answer or ahead of it when the device takes its time, or a "kept"
// the device sends on its own at any moment of the run; then a record refused once, whose refusal
// a host one answer behind would take for the next record, leaving this one out of the flash.
void AddAnswerTooMany(const SoakImage& image, std::mt19937_64& random, SoakFaults& faults)
{
    uint64_t record = Between(random, 1, image.records.size());
    if (random() % 2) {
        faults.script += "; before=" + std::to_string(record) + "." +
                         std::to_string(random() % 4 ? 1 : Between(random, 2, 3)) + ":F0 1A F7";
        if (random() % 2) faults.script += "; delay=" + std::to_string(Between(random, 1, 49));
        faults.kinds.push_back("doubled answer");
    } else {
        uint64_t ms = Between(random, 0, RecordFrames(image) + 50 * image.records.size());
        faults.script += "; send=" + std::to_string(ms) + ":F0 1A F7";
        faults.kinds.push_back("kept sent on its own");
        record = 1;
    }
    faults.script += "; reply=" + std::to_string(Between(random, record, image.records.size())) + ".1:" +
                     Hex(RandomCode(random));
}

// The controller still starting, plugged in late, restarting while it is asked, or after its update
// back late or never: within the tool's 30 s wait or past it. It restarts while it still answers
// 0x15, never mid-transfer: a restart loses the answers it holds, and a lost answer to a record
// kept twice looks to the host exactly like one that was never late (as a lost send does).
std::string ComingsAndGoings(const SoakImage& image, std::mt19937_64& random)
{
    const std::string restart = "restart=" + std::to_string(Between(random, 0, 35000)) + ":" +
                                std::to_string(Between(random, 0, 3000));
    switch (random() % 4) {
    case 0: return "restarting=" + std::to_string(Between(random, 1, 35000));
    case 1: return "plug-in=" + std::to_string(Between(random, 1, 35000));
    case 2: {
        const uint64_t at = Between(random, 1, 3000);
        return "restarting=" + std::to_string(at + 1) + "; restart-at=" + std::to_string(at) + "; " + restart;
    }
    default: return "size=" + std::to_string(image.Bytes()) + "; " + (random() % 4 == 0 ? "restart=never" : restart);
    }
}

// Any other fault that the run's lateness allows.
void AddOne(const SoakImage& image, std::mt19937_64& random, Lateness lateness, SoakFaults& faults)
{
    std::string statement;
    std::string kind;
    uint64_t draw = random() % 14;
    // A silent record is a lost send; a held answer comes after its record's wait, and an early
    // reply leaves the device's own answer to identification one too many, as late as a held one.
    auto allowed = [&](uint64_t kind) {
        if (!lateness.lossless) return kind != 2 && kind != 6;
        return kind != 1 && !(lateness.answerTooMany && kind == 2);
    };
    while (!allowed(draw)) draw = random() % 14;
    switch (draw) {
    case 0:
        kind = "silent identification";
        statement = random() % 8 == 0 ? "ident-silent=always" : "ident-silent=" + std::to_string(Between(random, 1, 20));
        break;
    case 1:
        kind = "silent record";
        statement = random() % 4 == 0 ? "silent-from=" + std::to_string(Between(random, 1, image.records.size()))
                                      : "silent=" + Where(image, random);
        break;
    case 2:
        kind = "late reply";
        statement = "late=" + Where(image, random);
        break;
    case 3:
    case 12:
        // Within the host's shortest wait for a reply: 50 polls of 1 ms.
        kind = "slow device";
        statement = "delay=" + std::to_string(Between(random, 1, 49));
        break;
    case 10:
        kind = "slow answer";
        statement = "slow=" + Where(image, random) + ":" + std::to_string(Between(random, 0, lateness.maxMs));
        if (random() % 3 == 0) statement += "; delay=" + std::to_string(Between(random, 0, lateness.maxMs));
        break;
    case 11:
        kind = "stall between frames";
        statement = Stall(image, random, lateness);
        break;
    case 4:
        kind = "refusal";
        statement = "reply=" + Where(image, random) + ":" + Hex(RandomCode(random));
        break;
    case 5:
        kind = "stray one-byte reply";
        statement = "stray=" + std::to_string(Between(random, 0, 4000));
        break;
    case 6:
        kind = "early reply";
        statement = "send=0:F0 " + Hex(random() % 2 ? 0x34 : RandomCode(random)) + " F7";
        break;
    case 7:
        kind = "device vanishes";
        statement = "unplug=" + std::to_string(Between(random, 1, RecordFrames(image) + 2));
        break;
    case 8:
        kind = "restart at the end";
        statement = "size=" + std::to_string(image.Bytes());
        break;
    case 13:
        kind = "controller comes and goes";
        statement = ComingsAndGoings(image, random);
        break;
    default:
        kind = "other model";
        statement = "model=" + Hex(RandomCode(random));
        break;
    }
    faults.script += "; " + statement;
    faults.kinds.push_back(kind);
}

}  // namespace

SoakFaults RandomFaults(const SoakImage& image, std::mt19937_64& random)
{
    SoakFaults faults;
    faults.script = "clock=virtual";
    const Lateness lossless = {true, 1500, false}, lossy = {false, 1000, false}, tooMany = {true, 100, true};
    uint64_t draw = random() % 4;
    Lateness lateness = draw == 0 ? lossy : draw == 1 ? tooMany : lossless;
    // Among other devices the controller is first found, under the same faults: last among a
    // Windows 11 PC's loopbacks, or before a keyboard, which its late answers must not reach.
    switch (random() % 8) {
    case 0:
    case 1:
        faults.script += "; preset=windows11";
        faults.kinds.push_back("controller among loopbacks");
        break;
    case 2:
        faults.script += "; in=quillstrand MIDI,USB Keys; out=quillstrand MIDI,USB Keys";
        faults.kinds.push_back("controller before a keyboard");
        if (!lateness.answerTooMany && random() % 2) {
            faults.script += "; delay=" + std::to_string(Between(random, 50, 600));
            faults.kinds.push_back("answers slow while the keyboard is asked");
        }
        break;
    }
    faults.kinds.push_back(lateness.answerTooMany ? "runs with one answer too many"
                           : lateness.lossless    ? "runs losing no send"
                                                  : "runs that may lose sends");
    if (lateness.answerTooMany) AddAnswerTooMany(image, random, faults);
    // Late answers in every run: two that lagged in one run once ended in a success over a flash
    // holding a record twice.
    unsigned pastTheWait = 0;
    for (uint64_t count = Between(random, 1, 3); count > 0; --count) {
        pastTheWait += AddLateAnswer(image, random, lateness, faults);
    }
    if (pastTheWait >= 2) faults.kinds.push_back("runs with two answers past their wait");
    if (random() % 2) {
        faults.script += "; " + Stall(image, random, lateness);
        faults.kinds.push_back("stall between frames");
    }
    for (uint64_t count = Between(random, 0, 2); count > 0; --count) AddOne(image, random, lateness, faults);
    return faults;
}
