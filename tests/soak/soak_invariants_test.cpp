// The soak is only as good as its checks: each must fire on the fault it is there for.
#include "tests/soak/soak_invariants.h"
#include "tests/support/image_text.h"

#include <gtest/gtest.h>

namespace {

const std::string kStart = "TAMBRELL Update V0.3 -> TAMBRELL quillstrand System\n";
const std::string kUpdated = "\rTransferring.. 100% done.  \nTarget update successfully!\n\n";
const std::string kRestarts =
    "\rTransferring.. 100% done.  \nTarget update successfully!\n\nThe System is restart, please wait!\n\n";

SoakImage TwoRecords()
{
    SoakImage image;
    image.records = {MakeRecord({1, 2, 3}), MakeRecord({4, 5})};
    return image;
}

// A clean run of `image` that ended with `ending` and `status`, the device holding `flash`.
SimRun EndedRun(const std::string& ending, const std::vector<std::vector<uint8_t>>& flash, int status = 0)
{
    SimRun run;
    run.exitStatus = status;
    run.reported = true;
    run.console = kStart + ending;
    run.report.messagesDelivered = {{0xF0, 0x34, 0xF7}};
    for (const auto& record : flash) {
        run.report.flash.insert(run.report.flash.end(), record.begin(), record.end());
        run.report.messagesDelivered.push_back({0xF0, 0x1A, 0xF7});
    }
    run.report.inputsOpened = run.report.inputsClosed = 1;
    run.report.outputsOpened = run.report.outputsClosed = 2;
    run.report.sleeps = 40;
    return run;
}

TEST(SoakInvariants, SuccessMeansTheDeviceHoldsTheImage)
{
    SoakImage image = TwoRecords();
    const auto& a = image.records[0];
    const auto& b = image.records[1];

    SoakVerdict clean = CheckSoakRun(image, EndedRun(kUpdated, {a, b}));
    EXPECT_TRUE(clean.violations.empty());
    EXPECT_EQ(clean.outcome, "updated");

    EXPECT_FALSE(CheckSoakRun(image, EndedRun(kUpdated, {a})).violations.empty());
    EXPECT_FALSE(CheckSoakRun(image, EndedRun(kUpdated, {b, a})).violations.empty());
    EXPECT_FALSE(CheckSoakRun(image, EndedRun(kUpdated, {a, b, a})).violations.empty());
    // A record kept twice, as a late answer taken for a resend leaves it.
    EXPECT_FALSE(CheckSoakRun(image, EndedRun(kUpdated, {a, a, b})).violations.empty());
}

TEST(SoakInvariants, ARestartCountsAsSuccessOnlyWhenTheDeviceAnnouncedIt)
{
    SoakImage image = TwoRecords();
    SimRun early = EndedRun(kRestarts, {image.records[0]});
    EXPECT_FALSE(CheckSoakRun(image, early).violations.empty());
    early.report.messagesDelivered.push_back({0xF0, 0x77, 0xF7});
    EXPECT_TRUE(CheckSoakRun(image, early).violations.empty());
    EXPECT_EQ(CheckSoakRun(image, early).outcome, "updated, device restarts before the last record");
    EXPECT_EQ(CheckSoakRun(image, EndedRun(kRestarts, image.records)).outcome, "updated, device restarts");

    SimRun wrong = EndedRun(kRestarts, {image.records[1]});
    wrong.report.messagesDelivered.push_back({0xF0, 0x77, 0xF7});
    EXPECT_FALSE(CheckSoakRun(image, wrong).violations.empty());
}

TEST(SoakInvariants, AgainstAnyDeviceEveryClaimNeedsTheDevicesWord)
{
    SoakImage image = TwoRecords();
    // The flash proves nothing here: the replies do.
    SimRun run = EndedRun(kUpdated, {});
    run.report.messagesDelivered = {{0xF0, 0x34, 0xF7}, {0xF0, 0x1A, 0xF7}};
    EXPECT_FALSE(CheckFuzzedRun(image, run).violations.empty());

    // A message longer than the 200-byte buffer goes on in the next one: byte 201 is read too.
    std::vector<uint8_t> longMessage(260, 0x00);
    longMessage[0] = 0xF0;
    longMessage[201] = 0x1A;
    run.report.messagesDelivered.push_back(longMessage);
    EXPECT_TRUE(CheckFuzzedRun(image, run).violations.empty());

    run.report.messagesDelivered.erase(run.report.messagesDelivered.begin());
    EXPECT_FALSE(CheckFuzzedRun(image, run).violations.empty());
    SimRun noMatch = EndedRun("\rTransferring.. - 0% done\nFailed: Target is not responding.\n\n", {}, 3);
    noMatch.report.messagesDelivered = {{0xF0, 0x15, 0xF7}};
    EXPECT_FALSE(CheckFuzzedRun(image, noMatch).violations.empty());
}

TEST(SoakInvariants, AFailureMustBeNamedAndASendFailureNamedAsSuch)
{
    SoakImage image = TwoRecords();
    EXPECT_TRUE(CheckSoakRun(image, EndedRun("\nFailed: Target is not responding.\n\n", {}, 3)).violations.empty());
    // A failure reported as success, and the other way round.
    EXPECT_FALSE(CheckSoakRun(image, EndedRun("\nFailed: Target is not responding.\n\n", {}, 0)).violations.empty());
    EXPECT_FALSE(CheckSoakRun(image, EndedRun(kUpdated, image.records, 3)).violations.empty());
    EXPECT_FALSE(CheckSoakRun(image, EndedRun("\rTransferring.. - 0% done", {})).violations.empty());
    EXPECT_FALSE(CheckSoakRun(image, EndedRun("\rTransferring.. 100% done.  \nError in updating.\n", {})).violations.empty());

    SimRun unplugged = EndedRun("\nError: The MIDI Out of device is missing!\n\n", {}, 2);
    unplugged.report.failedSends = 1;
    EXPECT_TRUE(CheckSoakRun(image, unplugged).violations.empty());
    unplugged.console = kStart + "\nFailed: Target is not responding.\n\n";
    unplugged.exitStatus = 3;
    EXPECT_FALSE(CheckSoakRun(image, unplugged).violations.empty());
}

TEST(SoakInvariants, TheRunMustEndWithinItsLimitsWithEveryPortClosed)
{
    SoakImage image = TwoRecords();
    auto violates = [&](void (*spoil)(SimRun&)) {
        SimRun run = EndedRun(kUpdated, image.records);
        spoil(run);
        return !CheckSoakRun(image, run).violations.empty();
    };
    EXPECT_FALSE(violates([](SimRun&) {}));
    EXPECT_TRUE(violates([](SimRun& r) { r.exitStatus = -1; }));
    EXPECT_TRUE(violates([](SimRun& r) { r.reported = false; }));
    EXPECT_TRUE(violates([](SimRun& r) { r.report.inputsOpen = 1; }));
    EXPECT_TRUE(violates([](SimRun& r) { r.report.outputsClosed = 1; }));
    EXPECT_TRUE(violates([](SimRun& r) { r.report.headersQueued = 1; }));
    EXPECT_TRUE(violates([](SimRun& r) { r.report.foreignFrames = 1; }));

    // The search's 4 outputs asked 3 times of 100 polls, one more request between two quiets of
    // at most 1,500 polls, 19 identification requests of 100 polls, 20 attempts of each one-frame
    // record with its late answer's wait, and the quiet at the end, twice the longest answer.
    EXPECT_EQ(SleepLimit(image), 4300u + 1900 + 2 * 20 * (1 + 1200) + 2 * 1201);
    EXPECT_FALSE(violates([](SimRun& r) { r.report.sleeps = 8602 + 2 * 20 * 1201; }));
    EXPECT_TRUE(violates([](SimRun& r) { r.report.sleeps = 8602 + 2 * 20 * 1201 + 1; }));
}

}  // namespace
