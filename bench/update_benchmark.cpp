// The whole update of the largest image against the simulated controller answering at once, with
// real sleeps. Prints one line: the transfer's wall time against its pacing floor (the 1 ms sleeps
// the transfer makes: one after each frame, then the quiet before the success), CPU time as a share of wall time (the whole process, and the tool's own
// thread, which also runs the simulator's side of each send), peak memory, and the tool's own heap
// allocations during the transfer (the simulator's are left out). Then a second line: the time to
// find the controller, answering at once, among the ports of a default Windows 11 PC.
#include "app/finish_run.h"
#include "backends/sim/sim_script.h"
#include "backends/sim/simulator.h"
#include "backends/sim/tool_allocations.h"
#include "image/firmware_image.h"
#include "midi/controller_search.h"
#include "midi/port_stage.h"
#include "protocol/identify.h"
#include "protocol/messages.h"
#include "protocol/transfer_image.h"

#include <sys/resource.h>
#include <time.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>

namespace {

double MainThreadCpuSeconds()
{
    timespec used;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &used);
    return used.tv_sec + used.tv_nsec / 1e9;
}

double CpuSeconds()
{
    rusage usage;
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// One record of 65,535 bytes: the largest image there can be.
void WriteLargestImage(const std::filesystem::path& file)
{
    const unsigned payloadSize = 65531;
    unsigned sum = 0;
    std::ofstream out(file, std::ios::binary);
    char pair[4];
    auto put = [&](unsigned byte) {
        std::snprintf(pair, sizeof pair, "%02X ", byte & 0xFF);
        out << pair;
    };
    put(0xFF);
    put(0xFD);
    for (unsigned i = 0; i < payloadSize; ++i) {
        unsigned byte = (i * 131 + 7) & 0xFF;
        sum += byte;
        put(byte);
    }
    unsigned checksum = (0x10000 - (sum & 0xFFFF)) & 0xFFFF;
    put(checksum);
    put(checksum >> 8);
}

}  // namespace

int main()
{
    std::filesystem::path folder = std::filesystem::temp_directory_path() / "tambrell-benchmark";
    std::filesystem::create_directories(folder);
    WriteLargestImage(folder / "quillstrand_largest.kit");
    std::filesystem::current_path(folder);

    SimSetup setup;
    setup.clock = SimClock::Real;
    ConfigureSimulator(setup);

    // The run's stages one by one, so that the transfer can be measured alone; the console goes
    // to /dev/null, as the figures are the point here.
    std::fflush(stdout);
    int console = dup(STDOUT_FILENO);
    if (!std::freopen("/dev/null", "w", stdout)) return 1;
    auto image = std::make_unique<FirmwareImage>();
    char name[IMAGE_NAME_SIZE];
    bool answersMayLag = false;
    bool ready = FindImageFile(name) && CheckImageName(name) && LoadImage(name, image.get()) &&
                 ValidateImage(image.get()) && OpenPorts(IdentifyRequest, sizeof IdentifyRequest) &&
                 Identify(MODEL_CODE, &answersMayLag) == STAGE_PASSED;

    uint64_t sleptBefore = SimulatorCounts().sleptMs;
    double cpuBefore = CpuSeconds();
    double mainCpuBefore = MainThreadCpuSeconds();
    auto start = std::chrono::steady_clock::now();
    StartCountingToolAllocations();
    bool transferred = ready && TransferImage(image.get(), answersMayLag) == STAGE_PASSED;
    unsigned long toolAllocations = StopCountingToolAllocations();
    double wallMs = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    double cpuMs = (CpuSeconds() - cpuBefore) * 1000;
    double mainCpuMs = (MainThreadCpuSeconds() - mainCpuBefore) * 1000;
    RunCounts counts = SimulatorCounts();
    FinishRun(true, EXIT_OK);

    std::fflush(stdout);
    dup2(console, STDOUT_FILENO);
    std::filesystem::current_path(std::filesystem::temp_directory_path());
    std::filesystem::remove_all(folder);
    bool complete = transferred && counts.flash.size() == 65535;
    if (!complete) {
        std::printf("benchmark: the update did not complete\n");
        return 1;
    }

    double floorMs = double(counts.sleptMs - sleptBefore);
    // The answer comes during the sleep after the last frame: every other sleep is the quiet's.
    size_t frames = counts.framesSent.size() - 1;
    double quietMs = floorMs - double(frames);
    rusage usage;
    getrusage(RUSAGE_SELF, &usage);
    std::printf("largest image (65535 bytes, %zu frames): wall %.0f ms, pacing floor %.0f ms "
                "(the quiet before the success %.0f ms, %.1f%% of wall), ratio %.3f, CPU %.1f%% of wall "
                "(the tool's thread %.1f%%), peak memory %.1f MiB, heap allocations during the transfer %lu\n",
                frames, wallMs, floorMs, quietMs, 100 * quietMs / wallMs, wallMs / floorMs, 100 * cpuMs / wallMs,
                100 * mainCpuMs / wallMs, usage.ru_maxrss / 1024.0, toolAllocations);

    // The search's own time: what it sleeps (its floor) and what it takes in real time.
    SimSetup pc = ParseSimScript("preset=windows11");
    pc.clock = SimClock::Real;
    ConfigureSimulator(pc);
    auto searchStart = std::chrono::steady_clock::now();
    SearchResult found = FindController(IdentifyRequest, sizeof IdentifyRequest);
    double searchMs =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - searchStart).count();
    RunCounts searched = SimulatorCounts();
    if (found.outcome != SEARCH_FOUND) {
        std::printf("benchmark: the search did not find the controller\n");
        return 1;
    }
    std::printf("finding the controller among a Windows 11 PC's ports (%zu requests): wall %.0f ms, "
                "slept %llu ms\n",
                searched.framesSent.size(), searchMs, (unsigned long long)searched.sleptMs);
    return 0;
}
