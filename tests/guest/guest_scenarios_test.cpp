// The guest's results, scenario by scenario, against the same scenario run on the simulated
// service (its twin): the unchanged tool must print the same console text byte for byte (the
// Windows program under Wine: once the CR before every LF is taken out),
// the device program must have seen the same frames, and its flash must hold what the twin's does.
// scripts/test-guest.sh runs this after the guest has run, with
//   TAMBRELL_GUEST_RESULTS  the folder of the scenarios' result folders
//   TAMBRELL_GUEST_IMAGES   the folder of the images they used
#include "controller/device_firmware.h"
#include "tests/guest/guest_devices.h"
#include "tests/support/sim_run.h"
#include "tests/support/temp_folder.h"
#include "world/run_report.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iomanip>
#include <iostream>
#include <iterator>
#include <sstream>
#include <type_traits>

namespace {

namespace fs = std::filesystem;

struct Scenario {
    std::string name;
    std::string kind;  // "usb", "wine", "wine_64", "web" or "web_firefox"
    std::vector<GuestDevice> devices;
    std::string image;
    std::string deviceScript;
    std::string twinScript;
    std::vector<std::string> arguments;  // the program's, and its twin's
};

std::string Trim(const std::string& text)
{
    size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string::npos) return "";
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

std::vector<std::string> Words(const std::string& text)
{
    std::vector<std::string> words;
    std::istringstream in(text);
    for (std::string word; in >> word;) words.push_back(word);
    return words;
}

std::vector<Scenario> ReadScenarioTable()
{
    std::vector<Scenario> scenarios;
    std::ifstream table(TAMBRELL_GUEST_SCENARIOS);
    std::string line;
    while (std::getline(table, line)) {
        if (Trim(line).empty() || Trim(line)[0] == '#') continue;
        std::vector<std::string> fields;
        std::istringstream row(line);
        std::string field;
        while (std::getline(row, field, '|')) fields.push_back(Trim(field));
        fields.resize(7);
        scenarios.push_back({fields[0], fields[1], ParseDevices(fields[2]), fields[3], fields[4],
                             fields[5], Words(fields[6])});
    }
    return scenarios;
}

std::vector<Scenario> ScenariosOfProgram(const std::string& program)
{
    std::vector<Scenario> scenarios;
    for (const Scenario& scenario : ReadScenarioTable()) {
        if (ProgramOf(scenario.kind) == program) scenarios.push_back(scenario);
    }
    return scenarios;
}

fs::path FromEnvironment(const char* name)
{
    const char* value = std::getenv(name);
    return value ? fs::path(value) : fs::path();
}

std::string ReadFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) ADD_FAILURE() << "missing: " << path;
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<uint8_t> ImageBytes(const std::string& text)
{
    std::vector<uint8_t> bytes;
    std::istringstream in(text);
    unsigned value;
    while (in >> std::hex >> value) bytes.push_back(uint8_t(value));
    return bytes;
}

void PrintTo(const Scenario& scenario, std::ostream* out) { *out << scenario.name; }

std::string Escaped(const std::string& text)
{
    std::string shown;
    for (char c : text) {
        if (c == '\r') shown += "\\r";
        else if (c == '\n') shown += "\\n";
        else shown += c;
    }
    return shown;
}

// Where two long texts or byte strings part, with a little of each from there: the whole of a
// transfer's console or flash is too much to read.
template <typename Sequence>
testing::AssertionResult SameAs(const char* guestExpression, const char* twinExpression,
                                const Sequence& guest, const Sequence& twin)
{
    if (guest == twin) return testing::AssertionSuccess();
    size_t at = 0;
    while (at < guest.size() && at < twin.size() && guest[at] == twin[at]) ++at;
    auto from = [at](const Sequence& all) {
        std::ostringstream part;
        for (size_t i = at; i < all.size() && i < at + 40; ++i) {
            if constexpr (std::is_same_v<Sequence, std::string>) {
                part << Escaped(std::string(1, all[i]));
            } else {
                part << std::hex << std::uppercase << std::setw(2) << std::setfill('0')
                     << unsigned(all[i]) << ' ';
            }
        }
        return part.str();
    };
    return testing::AssertionFailure()
           << guestExpression << " (" << guest.size() << " bytes) and " << twinExpression << " ("
           << twin.size() << " bytes) part at byte " << at << ":\n  guest: " << from(guest)
           << "\n  twin:  " << from(twin);
}

