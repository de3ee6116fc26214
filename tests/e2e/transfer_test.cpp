// The record transfer against simulated controllers: progress, retries, every ending, and the
// controller's flash compared with the image.
#include "tests/e2e/console_text.h"
#include "tests/e2e/update_run.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

using Bytes = std::vector<uint8_t>;

const std::string kStart = Opened("quillstrand.kit") + kPorts;
// The simulated controller comes back after its restart.
const std::string kRestart = kRestarts + kWaitingBack + kBack;
const std::string kCrcError = "\nThe CRC of the download file is error!\n";
const std::string kOutMissing = "\nError: The MIDI Out of device is missing!\n\n";

// `count` records, record r of `sizeOf(r)` bytes, every one different.
Bytes Records(unsigned count, const std::function<unsigned(unsigned)>& sizeOf)
{
    Bytes image;
    for (unsigned r = 0; r < count; ++r) {
        Bytes payload(sizeOf(r) - 4);
        for (size_t i = 0; i < payload.size(); ++i) payload[i] = uint8_t(r * 31 + i * 7);
        Bytes record = MakeRecord(payload);
        image.insert(image.end(), record.begin(), record.end());
    }
    return image;
}

// `count` records of `size` bytes each.
Bytes Records(unsigned count, unsigned size)
{
    return Records(count, [size](unsigned) { return size; });
}

std::string Repeat(const std::string& text, unsigned times)
{
    std::string all;
    for (unsigned i = 0; i < times; ++i) all += text;
    return all;
}

TEST(Transfer, SendsEveryRecordWithItsProgressAndFillsTheFlash)
{
    Bytes image = Records(10, 100);
    SimRun run = RunUpdateOf(image, "");
    std::string progress;
    for (unsigned r = 0; r < 10; ++r) progress += Progress(r, r * 10);
    EXPECT_EQ(run.console, kStart + progress + kSuccess);
    EXPECT_EQ(run.report.flash, image);
    // The identification request, then per record four full frames and one of 8 bytes.
    ASSERT_EQ(run.report.framesSent.size(), 1u + 10 * 5);
    EXPECT_EQ(run.report.framesSent[4].size(), 48u);
    EXPECT_EQ(run.report.framesSent[5].size(), 18u);

    Bytes largest = MakeRecord(Bytes(65531, 0xA5));
    SimRun whole = RunUpdateOf(largest, "");
    EXPECT_EQ(whole.console, kStart + Progress(0, 0) + kSuccess);
    EXPECT_EQ(whole.report.flash, largest);
    EXPECT_EQ(whole.report.framesSent.size(), 1u + 2850);
}

TEST(Transfer, CutsRecordsIntoFramesOfHexText)
{
    Bytes image;
    for (unsigned size : {6u, 23u, 46u, 47u, 50u}) {
        Bytes record = Records(1, size);
        image.insert(image.end(), record.begin(), record.end());
    }
    SimRun run = RunUpdateOf(image, "");
    ASSERT_EQ(run.report.flash, image);
    std::vector<size_t> sizes;
    std::string text;
    for (size_t i = 1; i < run.report.framesSent.size(); ++i) {
        const Bytes& frame = run.report.framesSent[i];
        sizes.push_back(frame.size());
        EXPECT_EQ(frame.front(), 0xF0);
        EXPECT_EQ(frame.back(), 0xF7);
        text.append(frame.begin() + 1, frame.end() - 1);
    }
    EXPECT_EQ(sizes, (std::vector<size_t>{14, 48, 48, 48, 48, 48, 4, 48, 48, 10}));
    std::string expected;
    for (uint8_t b : image) {
        char pair[3];
        snprintf(pair, sizeof pair, "%02X", b);
        expected += pair;
    }
    EXPECT_EQ(text, expected);
}

