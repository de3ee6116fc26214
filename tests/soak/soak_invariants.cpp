#include "tests/soak/soak_invariants.h"

#include "tests/support/run_endings.h"

#include <algorithm>

namespace {

const std::string kSuccess = "Target update successfully!\n";
const std::string kDone = "\rTransferring.. 100% done.  \n";

// The reply codes the tool could have read: byte 1 of each buffer's worth of every message that
// reached it (a message longer than the buffer goes on in the next one).
std::vector<uint8_t> CodesDelivered(const RunCounts& report)
{
    const size_t bufferSize = 200;
    std::vector<uint8_t> codes;
    for (const auto& message : report.messagesDelivered) {
        for (size_t at = 0; at + 1 < message.size(); at += bufferSize) codes.push_back(message[at + 1]);
    }
    return codes;
}

size_t CountOf(const std::vector<uint8_t>& codes, uint8_t code)
{
    return size_t(std::count(codes.begin(), codes.end(), code));
}

// A device that keeps what it acknowledges: the flash must show what the console claims, byte for
// byte (a record kept twice is a damaged firmware).
void CheckFlash(const SoakImage& image, const SimRun& run, bool success, SoakVerdict& verdict)
{
    const std::vector<uint8_t>& flash = run.report.flash;
    std::vector<uint8_t> start;
    size_t records = 0;
    while (start.size() < flash.size() && records < image.records.size()) {
        start.insert(start.end(), image.records[records].begin(), image.records[records].end());
        ++records;
    }
    if (success && verdict.outcome == "updated" && (flash != start || records < image.records.size())) {
        verdict.violations.push_back("success printed, but the device's flash is not the image");
    }
    if (success && verdict.outcome == "updated, device restarts") {
        if (flash != start) {
            verdict.violations.push_back("success printed, but the device's flash is not the image's start");
        } else if (records < image.records.size()) {
            // The tool takes the device's word for it, records left or not.
            verdict.outcome = "updated, device restarts before the last record";
        }
    }
}

// Whatever the device sends, the tool may only claim what its messages said.
void CheckClaims(const SoakImage& image, const SimRun& run, bool success, SoakVerdict& verdict)
{
    std::vector<uint8_t> codes = CodesDelivered(run.report);
    if (run.console.find("Transferring..") != std::string::npos && CountOf(codes, 0x34) == 0) {
        verdict.violations.push_back("the transfer began, but the device never identified as 34");
    }
    if (success && verdict.outcome == "updated" && CountOf(codes, 0x1A) < image.records.size()) {
        verdict.violations.push_back("success printed with fewer 1A replies than records");
    }
    if (success && verdict.outcome == "updated, device restarts" && CountOf(codes, 0x77) == 0) {
        verdict.violations.push_back("restart announced, but the device never sent 77");
    }
}

void CheckOutcome(const SoakImage& image, const SimRun& run, bool truthfulDevice, SoakVerdict& verdict)
{
    const RunEnding* ending = EndingOf(run.console);
    if (!ending) {
        verdict.outcome = "unnamed end";
        verdict.violations.push_back("the console does not end with a message naming the outcome");
        return;
    }
    verdict.outcome = ending->outcome;
    if (run.exitStatus != ending->exitStatus) {
        verdict.violations.push_back("exit status " + std::to_string(run.exitStatus) + " for the outcome '" +
                                     verdict.outcome + "'");
    }
    bool success = run.console.find(kSuccess) != std::string::npos;
    CheckClaims(image, run, success, verdict);
    if (truthfulDevice) CheckFlash(image, run, success, verdict);
    if (!success && run.console.find(kDone) != std::string::npos) {
        verdict.violations.push_back("100% done printed for a failed update");
    }
    // A controller that vanishes while the tool looks for it among several devices is not found;
    // one that vanishes while the tool waits for it to restart or come back is looked for again.
    bool lostInTheSearch = verdict.outcome == "no device";
    bool lostInAWait = run.console.find("The controller is restarting. Waiting up to") != std::string::npos ||
                       run.console.find("for the controller to come back...") != std::string::npos;
    if (run.report.failedSends > 0 && verdict.outcome != "send failed" && !lostInTheSearch && !lostInAWait) {
        verdict.violations.push_back("a send failed, but the run did not report the missing MIDI Out");
    }
}

void CheckPorts(const RunCounts& report, SoakVerdict& verdict)
{
    if (report.inputsOpen != 0 || report.inputsOpened != report.inputsClosed) {
        verdict.violations.push_back("an input port was left open");
    }
    if (report.outputsOpen != 0 || report.outputsOpened != report.outputsClosed) {
        verdict.violations.push_back("an output port was left open");
    }
    if (report.headersQueued != 0) verdict.violations.push_back("an input buffer was left queued");
    if (report.foreignFrames != 0) verdict.violations.push_back("a port other than the controller's got a record");
}

}  // namespace

uint64_t SleepLimit(const SoakImage& image)
{
    // The search asks each of at most four outputs three times, then the pair found once more
    // between two quiets, before identification.
    // The quiet before a success is at most twice the longest answer, one at the end of its wait.
    const uint64_t searchPolls = 4 * 3 * 100 + 1500 + 100 + 1500, identifyRequests = 19, identifyPolls = 100, attempts = 20,
                   replyPolls = 200 + 1000, quietPolls = 2 * (1 + replyPolls);
    uint64_t limit = searchPolls + identifyRequests * identifyPolls + quietPolls;
    for (const auto& record : image.records) limit += attempts * ((record.size() + 22) / 23 + replyPolls);
    return limit;
}

static SoakVerdict CheckRun(const SoakImage& image, const SimRun& run, bool truthfulDevice)
{
    SoakVerdict verdict;
    if (run.exitStatus < 0 || !run.reported) {
        verdict.outcome = "did not end normally";
        verdict.violations.push_back("exit status " + std::to_string(run.exitStatus) +
                                     (run.reported ? "" : ", no report written"));
        return verdict;
    }
    if (run.report.sleeps > SleepLimit(image)) {
        verdict.violations.push_back("slept " + std::to_string(run.report.sleeps) + " times, more than the retry limits allow");
    }
    CheckOutcome(image, run, truthfulDevice, verdict);
    CheckPorts(run.report, verdict);
    return verdict;
}

SoakVerdict CheckSoakRun(const SoakImage& image, const SimRun& run)
{
    return CheckRun(image, run, true);
}

SoakVerdict CheckFuzzedRun(const SoakImage& image, const SimRun& run)
{
    return CheckRun(image, run, false);
}