testing::AssertionResult SameFrames(const char* guestExpression, const char* twinExpression,
                                    const std::vector<std::vector<uint8_t>>& guest,
                                    const std::vector<std::vector<uint8_t>>& twin)
{
    size_t at = 0;
    while (at < guest.size() && at < twin.size() && guest[at] == twin[at]) ++at;
    if (at == guest.size() && at == twin.size()) return testing::AssertionSuccess();
    if (at == guest.size() || at == twin.size()) {
        return testing::AssertionFailure() << guestExpression << " has " << guest.size()
                                           << " frames, " << twinExpression << " " << twin.size();
    }
    return SameAs(("frame " + std::to_string(at + 1) + " of " + guestExpression).c_str(),
                  twinExpression, guest[at], twin[at]);
}

// The twin's devices carry the names the guest's program sees, in its order, so that the device
// lines and the order of asking match too. The simulated service tells controllers apart by
// name, so a second controller of the same name is "<name> 2" in the twin: its name is never
// printed, as the tool refuses two controllers.
std::string TwinScript(const Scenario& scenario)
{
    std::string names, devices;
    bool controllerSeen = false;
    for (const SeenPort& port : PortsSeen(scenario.kind, scenario.devices)) {
        std::string name = port.name;
        switch (scenario.devices[port.device]) {
        case GuestDevice::Controller:
            if (names.find(name) != std::string::npos) name += " 2";
            devices += (controllerSeen ? "second=" : "controller=") + name + "; ";
            controllerSeen = true;
            break;
        case GuestDevice::Through: devices += "loop=" + name + "; "; break;
        case GuestDevice::Keys: break;  // a port of another name ignores SysEx
        }
        names += (names.empty() ? "" : ",") + name;
    }
    return "clock=virtual; in=" + names + "; out=" + names + "; " + devices + scenario.twinScript;
}

// The scenario on the simulated service, with the image the guest used.
SimRun RunTwin(const Scenario& scenario, const std::string& imageText)
{
    TempFolder folder;
    folder.Write(scenario.image, imageText);
    return RunSimulated(folder.path(), TwinScript(scenario), scenario.arguments);
}

bool Completes(const std::string& console)
{
    return console.find("Target update successfully!") != std::string::npos;
}

// How many identification requests `frames` begin with.
size_t LeadingRequests(const std::vector<std::vector<uint8_t>>& frames)
{
    size_t count = 0;
    while (count < frames.size() && IsIdentifyRequest(frames[count])) ++count;
    return count;
}

// How many identification requests `frames` end with after an update's frames: the controller
// that restarted after its update is asked who it is once it is back.
size_t RequestsAfterUpdate(const std::vector<std::vector<uint8_t>>& frames)
{
    size_t count = 0;
    while (count < frames.size() && IsIdentifyRequest(frames[frames.size() - 1 - count])) ++count;
    return count == frames.size() ? 0 : count;
}

// What the twin's update sent its controller once it was identified: the twin's report lists the
// frames that reached any port, and only identification requests reach another port.
std::vector<std::vector<uint8_t>> TwinUpdateFrames(const RunCounts& twin)
{
    std::vector<std::vector<uint8_t>> frames;
    for (const auto& frame : twin.framesSent) {
        if (!IsIdentifyRequest(frame)) frames.push_back(frame);
    }
    return frames;
}

// How many frames at `at` repeat, one for one, the frames just before them: 0 when none do.
size_t RepeatAt(const std::vector<std::vector<uint8_t>>& frames, size_t at)
{
    for (size_t count = 1; count <= at && at + count <= frames.size(); ++count) {
        if (std::equal(frames.begin() + at - count, frames.begin() + at, frames.begin() + at)) return count;
    }
    return 0;
}