TEST(Transfer, RetriesARefusedRecordWithTheRefusalsMessage)
{
    Bytes image = Records(1, 30);
    SimRun codes = RunUpdateOf(image, "reply=1.1:21; reply=1.2:22; reply=1.3:24; reply=1.4:25; reply=1.5:55");
    std::string p = Progress(0, 0);
    EXPECT_EQ(codes.console, kStart + p + "\nThe download file has been damaged!\n" + p +
                                 "\nThe download file has been damaged!\n" + p +
                                 "\nThe download file verifies error!\n" + p + "\nThe MCU erases error!\n" +
                                 p + p + kSuccess);
    EXPECT_EQ(codes.report.flash, image);

    SimRun refused = RunUpdateOf(image, "reply=*.*:20");
    EXPECT_EQ(refused.console, kStart + p + Repeat(kCrcError + p, 19) + "\nError in updating.\n");
    EXPECT_TRUE(refused.report.flash.empty());

    // Nineteen failures before each record are not twenty in a row.
    Bytes three = Records(3, 30);
    SimRun stubborn = RunUpdateOf(three, "reply=*.1-19:20");
    EXPECT_EQ(stubborn.console, kStart + Progress(0, 0) + Repeat(kCrcError + Progress(0, 0), 19) +
                                    Progress(1, 33) + Repeat(kCrcError + Progress(1, 33), 19) +
                                    Progress(2, 66) + Repeat(kCrcError + Progress(2, 66), 19) + kSuccess);
    EXPECT_EQ(stubborn.report.flash, three);

    SimRun once = RunUpdateOf(three, "reply=3.1:20");
    EXPECT_EQ(once.console, kStart + Progress(0, 0) + Progress(1, 33) + Progress(2, 66) + kCrcError +
                                Progress(2, 66) + kSuccess);
}

TEST(Transfer, GivesUpOnARecordNeverAnsweredAndWaitsLongerNearTheEnd)
{
    Bytes image = Records(10, 100);
    SimRun first = RunUpdateOf(image, "silent-from=1");
    EXPECT_EQ(first.console, kStart + Repeat(Progress(0, 0), 20) + kNotResponding);
    EXPECT_EQ(first.report.framesSent.size(), 1u + 20 * 5);
    // One poll for the identification, then per attempt a sleep after each of 5 frames, 50 polls
    // and 1,000 more for a late answer.
    EXPECT_EQ(first.report.sleptMs, 1u + 20 * (5 + 50 + 1000));

    SimRun last = RunUpdateOf(image, "silent-from=10");
    std::string progress;
    for (unsigned r = 0; r < 9; ++r) progress += Progress(r, r * 10);
    EXPECT_EQ(last.console, kStart + progress + Repeat(Progress(9, 90), 20) + kNotResponding);
    EXPECT_EQ(last.report.sleptMs, 1u + 9 * 5 + 20 * (5 + 200 + 1000));
    EXPECT_EQ(last.report.flash, Bytes(image.begin(), image.begin() + 900));

    // Record 18 of 20 starts at exactly 85 percent: its answer after 100 ms is still waited for.
    Bytes twenty = Records(20, 6);
    SimRun slow = RunUpdateOf(twenty, "slow=18.1:100");
    progress.clear();
    for (unsigned r = 0; r < 20; ++r) progress += Progress(r, r * 5);
    EXPECT_EQ(slow.console, kStart + progress + kSuccess);
    EXPECT_EQ(slow.report.flash, twenty);
}

TEST(Transfer, EndsAtTheRestartCodeUnlessItIsTheTwentiethFailure)
{
    Bytes three = Records(3, 30);
    SimRun early = RunUpdateOf(three, "reply=2.1:77");
    EXPECT_EQ(early.console, kStart + Progress(0, 0) + Progress(1, 33) + kRestart);

    SimRun sized = RunUpdateOf(three, "size=90");
    EXPECT_EQ(sized.console, kStart + Progress(0, 0) + Progress(1, 33) + Progress(2, 66) + kRestart);
    EXPECT_EQ(sized.report.flash, three);

    SimRun twentieth = RunUpdateOf(three, "reply=1.1-19:20; reply=1.20:77");
    EXPECT_EQ(twentieth.console,
              kStart + Progress(0, 0) + Repeat(kCrcError + Progress(0, 0), 19) + "\nError in updating.\n");
}

