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

void AddOne(const SoakImage& image, std::mt19937_64& random, SoakFaults& faults)
{
    std::string statement;
    std::string kind;
    switch (random() % 13) {
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
        // Up to well past the host's longest wait for an answer: 200 + 1,000 polls.
        kind = "slow answer";
        statement = "slow=" + Where(image, random) + ":" + std::to_string(Between(random, 0, 1500));
        if (random() % 3 == 0) statement += "; delay=" + std::to_string(Between(random, 0, 1500));
        break;
    case 11:
        // The host stalls between two frames, as a busy browser does; the device drops the half
        // record after its resync gap (20 ms, or the quiet second some devices need).
        kind = "stall between frames";
        statement = "stall=" + std::to_string(Between(random, 2, RecordFrames(image) + 2)) + ":" +
                    std::to_string(Between(random, 0, 1500));
        if (random() % 2 == 0) statement += "; resync=1000";
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
    for (uint64_t count = Between(random, 1, 3); count > 0; --count) AddOne(image, random, faults);
    return faults;
}
