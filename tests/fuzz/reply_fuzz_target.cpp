// The whole tool, in this process, against a simulated device whose answers and extra messages
// come from the fuzzer's bytes: arbitrary SysEx at arbitrary moments of identification and
// transfer, refusals with any code, silence, slowness, an unplugged device. Beyond not crashing:
// each run ends within the retry limits with every port closed, its last message names the
// outcome, and the tool claims no match, success or restart that the device's messages did not
// give it (tests/soak/soak_invariants.h).
//
// Input, byte by byte (missing bytes read as 0):
//   image (mod 3: one record; three records of 6, 50 and 23 bytes; ten of 100 bytes),
//   model (0 mod 4: the next byte is the device's model code; otherwise 34), reply delay in ms,
//   silent identifications (20 or more: always), flags (1: the device knows the firmware's size
//   and answers 77 at its end; 2: unplugged at the frame in the next two bytes; 4: the next byte,
//   mod 4, output unprepares say the frame is still playing),
//   then events until the input ends, each a kind byte (mod 3) and its bytes:
//     0  a message: time in ms (two bytes, mod 8192), length, that many bytes sent as they are
//     1  an attempt rule: record (mod 10, from 1), first attempt (mod 24, from 1), attempts
//        (mod 24), fault (mod 3: answer with the code, silence, answer late), code
//     2  silence from a record (mod 11; 0: none)
#include "app/run_update.h"
#include "backends/sim/simulator.h"
#include "midi/reply_handover.h"
#include "tests/soak/soak_invariants.h"
#include "tests/support/image_text.h"
#include "tests/support/temp_folder.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

namespace {

class InputBytes {
public:
    InputBytes(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    bool Empty() const { return at_ >= size_; }
    uint8_t Next() { return at_ < size_ ? data_[at_++] : 0; }
    uint32_t Next16() { return uint32_t(Next()) << 8 | Next(); }

private:
    const uint8_t* data_;
    size_t size_;
    size_t at_ = 0;
};

SoakImage Image(uint8_t choice)
{
    auto bytes = [](size_t n, uint8_t seed) {
        std::vector<uint8_t> payload(n);
        for (size_t i = 0; i < n; ++i) payload[i] = uint8_t(seed + 7 * i);
        return payload;
    };
    SoakImage image;
    switch (choice % 3) {
    case 0: image.records = {MakeRecord({0x12, 0x34})}; break;
    case 1: image.records = {MakeRecord(bytes(2, 1)), MakeRecord(bytes(46, 2)), MakeRecord(bytes(19, 3))}; break;
    default:
        for (uint8_t i = 0; i < 10; ++i) image.records.push_back(MakeRecord(bytes(96, i)));
    }
    image.text = ToImageText(image.Concatenated());
    return image;
}

SimSetup Setup(InputBytes& input, const SoakImage& image)
{
    SimSetup setup;
    setup.clock = SimClock::Virtual;
    FirmwareSetup& device = setup.controller.firmware;
    if (input.Next() % 4 == 0) device.model = input.Next();
    device.replyDelayMs = input.Next();
    uint8_t silent = input.Next();
    device.silentIdentifications = silent >= 20 ? ALWAYS : silent;
    uint8_t flags = input.Next();
    if (flags & 1) device.firmwareSize = uint32_t(image.Bytes());
    if (flags & 2) setup.controller.unplugAtFrame = input.Next16();
    if (flags & 4) setup.stillPlayingUnprepares = input.Next() % 4;

    while (!input.Empty()) {
        switch (input.Next() % 3) {
        case 0: {
            ScheduledMessage message;
            message.atMs = input.Next16() % 8192;
            for (uint8_t length = input.Next(); length > 0 && !input.Empty(); --length) {
                message.bytes.push_back(input.Next());
            }
            device.scheduled.push_back(message);
            break;
        }
        case 1: {
            AttemptRule rule;
            rule.records.first = rule.records.last = 1 + input.Next() % 10;
            rule.attempts.first = 1 + input.Next() % 24;
            rule.attempts.last = rule.attempts.first + input.Next() % 24;
            rule.fault = AttemptFault(input.Next() % 3);
            rule.code = input.Next();
            device.attemptRules.push_back(rule);
            break;
        }
        default:
            device.silentFromRecord = input.Next() % 11;
        }
    }
    return setup;
}

// The console goes to a file in memory, read back after each run; the pause finds no terminal.
struct Console {
    int fd;

    Console() : fd(memfd_create("console", 0))
    {
        int nothing = open("/dev/null", O_RDONLY);
        dup2(nothing, STDIN_FILENO);
        close(nothing);
    }
    void Begin()
    {
        fflush(stdout);
        ftruncate(fd, 0);
        lseek(fd, 0, SEEK_SET);
        dup2(fd, STDOUT_FILENO);
    }
    std::string End()
    {
        fflush(stdout);
        std::string text(size_t(lseek(fd, 0, SEEK_CUR)), '\0');
        pread(fd, text.data(), text.size(), 0);
        return text;
    }
};

// The tool runs in a folder of its own holding just the image.
const TempFolder& Folder()
{
    static TempFolder folder;
    static const bool entered = chdir(folder.path().c_str()) == 0;
    if (!entered) abort();
    return folder;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static Console console;
    InputBytes input(data, size);
    SoakImage image = Image(input.Next());
    Folder().Write("quillstrand.kit", image.text);
    SimSetup setup = Setup(input, image);

    ConfigureSimulator(setup);
    // A fresh process in real life: nothing received before this run.
    ResetReplyHandover();
    console.Begin();
    SimRun run;
    run.exitStatus = RunUpdate();
    run.console = console.End();
    run.reported = true;
    run.report = SimulatorCounts();

    SoakVerdict verdict = CheckFuzzedRun(image, run);
    if (verdict.violations.empty()) return 0;
    for (const std::string& violation : verdict.violations) fprintf(stderr, "reply fuzz target: %s\n", violation.c_str());
    fprintf(stderr, "console:\n%s\n", run.console.c_str());
    abort();
}