TEST(Transfer, TakesAnAnswerOnlyAsTheAnswerToTheSendItFollows)
{
    Bytes image = Records(4, 6);
    // A lone byte during the wait is no answer: the real one, a few ms later, is taken at once.
    SimRun stray = RunUpdateOf(image, "slow=1.1:5; stray=3");
    EXPECT_EQ(stray.console, kStart + Progress(0, 0) + Progress(1, 25) + Progress(2, 50) + Progress(3, 75) + kSuccess);

    // Every answer after the record's 50 polls is still its own: the refused record goes out once
    // more, and no answer is taken for the send after it.
    SimRun slow = RunUpdateOf(image, "delay=60; reply=2.1:20");
    EXPECT_EQ(slow.console, kStart + Progress(0, 0) + Progress(1, 25) + kCrcError + Progress(1, 25) +
                                Progress(2, 50) + Progress(3, 75) + kSuccess);
    EXPECT_EQ(slow.report.flash, image);

    // Later than 50 + 1,000 polls: the record goes out again and the late answer is taken for it;
    // the answer to the last record comes in the quiet after it, and no success is claimed.
    SimRun late = RunUpdateOf(image, "slow=2.1:1100");
    EXPECT_EQ(late.console, kStart + Progress(0, 0) + Progress(1, 25) + Progress(1, 25) + Progress(2, 50) +
                                Progress(3, 75) + kRepliedTooLate);
    EXPECT_EQ(late.exitStatus, 3);
    // A device that restarts falls silent: after such a lag its restart code proves nothing, even
    // when that code is the one late answer and every answer that came was taken.
    for (const char* script : {"slow=2.1:1100; size=24", "slow=4.1:1100; size=24"}) {
        SimRun restarted = RunUpdateOf(image, script);
        EXPECT_NE(restarted.console.find(kRepliedTooLate), std::string::npos) << script;
        EXPECT_EQ(restarted.exitStatus, 3) << script;
    }
    // A refusal is the answer to the send it follows: no lag, and the restart code is believed.
    SimRun refusedThenRestarted = RunUpdateOf(image, "reply=2.1:20; size=24");
    EXPECT_EQ(refusedThenRestarted.console, kStart + Progress(0, 0) + Progress(1, 25) + kCrcError +
                                                Progress(1, 25) + Progress(2, 50) + Progress(3, 75) + kRestart);
    EXPECT_EQ(refusedThenRestarted.report.flash, image);

    // Two late answers in one run: the first makes the record go out again and is taken for that
    // resend; the second, for a record further on, comes after the last answer taken, later than a
    // record's whole wait. The device holds a record twice, so no success may be claimed.
    Bytes forty = Records(40, [](unsigned r) { return 4 + (r * 7) % 56 + 1; });
    SimRun twoLate = RunUpdateOf(forty, "slow=32.1:1065; slow=37.1:1231");
    EXPECT_NE(twoLate.console.find(kRepliedTooLate), std::string::npos);
    EXPECT_EQ(twoLate.exitStatus, 3);
    EXPECT_NE(twoLate.report.flash, forty);

    // From 85 percent on the wait is 200 + 1,000 polls: 1,150 ms is in time for record 18 of 20,
    // not for record 17.
    Bytes twenty = Records(20, 6);
    EXPECT_EQ(RunUpdateOf(twenty, "slow=18.1:1150").exitStatus, 0);
    EXPECT_EQ(RunUpdateOf(twenty, "slow=17.1:1150").exitStatus, 3);

    // The answer to attempt 1 arrives while the record goes out again, and the controller drops
    // that second copy: the answer is right after all, and the quiet that follows proves it.
    SimRun dropped = RunUpdateOf(Records(1, 6), "late=1.1; silent=2.1");
    EXPECT_EQ(dropped.console, kStart + Progress(0, 0) + Progress(0, 0) + kSuccess);
    EXPECT_EQ(dropped.report.sleptMs, 1u + (1 + 50 + 1000) + 1 + 1500);

    // A "kept" that comes while the first record goes out answers no record: it is thrown away,
    // the last record's refusal is taken for that record, and the message was one too many.
    Bytes hundreds = Records(4, 100);
    SimRun midRecord = RunUpdateOf(hundreds, "delay=30; send=32:F0 1A F7; reply=4.1:20");
    EXPECT_EQ(midRecord.console, kStart + Progress(0, 0) + Progress(1, 25) + Progress(2, 50) + Progress(3, 75) +
                                     kCrcError + Progress(3, 75) + kRepliedTooLate);
    EXPECT_EQ(midRecord.report.flash, hundreds);

    // An answer to the identification that comes while a record goes out is one answer too many,
    // even when its code reads as a refusal.
    for (const char* script : {"send=0:F0 34 F7", "delay=46; model=20; send=0:F0 34 F7"}) {
        SimRun early = RunUpdateOf(Records(4, 100), script);
        EXPECT_EQ(early.exitStatus, 3) << script;
        EXPECT_NE(early.console.find(kRepliedTooLate), std::string::npos) << script;
    }
    // Taken as the first record's refusal (24 reads as a verify error), the identification's own
    // answer sends that record again, which the device keeps twice: the device's late 1A for the
    // first copy must not be taken as the last record's answer with nothing more awaited.
    SimRun refused = RunUpdateOf(Records(4, 6), "model=24; send=0:F0 34 F7; slow=1.1:1440");
    EXPECT_EQ(refused.exitStatus, 3);
    EXPECT_NE(refused.console.find(kRepliedTooLate), std::string::npos);
}

