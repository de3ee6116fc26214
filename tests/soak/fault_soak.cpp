// The fault soak: many whole updates of random valid images against the simulated device with
// random faults, each run checked against the invariants of soak_invariants.h. Prints its counts;
// exits 1 when any run broke an invariant, naming the run's seed and script so it can be replayed.
// Usage: fault_soak [RUNS] [SEED]   (default: 2000 runs, seed 1)
//        fault_soak --show SEED RUN  (one run again, with its image, console and report)
#include "tests/soak/soak_faults.h"
#include "tests/soak/soak_image.h"
#include "tests/soak/soak_invariants.h"
#include "tests/support/sim_run.h"
#include "tests/support/temp_folder.h"
#include "world/run_report.h"

#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <mutex>
#include <random>
#include <string>
#include <thread>

namespace {

// A run that has not ended after this long never will: the clock is virtual, so a whole update
// takes milliseconds.
const auto kRunDeadline = std::chrono::seconds(60);

// Ends the whole soak, and the tool it started, when one run outlives its deadline.
class Watchdog {
public:
    Watchdog() : thread_([this] { Watch(); }) {}
    ~Watchdog()
    {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            stopping_ = true;
        }
        changed_.notify_one();
        thread_.join();
    }
    void Start(const std::string& what)
    {
        std::lock_guard<std::mutex> lock(mutex_);
        what_ = what;
        deadline_ = std::chrono::steady_clock::now() + kRunDeadline;
        armed_ = true;
        changed_.notify_one();
    }
    void Stop()
    {
        std::lock_guard<std::mutex> lock(mutex_);
        armed_ = false;
    }

private:
    void Watch()
    {
        std::unique_lock<std::mutex> lock(mutex_);
        while (!stopping_) {
            if (armed_ && std::chrono::steady_clock::now() >= deadline_) {
                fprintf(stderr, "soak: VIOLATION: the run did not end within %lld s: %s\n",
                        (long long)kRunDeadline.count(), what_.c_str());
                // The soak leads its own process group: this takes the hung tool with it.
                kill(0, SIGKILL);
            }
            changed_.wait_for(lock, std::chrono::milliseconds(200));
        }
    }

    std::mutex mutex_;
    std::condition_variable changed_;
    std::string what_;
    std::chrono::steady_clock::time_point deadline_;
    bool armed_ = false;
    bool stopping_ = false;
    std::thread thread_;
};

void PrintCounts(const char* title, const std::map<std::string, unsigned>& counts)
{
    printf("%s:", title);
    const char* separator = " ";
    for (const auto& [name, count] : counts) {
        printf("%s%s %u", separator, name.c_str(), count);
        separator = ", ";
    }
    printf("\n");
}

struct SoakRun {
    SoakImage image;
    SoakFaults faults;
    SimRun result;
};

SoakRun RunOne(uint64_t seed, unsigned run, Watchdog& watchdog)
{
    std::mt19937_64 random(seed * 1000003 + run);
    SoakRun soak;
    soak.image = RandomImage(random);
    soak.faults = RandomFaults(soak.image, random);
    TempFolder folder;
    folder.Write("quillstrand_soak.kit", soak.image.text);
    watchdog.Start("seed " + std::to_string(seed) + " run " + std::to_string(run) + ": " + soak.faults.script);
    soak.result = RunSimulated(folder, soak.faults.script);
    watchdog.Stop();
    return soak;
}

std::string Printable(const std::string& text)
{
    std::string shown;
    for (char c : text) shown += c == '\r' ? std::string("\\r") : std::string(1, c);
    return shown;
}

int Show(uint64_t seed, unsigned run)
{
    Watchdog watchdog;
    SoakRun soak = RunOne(seed, run, watchdog);
    printf("script: %s\nimage records (bytes):", soak.faults.script.c_str());
    for (const auto& record : soak.image.records) printf(" %zu", record.size());
    printf("\nconsole:\n%s\nreport:\n%s", Printable(soak.result.console).c_str(),
           FormatReport(soak.result.report).c_str());
    for (const std::string& violation : CheckSoakRun(soak.image, soak.result).violations) {
        printf("VIOLATION: %s\n", violation.c_str());
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc == 4 && std::string(argv[1]) == "--show") {
        return Show(std::strtoull(argv[2], nullptr, 10), unsigned(std::strtoul(argv[3], nullptr, 10)));
    }
    unsigned runs = argc > 1 ? unsigned(std::strtoul(argv[1], nullptr, 10)) : 2000;
    uint64_t seed = argc > 2 ? std::strtoull(argv[2], nullptr, 10) : 1;
    setpgid(0, 0);

    std::map<std::string, unsigned> outcomes, faultKinds;
    unsigned violatingRuns = 0;
    uint64_t sleeps = 0, records = 0;
    auto started = std::chrono::steady_clock::now();
    Watchdog watchdog;

    for (unsigned run = 0; run < runs; ++run) {
        SoakRun soak = RunOne(seed, run, watchdog);
        const SoakImage& image = soak.image;
        const SoakFaults& faults = soak.faults;
        const SimRun& result = soak.result;
        std::string what = "seed " + std::to_string(seed) + " run " + std::to_string(run) + ": " + faults.script;

        SoakVerdict verdict = CheckSoakRun(image, result);
        ++outcomes[verdict.outcome];
        for (const std::string& kind : faults.kinds) ++faultKinds[kind];
        sleeps += result.report.sleeps;
        records += image.records.size();
        if (!verdict.violations.empty()) {
            ++violatingRuns;
            for (const std::string& violation : verdict.violations) {
                fprintf(stderr, "soak: VIOLATION: %s: %s\n", what.c_str(), violation.c_str());
            }
            std::string tail = result.console.substr(result.console.size() > 300 ? result.console.size() - 300 : 0);
            fprintf(stderr, "soak:   console ends: \"%s\"\n", tail.c_str());
        }
    }

    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    printf("soak: %u updates (seed %llu) in %.1f s, %llu records, %llu host sleeps; %u broke an invariant\n",
           runs, (unsigned long long)seed, seconds, (unsigned long long)records, (unsigned long long)sleeps,
           violatingRuns);
    PrintCounts("soak: outcomes", outcomes);
    PrintCounts("soak: faults injected", faultKinds);
    return violatingRuns == 0 ? 0 : 1;
}
