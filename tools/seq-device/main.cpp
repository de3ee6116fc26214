// The simulated controller on the far side of a virtual MIDI cable, for runs of the real Linux
// MIDI stack: a sequencer client subscribed both ways to the kernel client named PEER_NAME. It is
// set up like tambrell-update-sim, by the script in TAMBRELL_SIM, and writes its report to the file
// named by TAMBRELL_SIM_REPORT when it ends: on SIGTERM, or at the frame the script unplugs it at.
// READY_FILE is written once it is connected, since the driver drops what is written before.
// Usage: seq-device PEER_NAME READY_FILE
#include "sim/sim_report.h"
#include "sim/sim_script.h"
#include "tools/seq-device/device_session.h"
#include "tools/seq-device/seq_port.h"

#include <signal.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <stdexcept>

namespace {

const int LONGEST_WAIT_MS = 10;  // how soon a stop request is seen

volatile sig_atomic_t stopRequested = 0;

void RequestStop(int) { stopRequested = 1; }

SimSetup SetupFromEnvironment()
{
    const char* script = std::getenv("TAMBRELL_SIM");
    return script ? ParseSimScript(script) : SimSetup();
}

void Serve(SeqPort& port, DeviceSession& device)
{
    auto start = std::chrono::steady_clock::now();
    auto now = [start] {
        return uint64_t(std::chrono::duration_cast<std::chrono::milliseconds>(
                            std::chrono::steady_clock::now() - start)
                            .count());
    };
    while (!stopRequested && !device.Vanished()) {
        for (const auto& message : port.Receive(device.WaitMs(now(), LONGEST_WAIT_MS))) {
            if (!device.Receive(message, now())) break;
        }
        for (const auto& message : device.TakeDue(now())) port.Send(message);
    }
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: seq-device PEER_NAME READY_FILE\n");
        return 2;
    }
    signal(SIGTERM, RequestStop);
    signal(SIGINT, RequestStop);
    try {
        DeviceSession device(SetupFromEnvironment());
        SeqPort port(argv[1]);
        std::ofstream(argv[2]) << "connected\n";
        Serve(port, device);
        if (const char* report = std::getenv("TAMBRELL_SIM_REPORT")) {
            std::ofstream(report, std::ios::binary) << FormatReport(device.Counts());
        }
    } catch (const std::exception& error) {
        std::fprintf(stderr, "seq-device: %s\n", error.what());
        return 1;
    }
    return 0;
}
