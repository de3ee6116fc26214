// The controller's firmware, fed SysEx as the host sends it.
#include "controller/device_firmware.h"
#include "tests/controller/host_framing.h"
#include "tests/support/image_text.h"

#include <gtest/gtest.h>

namespace {

using Bytes = std::vector<uint8_t>;
using Messages = std::vector<Bytes>;

const Bytes IDENTIFY = {0xF0, 0x35, 0x62, 0x0E, 0x71, 0x48, 0x13, 0x59, 0xF7};
const Bytes OK = {0xF0, 0x1A, 0xF7};

Bytes Answer(uint8_t code)
{
    return {0xF0, code, 0xF7};
}

Bytes Payload(size_t size, uint8_t seed)
{
    Bytes payload;
    for (size_t i = 0; i < size; ++i) payload.push_back(uint8_t(seed + i * 7));
    return payload;
}

// Sends the record from `nowMs` on and returns what the device answered by the last frame's
// millisecond; `nowMs` ends one past the last frame.
Messages SendRecord(DeviceFirmware& firmware, const Bytes& record, uint64_t& nowMs)
{
    Messages answers;
    for (const Bytes& frame : Frames(record)) {
        EXPECT_TRUE(answers.empty()) << "answered before the record was complete";
        firmware.Receive(frame, nowMs);
        Messages due = firmware.TakeDue(nowMs);
        answers.insert(answers.end(), due.begin(), due.end());
        ++nowMs;
    }
    return answers;
}

FirmwareSetup WithRule(NumberRange records, NumberRange attempts, AttemptFault fault, uint8_t code = 0)
{
    FirmwareSetup setup;
    setup.attemptRules.push_back({records, attempts, fault, code});
    return setup;
}

TEST(DeviceFirmware, IdentifiesItselfWithItsModelUnlessToldToStaySilent)
{
    DeviceFirmware plain;
    EXPECT_TRUE(plain.TakeDue(0).empty());
    plain.Receive(IDENTIFY, 7);
    EXPECT_EQ(plain.NextDue(), 7u);
    EXPECT_EQ(plain.TakeDue(7), Messages{Answer(0x34)});

    FirmwareSetup setup;
    setup.model = 0x15;
    setup.silentIdentifications = 2;
    setup.replyDelayMs = 4;
    DeviceFirmware restarting(setup);
    for (uint64_t request = 1; request <= 3; ++request) restarting.Receive(IDENTIFY, request * 100);
    EXPECT_EQ(restarting.IdentifyRequests(), 3u);
    EXPECT_TRUE(restarting.TakeDue(303).empty());
    EXPECT_EQ(restarting.TakeDue(304), Messages{Answer(0x15)});

    setup.silentIdentifications = ALWAYS;
    DeviceFirmware silent(setup);
    for (int request = 0; request < 50; ++request) silent.Receive(IDENTIFY, 0);
    EXPECT_FALSE(silent.NextDue().has_value());
}

TEST(DeviceFirmware, PutsRecordsTogetherAcrossFramesAndKeepsThemInOrder)
{
    DeviceFirmware firmware;
    Bytes image;
    uint64_t now = 0;
    // 4 bytes (no payload), one frame exactly, one byte over, two frames, two frames and one
    // byte, and a long record.
    for (size_t payload : {0, 19, 20, 42, 43, 246}) {
        Bytes record = MakeRecord(Payload(payload, uint8_t(payload)));
        EXPECT_EQ(SendRecord(firmware, record, now), Messages{OK}) << payload;
        image.insert(image.end(), record.begin(), record.end());
    }
    EXPECT_EQ(firmware.Flash(), image);
    EXPECT_EQ(firmware.AcceptedRecords(), 6u);
    EXPECT_EQ(firmware.DroppedRecords(), 0u);
}

TEST(DeviceFirmware, RefusesARecordWithABadChecksumOrNoRoomForOne)
{
    DeviceFirmware firmware;
    uint64_t now = 0;
    Bytes corrupt = MakeRecord(Payload(30, 1));
    corrupt[10] ^= 0x01;
    EXPECT_EQ(SendRecord(firmware, corrupt, now), Messages{Answer(0x20)});
    // A wrong checksum field is as bad as a wrong payload byte.
    Bytes badSum = MakeRecord(Payload(30, 1));
    badSum.back() ^= 0x80;
    EXPECT_EQ(SendRecord(firmware, badSum, now), Messages{Answer(0x20)});
    EXPECT_EQ(SendRecord(firmware, {0x00, 0x01, 0x00}, now), Messages{Answer(0x21)});
    EXPECT_TRUE(firmware.Flash().empty());

    Bytes good = MakeRecord(Payload(30, 1));
    EXPECT_EQ(SendRecord(firmware, good, now), Messages{OK});
    EXPECT_EQ(firmware.Flash(), good);
}

TEST(DeviceFirmware, DropsAHalfReceivedRecordOnceTheHostHasGoneQuiet)
{
    Bytes record = MakeRecord(Payload(96, 3));
    std::vector<Bytes> frames = Frames(record);

    // The host gave up after its first frame and sends the whole record again 50 ms later.
    DeviceFirmware firmware;
    firmware.Receive(frames[0], 0);
    uint64_t now = 50;
    EXPECT_EQ(SendRecord(firmware, record, now), Messages{OK});
    EXPECT_EQ(firmware.Flash(), record);
    EXPECT_EQ(firmware.DroppedRecords(), 1u);

    // A pause no longer than the gap is still the same record.
    DeviceFirmware patient;
    patient.Receive(frames[0], 0);
    for (size_t i = 1; i < frames.size(); ++i) patient.Receive(frames[i], 20 * i);
    EXPECT_EQ(patient.TakeDue(1000), Messages{OK});
    EXPECT_EQ(patient.Flash(), record);
}

TEST(DeviceFirmware, AnswersTheRecordThatCompletesTheFirmwareWithRestart)
{
    Bytes first = MakeRecord(Payload(40, 1));
    Bytes last = MakeRecord(Payload(12, 2));
    FirmwareSetup setup;
    setup.firmwareSize = uint32_t(first.size() + last.size());
    DeviceFirmware firmware(setup);
    uint64_t now = 0;
    EXPECT_EQ(SendRecord(firmware, first, now), Messages{OK});
    EXPECT_FALSE(firmware.Restarting());
    EXPECT_EQ(SendRecord(firmware, last, now), Messages{Answer(0x77)});
    EXPECT_TRUE(firmware.Restarting());

    // Restarting: it takes no more records and says so when asked who it is.
    SendRecord(firmware, first, now);
    firmware.Receive(IDENTIFY, now);
    EXPECT_EQ(firmware.TakeDue(now + 100), Messages{Answer(0x15)});
    Bytes image = first;
    image.insert(image.end(), last.begin(), last.end());
    EXPECT_EQ(firmware.Flash(), image);
}

TEST(DeviceFirmware, AnswersScriptedAttemptsWithScriptedCodes)
{
    Bytes one = MakeRecord(Payload(10, 1));
    Bytes two = MakeRecord(Payload(50, 2));
    DeviceFirmware firmware(WithRule({2, 2}, {1, 2}, AttemptFault::Reply, 0x24));
    uint64_t now = 0;
    EXPECT_EQ(SendRecord(firmware, one, now), Messages{OK});
    EXPECT_EQ(SendRecord(firmware, two, now), Messages{Answer(0x24)});
    EXPECT_EQ(SendRecord(firmware, two, now), Messages{Answer(0x24)});
    EXPECT_EQ(SendRecord(firmware, two, now), Messages{OK});
    Bytes image = one;
    image.insert(image.end(), two.begin(), two.end());
    EXPECT_EQ(firmware.Flash(), image);

    // 0x77 from the script keeps the record and restarts, records left or not.
    DeviceFirmware early(WithRule({1, 1}, {}, AttemptFault::Reply, 0x77));
    now = 0;
    EXPECT_EQ(SendRecord(early, one, now), Messages{Answer(0x77)});
    EXPECT_EQ(early.Flash(), one);
    EXPECT_TRUE(SendRecord(early, two, now).empty());

    // Every attempt at every record refused: nothing is kept.
    DeviceFirmware refusing(WithRule({}, {}, AttemptFault::Reply, 0x20));
    for (int attempt = 0; attempt < 25; ++attempt) {
        EXPECT_EQ(SendRecord(refusing, one, now), Messages{Answer(0x20)});
    }
    EXPECT_TRUE(refusing.Flash().empty());
}

TEST(DeviceFirmware, StaysSilentForScriptedAttemptsOrFromARecordOn)
{
    Bytes one = MakeRecord(Payload(10, 1));
    Bytes two = MakeRecord(Payload(20, 2));
    DeviceFirmware firmware(WithRule({1, 1}, {1, 1}, AttemptFault::Silent));
    uint64_t now = 0;
    EXPECT_TRUE(SendRecord(firmware, one, now).empty());
    EXPECT_TRUE(firmware.Flash().empty());
    EXPECT_EQ(SendRecord(firmware, one, now), Messages{OK});
    EXPECT_EQ(firmware.Flash(), one);

    FirmwareSetup setup;
    setup.silentFromRecord = 2;
    DeviceFirmware hanging(setup);
    now = 0;
    EXPECT_EQ(SendRecord(hanging, one, now), Messages{OK});
    for (int attempt = 0; attempt < 20; ++attempt) EXPECT_TRUE(SendRecord(hanging, two, now).empty());
    EXPECT_EQ(hanging.Flash(), one);
    EXPECT_FALSE(hanging.NextDue().has_value());
}

TEST(DeviceFirmware, HoldsALateAnswerUntilTheHostSendsAgain)
{
    Bytes one = MakeRecord(Payload(30, 1));
    FirmwareSetup setup = WithRule({1, 1}, {1, 1}, AttemptFault::Late, 0);
    setup.attemptRules.push_back({{1, 1}, {1, 1}, AttemptFault::Reply, 0x20});
    DeviceFirmware firmware(setup);
    uint64_t now = 0;
    EXPECT_TRUE(SendRecord(firmware, one, now).empty());
    EXPECT_TRUE(firmware.TakeDue(now + 10000).empty());
    EXPECT_FALSE(firmware.NextDue().has_value());

    // The resend's first frame lets the held answer go, ahead of the resend's own answer.
    now += 100;
    std::vector<Bytes> frames = Frames(one);
    firmware.Receive(frames[0], now);
    EXPECT_EQ(firmware.TakeDue(now), Messages{Answer(0x20)});
    firmware.Receive(frames[1], now + 1);
    EXPECT_EQ(firmware.TakeDue(now + 1), Messages{OK});

    // An accepted record whose 0x1A comes late is in the flash already.
    DeviceFirmware slow(WithRule({1, 1}, {1, 1}, AttemptFault::Late));
    now = 0;
    EXPECT_TRUE(SendRecord(slow, one, now).empty());
    EXPECT_EQ(slow.Flash(), one);
    slow.Receive(IDENTIFY, now);
    EXPECT_EQ(slow.TakeDue(now), (Messages{OK, Answer(0x34)}));
}

TEST(DeviceFirmware, SendsScheduledMessagesAndDelayedAnswersInTimeOrder)
{
    FirmwareSetup setup;
    setup.replyDelayMs = 10;
    setup.scheduled = {{0, {0xF0}}, {15, {0xF0, 0x01, 0xF7}}};
    DeviceFirmware firmware(setup);
    firmware.Receive(IDENTIFY, 2);
    EXPECT_EQ(firmware.TakeDue(0), Messages{{0xF0}});
    EXPECT_EQ(firmware.NextDue(), 12u);
    EXPECT_EQ(firmware.TakeDue(11), Messages{});
    EXPECT_EQ(firmware.TakeDue(20), (Messages{Answer(0x34), {0xF0, 0x01, 0xF7}}));
}

TEST(DeviceFirmware, IgnoresWhatIsNotADataFrame)
{
    DeviceFirmware firmware;
    Bytes record = MakeRecord(Payload(3, 9));
    Bytes lowerCase = Frames(record)[0];
    for (uint8_t& c : lowerCase) {
        if (c >= 'A' && c <= 'F') c = uint8_t(c - 'A' + 'a');
    }
    Bytes oddLength = Frames(record)[0];
    oddLength.erase(oddLength.end() - 2);
    Bytes unterminated = Frames(record)[0];
    unterminated.pop_back();
    for (const Bytes& junk : {lowerCase, oddLength, unterminated, Bytes{0xF0, 0xF7}, Bytes{0xF0}, Bytes{}}) {
        firmware.Receive(junk, 0);
    }
    EXPECT_FALSE(firmware.NextDue().has_value());
    uint64_t now = 1;
    EXPECT_EQ(SendRecord(firmware, record, now), Messages{OK});
    EXPECT_EQ(firmware.Flash(), record);
}

}  // namespace