// The frames of a device's update (after it was identified), without the records sent again that
// its own drops explain. A record whose frames came too far apart (a program's thread sending
// frame by frame may stall mid-record in the emulated CPU) is dropped half-received and goes
// unanswered, and the program sends it again from its start: the same frames once more, right
// after themselves, where the twin's go on. Each of the `drops` lets one such repeat go, no other.
std::vector<std::vector<uint8_t>> WithoutResendsOfDrops(
    const std::vector<std::vector<uint8_t>>& sent, uint64_t drops,
    const std::vector<std::vector<uint8_t>>& twin)
{
    std::vector<std::vector<uint8_t>> kept;
    for (size_t at = 0; at < sent.size();) {
        bool differs = kept.size() >= twin.size() || sent[at] != twin[kept.size()];
        size_t repeat = differs && drops > 0 ? RepeatAt(sent, at) : 0;
        if (repeat != 0) {
            at += repeat;
            --drops;
        } else {
            kept.push_back(sent[at++]);
        }
    }
    return kept;
}

// The first controller program's report against the twin's controller: the same flash; asked who
// it is at least as often (in a real browser an answer may miss a wait that the twin's never
// misses, and the question is asked again), then sent the same frames, but for the records sent
// again after the device dropped them. Firefox is handed each record's frames with their times
// and keeps their pace: its device drops none. Chromium sends them from a thread of its browser
// process, which the emulated CPU may hold up past the device's 20 ms, as a program's own thread.
// A device that is unplugged sees only the frames sent before that. One that restarted after its
// update is asked again once it is back, when the twin's is, as often as its answers take.
void ExpectControllerReport(const RunCounts& device, const Scenario& scenario, const RunCounts& twin)
{
    EXPECT_PRED_FORMAT2(SameAs, device.flash, twin.flash);
    const size_t asked = LeadingRequests(device.framesSent);
    const size_t askedAfter = RequestsAfterUpdate(device.framesSent);
    const size_t twinAskedAfter = RequestsAfterUpdate(twin.framesSent);
    EXPECT_EQ(askedAfter > 0, twinAskedAfter > 0) << "asked again after the update";
    const uint64_t twinAskedFirst =
        twin.identifyRequests - std::min<uint64_t>(twin.identifyRequests, twinAskedAfter);
    EXPECT_GE(asked, twinAskedFirst);
    std::vector<std::vector<uint8_t>> frames = TwinUpdateFrames(twin);
    const bool keepsPace = scenario.kind == "web_firefox";
    if (keepsPace) {
        EXPECT_EQ(device.droppedRecords, 0u) << "records dropped half-received";
    }
    std::cout << scenario.name << ": " << device.droppedRecords << " records dropped half-received\n";
    const std::vector<std::vector<uint8_t>> update(device.framesSent.begin() + long(asked),
                                                   device.framesSent.end() - long(askedAfter));
    const std::vector<std::vector<uint8_t>> sent =
        WithoutResendsOfDrops(update, keepsPace ? 0 : device.droppedRecords, frames);
    if (scenario.deviceScript.find("unplug=") != std::string::npos) {
        ASSERT_LE(sent.size(), frames.size());
        frames.resize(sent.size());
    }
    EXPECT_PRED_FORMAT2(SameFrames, sent, frames);
}

// Any other device is only ever asked who it is, and no more than three times.
void ExpectOnlyAsked(const RunCounts& device)
{
    EXPECT_GE(device.framesSent.size(), 1u);
    EXPECT_LE(device.framesSent.size(), 3u);
    for (const auto& frame : device.framesSent) EXPECT_TRUE(IsIdentifyRequest(frame));
    EXPECT_TRUE(device.flash.empty());
}