TEST(Transfer, ListensForAQuietAfterTheLastAnswerBeforeClaimingSuccess)
{
    Bytes image = Records(4, 100);
    const std::string progress = Progress(0, 0) + Progress(1, 25) + Progress(2, 50) + Progress(3, 75);
    // A "kept" the device sends on its own after the first record's last frame is taken for that
    // record: every later answer comes one record behind, and the last record's refusal comes in
    // the quiet after the answer taken for it.
    SimRun own = RunUpdateOf(image, "delay=30; send=38:F0 1A F7; reply=4.1:20");
    EXPECT_EQ(own.console, kStart + progress + kRepliedTooLate);
    EXPECT_EQ(own.report.acceptedRecords, 3u);

    // The first record's answer doubled: the third record's refusal is taken for the fourth, which
    // goes out again and is kept twice.
    SimRun doubled = RunUpdateOf(image, "delay=30; before=1.1:F0 1A F7; reply=3.1:20");
    EXPECT_EQ(doubled.console, kStart + progress + kCrcError + Progress(3, 75) + kRepliedTooLate);
    EXPECT_NE(doubled.report.flash, image);

    // A lone byte in the quiet does not end it: the refusal still on its way after it is heard.
    SimRun strayInQuiet = RunUpdateOf(Records(1, 6), "delay=30; send=32:F0 1A F7; reply=1.1:20; stray=34");
    EXPECT_EQ(strayInQuiet.console, kStart + Progress(0, 0) + kRepliedTooLate);
    EXPECT_EQ(strayInQuiet.exitStatus, 3);

    // The quiet is twice the longest answer, at least 100 ms: identification's answer, then per
    // record a sleep after each of 5 frames and the polls until its answer.
    EXPECT_EQ(RunUpdateOf(image, "").report.sleptMs, 1u + 4 * 5 + 100);
    EXPECT_EQ(RunUpdateOf(image, "delay=70").report.sleptMs, 70u + 4 * (5 + 69) + 2 * 70);
}

TEST(Transfer, TakesTheFirstAnswerWhateverElseCameDuringTheWait)
{
    Bytes image = Records(2, 30);
    // Cut short by the answer's F0 (active sensing inside), by a note; short messages alone.
    for (const char* before : {"F0 FE 20", "F0 20 90 40 7F", "FE 90 40 7F 40 00 F8"}) {
        SimRun run = RunUpdateOf(image, std::string("slow=*.1:5; before=*.1:") + before);
        EXPECT_EQ(run.console, kStart + Progress(0, 0) + Progress(1, 50) + kSuccess) << before;
        EXPECT_EQ(run.report.flash, image) << before;
    }
}

TEST(Transfer, SendsAFrameAgainWhileTheOutputIsNotReady)
{
    Bytes image = Records(4, 100);
    const std::string progress = Progress(0, 0) + Progress(1, 25) + Progress(2, 50) + Progress(3, 75);
    SimRun ready = RunUpdateOf(image, "");
    // The identification request, and a record's second frame (frame 3), refused once: sent again
    // 1 ms later, and nothing shows.
    for (const char* script : {"not-ready=1:1", "not-ready=3:1"}) {
        SimRun once = RunUpdateOf(image, script);
        EXPECT_EQ(once.console, ready.console) << script;
        EXPECT_EQ(once.report.flash, image) << script;
        EXPECT_EQ(once.report.framesSent, ready.report.framesSent) << script;
        EXPECT_EQ(once.report.sleptMs, ready.report.sleptMs + 1) << script;
    }
    // Five times, waits of 1 to 16 ms: past the controller's resync gap of 20 ms it has dropped
    // the half record and leaves the rest unanswered, so the record goes out again whole.
    SimRun five = RunUpdateOf(image, "not-ready=3:5");
    EXPECT_EQ(five.console, kStart + Progress(0, 0) + progress + kSuccess);
    EXPECT_EQ(five.report.flash, image);

    // Never ready: after waits that double up to 100 ms, about a second in all, the send fails.
    SimRun never = RunUpdateOf(image, "not-ready=3:always");
    EXPECT_EQ(never.console, kStart + Progress(0, 0) + kOutMissing);
    EXPECT_EQ(never.report.sleptMs, 1u + 1 + (1 + 2 + 4 + 8 + 16 + 32 + 64 + 9 * 100));
}

TEST(Transfer, EndsWhenTheControllerVanishesMidRecord)
{
    Bytes image = Records(2, 100);
    // Frame 1 is the identification request; the first record goes out as frames 2 to 6.
    for (unsigned frame : {3u, 6u, 8u}) {
        SimRun run = RunUpdateOf(image, "unplug=" + std::to_string(frame));
        std::string progress = Progress(0, 0) + (frame > 6 ? Progress(1, 50) : "");
        EXPECT_EQ(run.console, kStart + progress + kOutMissing) << frame;
    }
}

}  // namespace