// Each USB device program's report (the N-th device of the list wrote deviceN.txt): the first
// controller's against the twin's, every other device only asked.
void ExpectDeviceReports(const fs::path& results, const Scenario& scenario, const RunCounts& twin)
{
    bool controllerSeen = false;
    for (size_t i = 0; i < scenario.devices.size(); ++i) {
        if (scenario.devices[i] == GuestDevice::Through) continue;
        const std::string n = std::to_string(i + 1);
        SCOPED_TRACE("device " + n);
        RunCounts device = ParseReport(ReadFile(results / ("device" + n + ".txt")));
        if (scenario.devices[i] == GuestDevice::Controller && !controllerSeen) {
            ExpectControllerReport(device, scenario, twin);
            controllerSeen = true;
        } else {
            ExpectOnlyAsked(device);
        }
        EXPECT_EQ(ReadFile(results / ("device" + n + ".err")), "");
    }
}

std::string WithoutCrBeforeLf(const std::string& text)
{
    std::string plain;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' || i + 1 == text.size() || text[i + 1] != '\n') plain += text[i];
    }
    return plain;
}

// What a terminal shows of a console: a carriage return sends the cursor to the start of the line,
// and what follows writes over what is there. The page's console panel shows this.
std::string AsTerminalShows(const std::string& text)
{
    std::string shown, line;
    size_t column = 0;
    for (char c : text) {
        if (c == '\r') {
            column = 0;
        } else if (c == '\n') {
            shown += line + '\n';
            line.clear();
            column = 0;
        } else {
            if (line.size() < column + 1) line.resize(column + 1, ' ');
            line[column++] = c;
        }
    }
    return shown + line;
}

class GuestScenario : public testing::TestWithParam<Scenario> {};

TEST_P(GuestScenario, MatchesItsSimulatedTwin)
{
    const Scenario& scenario = GetParam();
    const fs::path results = FromEnvironment("TAMBRELL_GUEST_RESULTS") / scenario.name;
    const fs::path images = FromEnvironment("TAMBRELL_GUEST_IMAGES");
    ASSERT_TRUE(fs::is_directory(results)) << results << ": did the guest run this scenario?";
    const std::string imageText = ReadFile(images / scenario.image);

    SimRun twin = RunTwin(scenario, imageText);
    ASSERT_TRUE(twin.reported) << "the twin did not run: " << TwinScript(scenario);
    const std::string console = ReadFile(results / "console.txt");
    if (ProgramOf(scenario.kind) == "wine") {
        // Standard input is no console there, so the program ends without its pause.
        EXPECT_PRED_FORMAT2(SameAs, WithoutCrBeforeLf(console), twin.console);
    } else if (ProgramOf(scenario.kind) == "web") {
        EXPECT_PRED_FORMAT2(SameAs, console, AsTerminalShows(twin.console));
    } else {
        EXPECT_PRED_FORMAT2(SameAs, console, twin.console);
    }

    const bool completes = Completes(twin.console);
    if (completes) {
        EXPECT_PRED_FORMAT2(SameAs, twin.report.flash, ImageBytes(imageText));
    }
    ExpectDeviceReports(results, scenario, twin.report);

    // A figure, not a check: the guest's CPU is emulated (under Wine, Wine starting the program is
    // part of it). The twin answers at once and sleeps in virtual time, so what it slept is the
    // pacing floor of a complete update.
    long wallMs = std::stol(ReadFile(results / "wall-ms"));
    std::cout << scenario.name << ": " << ImageBytes(imageText).size() << "-byte image, wall time "
              << wallMs << " ms in the guest";
    if (completes && twin.report.sleptMs > 0) {
        std::cout << ", pacing floor " << twin.report.sleptMs << " ms, ratio " << std::setprecision(3)
                  << double(wallMs) / double(twin.report.sleptMs);
    }
    std::cout << "\n";
}

std::string NameOf(const testing::TestParamInfo<Scenario>& info) { return info.param.name; }

// One suite per kind: scripts/test-guest.sh counts each kind's passes.
INSTANTIATE_TEST_SUITE_P(Usb, GuestScenario, testing::ValuesIn(ScenariosOfProgram("usb")), NameOf);
INSTANTIATE_TEST_SUITE_P(Wine, GuestScenario, testing::ValuesIn(ScenariosOfProgram("wine")), NameOf);
INSTANTIATE_TEST_SUITE_P(Web, GuestScenario, testing::ValuesIn(ScenariosOfProgram("web")), NameOf);

}  // namespace
